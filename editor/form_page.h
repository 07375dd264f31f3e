// The Form page of the editor sheet: the working copy of the ten forms and
// every rule of the page. The page's dialog procedure only passes events in
// and applies the states computed here.
//
// Nothing reaches the model before commit(); dropping the object is Cancel.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/editor_sheet.h"
#include "editor/number_box.h"
#include "model/form_rules.h"
#include "model/program_model.h"

namespace fw {

// Which controls of a field row can be used.
struct RowState {
    bool dataType = true;
    bool prompt = false;
    bool inputSource = false;
    bool lengths = false;
    bool link = false;
    bool more = false;
};

// What a row's "more..." button opens.
enum class PropertiesKind { None, Field, LookupField };

// The heading over the link column.
enum class LinkHeading { Lookup, Variables };

constexpr int kLengthBoxChars = 2;

class FormPage : public SheetPage {
public:
    static constexpr SheetPageId kSheetPage = SheetPageId::Form;

    FormPage() = default;
    explicit FormPage(const ProgramModel& model) { load(model); }
    explicit FormPage(EditorSheet& sheet) { load(sheet.model()); }

    // Opening: copies the model's forms and shows form 1.
    void load(const ProgramModel& model);

    // ---- the working copy ----
    int currentForm() const { return current_; }
    FormDef& form() { return forms_[current_]; }
    const FormDef& form() const { return forms_[current_]; }
    FormDef& form(int index) { return forms_[index]; }
    const FormDef& form(int index) const { return forms_[index]; }
    std::span<FormDef, kFormCount> forms() { return forms_; }

    // 16 with the small font, 12 with the large one.
    int promptWidth() const;
    bool largeFont() const { return form().font != 0; }

    // ---- events ----
    // Shows form `index`; false (and nothing done) when it is already shown.
    bool chooseForm(int index);
    void setFont(int font);
    void setEscTarget(int target) { form().escTarget = static_cast<uint8_t>(target); }
    void setNextTarget(int target) { form().nextTarget = static_cast<uint8_t>(target); }
    void setRecordAction(int action) { form().recordAction = static_cast<uint8_t>(action); }
    // True when the choice changed the lookup file: every row's link list
    // is then rebuilt (stored links may have been folded).
    bool setLookupFile(int file);
    // A real change of type clears the line's Properties settings where
    // the new type cannot use them; a boolean line gets the lengths 1 and 1.
    void setDataType(int line, int type);
    void setInputSource(int line, int source) { form().inputSource[line] = static_cast<uint8_t>(source); }
    void setLink(int line, int position) { form().link[line] = static_cast<uint8_t>(position); }
    // Over-long prompts are cut to the prompt width.
    TextEntry typePrompt(int line, std::string_view text);
    // Lengths are 0..80 (no number gives 0); a boolean line stores 1
    // whatever its box shows. A minimum above the maximum waits for OK.
    NumberEntry typeMinLength(int line, std::string_view text);
    NumberEntry typeMaxLength(int line, std::string_view text);

    // ---- what the page shows ----
    RowState rowState(int line) const;
    bool hasLookupFile() const { return form().lookupFile != 0; }
    LinkHeading linkHeading() const { return hasLookupFile() ? LinkHeading::Lookup : LinkHeading::Variables; }
    // The entries of a row's link list; the position of an entry is the
    // link value it stores.
    std::vector<std::string> linkEntries(int line) const;
    // The entry to select for the stored link; -1 when the list has none.
    int linkSelection(int line) const;
    std::string promptText(int line) const;
    PropertiesKind propertiesKind(int line) const;

    // ---- OK ----
    // Copies the working copy into the model, marks the model modified and
    // normalises the model's forms for OK.
    void commit(ProgramModel& model);
    void commit(EditorSheet& sheet) override { commit(sheet.model()); }

private:
    void showForm();
    void rebuildLinks(int line);

    FormDef forms_[kFormCount]{};
    int current_ = 0;
};

}  // namespace fw
