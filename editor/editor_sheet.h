// The editor sheet's session: the working copies its pages share, the pages
// themselves (each made when it is first shown or first needed by another
// page), and what the sheet's OK and Cancel do.
//
// Nothing a page does reaches the model or the default texts before
// commit(), except the barcode dialogs, which write the model at their own
// OK. Dropping the session without commit() is Cancel: the model and the
// default texts stay byte for byte as they were.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "editor/port_lines.h"
#include "model/default_texts.h"
#include "model/program_file.h"
#include "model/program_model.h"

namespace fw {

class EditorSheet;

// The six pages in tab order, which is also the order of the commit.
enum class SheetPageId { Form, Menu, Lookup, Barcode, Settings, Startup };
constexpr int kSheetPageCount = 6;

// Where the sheet opens: a page and, on the Form, Menu, Lookup and Startup
// pages, the form, menu, lookup file or screen it shows first (-1: the
// page's own first).
struct SheetStart {
    SheetPageId page = SheetPageId::Form;
    int item = -1;
};

// A page's core object. A page type declares
//     static constexpr SheetPageId kSheetPage = SheetPageId::...;
//     explicit Page(EditorSheet& sheet);   // loads its working copy
// and commits its working copy at the sheet's OK.
class SheetPage {
public:
    virtual ~SheetPage() = default;
    virtual void commit(EditorSheet& sheet) = 0;
};

// Shows a "Warning" box (exclamation icon) with text `textId`: with OK and
// Cancel when `okCancel`, else OK alone. Returns true for OK.
using WarningBox = std::function<bool(unsigned textId, bool okCancel)>;

// The working texts of the terminal's own screens, in the Startup page's
// screen order, and which lines go back at OK: a line goes back when the
// user sees something other than what the model holds (typed, imported,
// reset, the font switched, a port line or the calculator entry rewritten).
// Untouched lines keep their bytes.
struct ScreenTexts {
    ImportedTexts texts{};
    bool changed[kStartupScreenCount][kStartupScreenLines] = {};

    const char* line(int screen, int row) const { return texts.lines[screen][row]; }
    // Sets a line, cut to its slot; marks it for OK when the text differs.
    void set(int screen, int row, const char* text);
};

// Bluetooth SPP as the upload or the download port: bit 0 upload, bit 1
// download (the settings record's `bluetoothFlags`).
constexpr uint8_t kBluetoothUpload = 0x01;
constexpr uint8_t kBluetoothDownload = 0x02;
uint8_t bluetoothFlagsOf(const TerminalSettings& settings);

class EditorSheet {
public:
    EditorSheet(ProgramModel& model, DefaultTexts& defaults);
    ~EditorSheet();
    EditorSheet(const EditorSheet&) = delete;
    EditorSheet& operator=(const EditorSheet&) = delete;

    // The model as it is now. Pages read it when they are made; only the
    // dialogs that write at their own OK change it before commit().
    ProgramModel& model() { return model_; }
    const ProgramModel& model() const { return model_; }

    // The working copy of the default texts: pages that rewrite default
    // lines (the port choices, the calculator entry) change this copy, and
    // OK copies it back.
    DefaultTexts& defaults() { return defaults_; }
    const DefaultTexts& defaults() const { return defaults_; }

    // The page of type P, made now when it does not exist yet.
    template <class P>
    P& page() {
        std::unique_ptr<SheetPage>& slot = pages_[index<P>()];
        if (!slot) slot = std::make_unique<P>(*this);
        return static_cast<P&>(*slot);
    }
    // The page of type P when it exists, else nullptr.
    template <class P>
    P* made() {
        return static_cast<P*>(pages_[index<P>()].get());
    }
    bool isMade(SheetPageId id) const { return pages_[static_cast<int>(id)] != nullptr; }

    // The sheet is to open at `start`. A page with an item to show is made
    // now, showing it; an item the page does not have leaves its first.
    void openAt(SheetStart start);
    // The page the sheet opens on.
    SheetPageId startPage() const { return startPage_; }

    // The Form page's working copy of the forms (the page is made now when
    // it does not exist yet): the Menu page's file-name dialog edits it.
    std::span<FormDef, kFormCount> workingForms();

    // ---- what the Settings and Startup pages share ----

    // The Bluetooth flags: taken from the model's port choices by whichever
    // page asks first; the Settings page changes them on port changes and
    // stores them at its commit.
    uint8_t& bluetoothFlags();
    bool hasBluetoothFlags() const { return bluetooth_.has_value(); }

    // The large font of the terminal's own screens as the sheet shows it:
    // the model's until the Startup page switches it or imports it.
    bool largeFont() const { return largeFont_; }
    void setLargeFont(bool on) { largeFont_ = on; }

    // The working screen texts, made from the model when first asked for
    // (by the Startup page); the default port lines follow the Bluetooth
    // flags then, and port lines rewritten before are taken in.
    ScreenTexts& screenTexts();
    bool hasScreenTexts() const { return screens_ != nullptr; }

    // A port choice rewrites a port line: in the working default texts, in
    // the working screen texts when they exist, and in the line kept for
    // the model until commit.
    void rewritePortLine(PortLine line, const PortLineText& text);
    // Leaving a port choice gives a port line `to` back, but only in the
    // places that still hold the text `from` that the choice wrote (in
    // either width): a line the user wrote stays theirs.
    void restorePortLine(PortLine line, const PortLineText& from, const PortLineText& to);
    // The line as the user sees it now: the working screen text, else the
    // model's with the rewritten line.
    std::string portLineNow(PortLine line) const;
    // The line a port change wrote for the model, if any.
    const std::optional<PortLineText>& rewrittenPortLine(PortLine line) const {
        return portLines_[static_cast<int>(line)];
    }

    // OK: every page made commits, in tab order; then the working default
    // texts go back and the model is marked modified.
    void commit();

private:
    template <class P>
    static int index() {
        return static_cast<int>(P::kSheetPage);
    }
    // A port line of the working screen texts from the working defaults.
    void takePortLine(PortLine line);

    ProgramModel& model_;
    DefaultTexts& target_;      // the default texts the sheet was opened on
    DefaultTexts defaults_;     // their working copy
    std::array<std::unique_ptr<SheetPage>, kSheetPageCount> pages_;
    SheetPageId startPage_ = SheetPageId::Form;
    std::optional<uint8_t> bluetooth_;
    bool largeFont_;
    std::unique_ptr<ScreenTexts> screens_;
    std::optional<PortLineText> portLines_[kPortLineCount];
};

}  // namespace fw
