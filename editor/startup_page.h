// The Startup page of the editor sheet: how the program starts, the data
// field delimiters, the large font of the terminal's own screens, and the
// working texts of its 26 built-in screens.
//
// The working texts and the large font are the sheet's (the Settings page
// rewrites port lines in them); the page takes the texts from the model
// when it is made, and they go back at the sheet's OK line by line.
#pragma once

#include <string>

#include "ui/control_state.h"
#include "editor/editor_sheet.h"
#include "model/program_file.h"

namespace fw {

// The screens of the page, in list order (the message tables' order).
struct StartupScreen {
    const char* smallSize;   // "(8x16)"
    const char* largeSize;   // "(8x12)"
    uint8_t smallLines;      // lines the page lets the user edit
    uint8_t largeLines;
    bool wide;               // 16 characters with the small font
};
extern const StartupScreen kStartupScreens[kStartupScreenCount];

int screenLines(int screen, bool largeFont);
int screenWidth(int screen, bool largeFont);

// "form 1", "menu 1".
ListEntries startFromList();
// "nil", " 1 ", " 2 ".
ListEntries delimiterCountList();
// The 26 screen names, each followed by its size for the font.
ListEntries screenList(bool largeFont);

// The row of the Calculator entry on the "Misc - continuous " screen.
constexpr int kCalculatorRow = 3;

class StartupPage : public SheetPage {
public:
    static constexpr SheetPageId kSheetPage = SheetPageId::Startup;

    explicit StartupPage(EditorSheet& sheet);

    void setWarningBox(WarningBox box) { warn_ = std::move(box); }

    bool largeFont() const { return sheet_.largeFont(); }
    int selectedScreen() const { return screen_; }
    int delimiterCount() const { return count_; }
    uint8_t delimiter(int pair) const { return codes_[pair]; }
    // Working text of a screen line (0-based screen and row).
    const char* text(int screen, int row) const { return texts_.line(screen, row); }
    bool willStore(int screen, int row) const { return texts_.changed[screen][row]; }

    // ---- the controls ----
    ControlState startFromState() const;
    ControlState delimiterCountState() const;
    ControlState asciiState(int pair) const;
    ControlState textState(int pair) const;
    ControlState largeFontState() const;
    ControlState screenState() const;
    ControlState rowLabelState(int row) const;
    ControlState rowBoxState(int row) const;

    ControlReply chooseStartFrom(int choice);
    ControlReply chooseDelimiterCount(int choice);
    ControlReply typeAscii(int pair, const std::string& text);
    ControlReply typeText(int pair, const std::string& text);
    ControlReply switchLargeFont();
    ControlReply chooseScreen(int screen);
    ControlReply typeRow(int row, const std::string& text);
    ControlReply reset();
    // Import of another program file's texts; on failure nothing changes
    // and the result says why.
    LoadResult importFrom(const std::string& path);
    LoadResult importFromBytes(const uint8_t* data, std::size_t size);

    void commit(EditorSheet& sheet) override;

private:
    void show(int screen);
    // Every line of the screen from the working defaults of the font.
    void defaultScreen(int screen);
    void takeImported(const ImportedTexts& imported);
    void renumber(char digit);

    EditorSheet& sheet_;
    int startFrom_ = 0;
    int count_ = 1;
    uint8_t codes_[2] = {44, 0};
    ScreenTexts& texts_;   // the sheet's
    int screen_ = 0;
    WarningBox warn_;
};

}  // namespace fw
