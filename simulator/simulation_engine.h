// The simulated terminal: its start, upload, utilities and settings screens,
// the designed menus, and data entry in the designed forms, on the 8 text
// lines of the painted display.
//
// The engine never paints. Every call returns what the display window must
// repaint and whether the user has to be told that there is nothing to run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "model/default_texts.h"
#include "model/program_model.h"
#include "simulator/collected_records.h"
#include "simulator/record_text.h"

namespace fw {

// Key numbers besides the 20 keys of the face (1-20): screens chosen
// directly by the designer.
constexpr int kKeyShowStart = 51;       // start screen, first line highlighted
constexpr int kKeyShowUpload = 52;      // upload screen
constexpr int kKeyShowUtilities = 53;   // utilities menu, first line highlighted

enum class EngineMode { Start, Upload, Utilities, Settings, Menu, Form, Error };

// What the window must invalidate after an engine call.
enum class Repaint {
    None,
    FormLine,     // one small-font line, `line` (0-based)
    AboveClock,   // the text area above the clock line
    TextArea,     // the whole text area
};

struct EngineUpdate {
    Repaint repaint = Repaint::None;
    int line = 0;   // with Repaint::FormLine
    // Collect found neither a form nor a menu to run: the window shows
    // "Please define your program!" captioned "No executable program" and
    // sends itself the New command.
    bool defineProgram = false;
    // The alphabetic-entry indicator changed.
    bool indicator = false;

    // Widens this update to cover `other` as well.
    void merge(const EngineUpdate& other);
};

class SimulationEngine {
public:
    static constexpr int kScreenLines = 8;
    static constexpr int kScreenWidth = 24;
    static constexpr int kValueMax = 160;

    using Clock = std::function<LocalTime()>;

    // Starts on the start screen. Without a clock the computer's local time
    // stamps the records.
    SimulationEngine(ProgramModel& model, const DefaultTexts& defaults, Clock clock = {});

    // A key of the face (1-20) or a direct screen code (51-53).
    EngineUpdate pressKey(int key);
    // The 100 ms tick: ends a pending letter once more than 6 ticks have
    // passed since the last press.
    EngineUpdate tickEngine();
    // The start screen with `highlight` (1-3) on.
    EngineUpdate showStart(int highlight = 1, bool repaintWhole = true);
    // The form (1-10) or menu (11-20) of a target code opened as a menu
    // item or a form's Next opens it; 0 shows the start screen.
    EngineUpdate open(int target) { return continueWith(target, false); }
    // A click on face key `key` (1-20): in form entry keys 10 and 17 first
    // flip alphabetic entry, then the key acts as pressKey does.
    EngineUpdate clickKey(int key);
    // The letter being chosen by repeated presses is set now, as when its
    // wait runs out; nothing when none is pending.
    EngineUpdate finishLetter();
    void toggleAlpha() { alphaOn_ = !alphaOn_; }
    // The simulated terminal's record counter belongs to the terminal, not
    // to a program: loading or making another program keeps it.
    void resetRecordCount() { recordCount_ = 0; }
    // Forgets the completed records and sets the counter back to 0.
    void clearRecords() {
        records_.clear();
        recordCount_ = 0;
    }
    void setClock(Clock clock);

    // ---- What the window paints ----
    EngineMode mode() const { return mode_; }
    // Line i (0-7) of the display, at most 24 characters. A pending letter
    // is already in it, at the cursor.
    std::string_view line(int i) const;
    int highlight() const { return highlight_; }   // 1-based, 0 for none
    bool largePitch() const { return largePitch_; }
    bool alphaOn() const { return alphaOn_; }
    int cursorColumn() const { return cursorColumn_; }
    int cursorRow() const { return cursorRow_; }
    // The letter being chosen by repeated presses (shown at the cursor), or 0.
    char pendingLetter() const;
    int recordCount() const { return recordCount_; }
    // The form (1-10) or menu code (11-20) being shown; 0 otherwise.
    int current() const { return current_; }
    // The text of the last record completed by a "pass down" form.
    std::string_view passDown() const { return passDown_.view(); }
    // Every record completed since the last clearRecords(), oldest first,
    // up to kCollectedRecordsLimit.
    const CollectedRecords& records() const { return records_; }
    // The value entered on line i of the current form.
    std::string_view value(int i) const;

private:
    struct Field {
        char text[kValueMax + 1];
        int length;
        int start;       // column where the value begins
        int scroll;      // characters scrolled out at the left
        bool atStart;    // cursor on the first character: typing replaces the value
    };
    struct Pending {
        bool active;
        int key;
        int position;    // place in the key's letter cycle
        int ticks;       // 100 ms ticks since the last press
    };

    EngineUpdate startKey(int key);
    EngineUpdate utilitiesKey(int key);
    EngineUpdate settingsKey(int key);
    EngineUpdate menuKey(int key);
    EngineUpdate formKey(int key);
    EngineUpdate collect();

    EngineUpdate showUpload();
    EngineUpdate showUtilities(int highlight);
    EngineUpdate showSettings(int highlight);
    EngineUpdate continueWith(int target, bool fromEsc);
    EngineUpdate openMenu(int menu, bool reset);
    EngineUpdate showMenu();
    EngineUpdate openForm(int form);
    EngineUpdate showForm();
    EngineUpdate showError(int messageLine);

    // Form entry.
    EngineUpdate commitPending();
    EngineUpdate commitChar(char c);
    EngineUpdate placeChar(int line, char c);
    EngineUpdate backspace();
    EngineUpdate enter();
    void removeLast(int line);
    void composeFormLine(int i);
    void placeCursor();
    int entryLine() const;
    int lastColumn() const;     // W: 11 in the large font, 15 in the small
    int lineWidth() const { return lastColumn() + 1; }
    int maxLength(int line) const;
    FormDef& form();
    const FormDef& form() const;
    MenuDef& menu();

    std::string_view defaultExtraLine(int n) const;
    void clearScreen();
    void setLine(int i, std::string_view text, std::size_t maxChars = kScreenWidth);
    static EngineUpdate whole();

    ProgramModel& model_;
    const DefaultTexts& defaults_;
    Clock clock_;

    char screen_[kScreenLines][kScreenWidth + 1] = {};
    int highlight_ = 1;
    EngineMode mode_ = EngineMode::Start;
    int current_ = 0;
    bool largePitch_ = true;
    bool alphaOn_ = false;
    Pending pending_{};
    int lastKey_ = 0;
    Field fields_[kLinesPerForm] = {};
    int cursorColumn_ = 0;
    int cursorRow_ = 0;
    int recordCount_ = 0;
    RecordText passDown_;
    CollectedRecords records_;
};

// The normalisation that precedes a simulated Collect: recounts every
// menu's items and every form's input lines, clears the prompts of nil and
// extension lines and the links of lines that cannot have one. It is
// deliberately not the program download's normalisation: a pause line (13)
// is no input line here, and lookup lines keep their links.
void normaliseForCollect(ProgramModel& model);

}  // namespace fw
