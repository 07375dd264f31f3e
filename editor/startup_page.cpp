#include "editor/startup_page.h"

#include <cstring>

#include "editor/calculator_entry.h"
#include "editor/number_box.h"
#include "model/fixed_text.h"
#include "model/form_rules.h"
#include "model/message_tables.h"
#include "resources/text_ids.h"
#include "texts/texts.h"

namespace fw {

// "Confirm " lets four lines be edited under "(3x12)", and "Upload Port "
// five under "(4x12)" with the large font: the fourth line of each is one
// the terminal still shows.
const StartupScreen kStartupScreens[kStartupScreenCount] = {
    {"(3x12)", "(3x12)", 3, 3, false},  // Main menu
    {"(8x16)", "(8x12)", 8, 8, true},   // Utilities
    {"(4x12)", "(4x12)", 4, 4, false},  // Delete Data
    {"(3x12)", "(3x12)", 4, 4, false},  // Confirm
    {"(4x12)", "(4x12)", 4, 4, false},  // Memory & Power
    {"(7x12)", "(7x12)", 7, 7, false},  // Load Lookup
    {"(8x16)", "(8x12)", 8, 8, true},   // Settings
    {"(6x16)", "(4x12)", 6, 5, true},   // Upload Port
    {"(6x16)", "(4x12)", 6, 4, true},   // Download Port
    {"(5x16)", "(5x12)", 5, 5, true},   // Baud rate
    {"(4x16)", "(4x12)", 4, 4, true},   // Backlight
    {"(4x16)", "(4x12)", 4, 4, true},   // Data Deletion
    {"(6x16)", "(4x12)", 6, 4, true},   // Entry Options
    {"(8x16)", "(6x12)", 8, 6, true},   // View Settings
    {"(3x12)", "(3x12)", 3, 3, false},  // System Fault
    {"(5x12)", "(5x12)", 5, 5, false},  // Upload Data
    {"(4x16)", "(2x12)", 4, 2, true},   // Set Phone Number
    {"(5x12)", "(5x12)", 5, 5, false},  // Save Record
    {"(5x12)", "(5x12)", 5, 5, false},  // Delete Record
    {"(3x12)", "(3x12)", 3, 3, false},  // Auto Delete Data
    {"(2x12)", "(2x12)", 2, 2, false},  // Set Password
    {"(4x12)", "(4x12)", 4, 4, false},  // Connecting
    {"(3x12)", "(3x12)", 3, 3, false},  // Modem Connection
    {"(6x16)", "(6x12)", 6, 6, true},   // Error Messages
    {"(8x12)", "(8x12)", 8, 8, false},  // Miscellaneous
    {"(7x16)", "(7x12)", 7, 7, true},   // Misc - continuous
};

namespace {

bool validScreen(int s) { return s >= 0 && s < kStartupScreenCount; }
bool validRow(int r) { return r >= 0 && r < kStartupScreenLines; }

std::string textOf(const char* slot) { return std::string(slot, strnlen(slot, kStartupLineBytes)); }

ControlReply reply(bool putBack, std::string text, Refresh refresh) {
    ControlReply r;
    r.putBack = putBack;
    r.text = std::move(text);
    r.refresh = refresh;
    return r;
}

}  // namespace

int screenLines(int screen, bool largeFont) {
    if (!validScreen(screen)) return 0;
    return largeFont ? kStartupScreens[screen].largeLines : kStartupScreens[screen].smallLines;
}

int screenWidth(int screen, bool largeFont) {
    if (!validScreen(screen)) return 0;
    return textWidth(kStartupScreens[screen].wide && !largeFont ? 0 : 1);
}

ListEntries startFromList() { return {loadText(textid::kStartFromFirst), loadText(textid::kStartFromFirst + 1)}; }

ListEntries delimiterCountList() {
    return {loadText(textid::kNil), loadText(textid::kDelimiterCountFirst), loadText(textid::kDelimiterCountFirst + 1)};
}

ListEntries screenList(bool largeFont) {
    ListEntries list;
    for (int s = 0; s < kStartupScreenCount; ++s) {
        const StartupScreen& info = kStartupScreens[s];
        list.push_back(loadText(textid::kScreenNameFirst + static_cast<unsigned>(s)) +
                       (largeFont ? info.largeSize : info.smallSize));
    }
    return list;
}

// ---- the page ----

StartupPage::StartupPage(EditorSheet& sheet) : sheet_(sheet), texts_(sheet.screenTexts()) {
    const TerminalSettings& st = sheet.model().settings;
    startFrom_ = st.startFrom;
    codes_[0] = st.delimiter1;
    codes_[1] = st.delimiter2;
    count_ = codes_[0] == 0 ? 0 : (codes_[1] == 0 ? 1 : 2);
    show(0);
}

void StartupPage::renumber(char digit) {
    char line[kStartupLineBytes];
    std::memcpy(line, texts_.texts.lines[kMsgMiscContinuous][kCalculatorRow], sizeof line);
    renumberCalculatorEntry(line, digit);
    texts_.set(kMsgMiscContinuous, kCalculatorRow, line);
    renumberCalculatorDefaults(sheet_.defaults(), digit);
}

void StartupPage::show(int screen) {
    screen_ = screen;
    if (screen == kMsgMiscContinuous) renumber(calculatorDigit(sheet_.model()));
}

void StartupPage::defaultScreen(int s) {
    const DefaultTexts& d = sheet_.defaults();
    for (int r = 0; r < kStartupScreenLines; ++r) {
        const ScreenLineSource src = screenLineSource(s, r);
        if (src.kind == ScreenLineSource::Table)
            texts_.set(s, r, defaultLine(d, src.index, src.line, largeFont()));
        else if (src.kind == ScreenLineSource::ExtraUtility)
            texts_.set(s, r, defaultExtraUtilityLine(d, src.index, largeFont()));
    }
}

// ---- the controls ----

ControlState StartupPage::startFromState() const {
    return selectedState(startFrom_ >= 0 && startFrom_ < 2 ? startFrom_ : -1);
}

ControlState StartupPage::delimiterCountState() const {
    return selectedState(count_);
}

ControlState StartupPage::asciiState(int pair) const {
    ControlState s;
    s.text = std::to_string(codes_[pair]);
    s.limit = 3;
    s.enabled = count_ > pair;
    return s;
}

ControlState StartupPage::textState(int pair) const {
    ControlState s;
    if (codes_[pair] != 0) s.text = std::string(1, static_cast<char>(codes_[pair]));
    s.limit = 1;
    s.enabled = count_ > pair;
    return s;
}

ControlState StartupPage::largeFontState() const {
    return checkedState(largeFont());
}

ControlState StartupPage::screenState() const {
    return selectedState(screen_);
}

ControlState StartupPage::rowLabelState(int row) const {
    ControlState s;
    const int width = screenWidth(screen_, largeFont());
    if (!validRow(row) || row >= screenLines(screen_, largeFont())) {
        s.text = std::string(static_cast<std::size_t>(width), ' ');
        s.enabled = false;
        return s;
    }
    const DefaultTexts& d = sheet_.defaults();
    const ScreenLineSource src = screenLineSource(screen_, row);
    if (src.kind == ScreenLineSource::Table)
        s.text = defaultLine(d, src.index, src.line, largeFont());
    else if (src.kind == ScreenLineSource::ExtraUtility)
        s.text = defaultExtraUtilityLine(d, src.index, largeFont());
    // A label with nothing to say still takes its row's room.
    if (s.text.empty()) s.text = " ";
    return s;
}

ControlState StartupPage::rowBoxState(int row) const {
    ControlState s;
    const int width = screenWidth(screen_, largeFont());
    s.limit = width;
    if (!validRow(row) || row >= screenLines(screen_, largeFont())) {
        s.text = std::string(static_cast<std::size_t>(width), ' ');
        s.enabled = false;
        return s;
    }
    s.text = textOf(texts_.texts.lines[screen_][row]);
    return s;
}

ControlReply StartupPage::chooseStartFrom(int choice) {
    if (choice == 0 || choice == 1) startFrom_ = choice;
    return ControlReply::states();
}

ControlReply StartupPage::chooseDelimiterCount(int choice) {
    if (choice >= 0 && choice <= 2) count_ = choice;
    return ControlReply::states();
}

ControlReply StartupPage::typeAscii(int pair, const std::string& text) {
    if (pair < 0 || pair > 1) return ControlReply::states();
    const NumberEntry e = correctNumber(text, 255);
    // A carriage return ends the terminal's records: never a delimiter.
    if (e.value == '\r') {
        if (warn_) warn_(kTextInvalidValue, false);
        return ControlReply::corrected(std::to_string(codes_[pair]));
    }
    if (e.value == codes_[pair]) return replyTo(e);
    codes_[pair] = static_cast<uint8_t>(e.value);
    return reply(e.putBack, e.text, Refresh::Everything);   // the "Text :" box follows
}

ControlReply StartupPage::typeText(int pair, const std::string& text) {
    if (pair < 0 || pair > 1) return ControlReply::states();
    const TextEntry e = cutText(text, 1);
    const uint8_t code = e.text.empty() ? 0 : static_cast<uint8_t>(e.text[0]);
    if (code == '\r') {
        if (warn_) warn_(kTextInvalidValue, false);
        return ControlReply::corrected(textState(pair).text);
    }
    if (code == codes_[pair]) return replyTo(e);
    codes_[pair] = code;
    return reply(e.putBack, e.text, Refresh::Everything);   // the "ASCII :" box follows
}

ControlReply StartupPage::switchLargeFont() {
    sheet_.setLargeFont(!sheet_.largeFont());
    for (int s = 0; s < kStartupScreenCount; ++s)
        if (kStartupScreens[s].wide) defaultScreen(s);
    show(screen_);
    return ControlReply::everything();
}

ControlReply StartupPage::chooseScreen(int screen) {
    if (validScreen(screen)) show(screen);
    return ControlReply::everything();
}

ControlReply StartupPage::typeRow(int row, const std::string& text) {
    if (!validRow(row) || row >= screenLines(screen_, largeFont())) return ControlReply::states();
    const TextEntry e = cutText(text, static_cast<std::size_t>(screenWidth(screen_, largeFont())));
    texts_.set(screen_, row, e.text.c_str());
    return replyTo(e);
}

ControlReply StartupPage::reset() {
    startFrom_ = 0;
    count_ = 1;
    codes_[0] = ',';
    codes_[1] = 0;
    for (int s = 0; s < kStartupScreenCount; ++s) defaultScreen(s);
    show(0);
    return ControlReply::everything();
}

LoadResult StartupPage::importFrom(const std::string& path) {
    ImportedTexts imported = texts_.texts;
    imported.largeFont = largeFont();
    const LoadResult r = importMessages(imported, sheet_.defaults(), path);
    if (r.ok()) takeImported(imported);
    return r;
}

LoadResult StartupPage::importFromBytes(const uint8_t* data, std::size_t size) {
    ImportedTexts imported = texts_.texts;
    imported.largeFont = largeFont();
    const LoadResult r = importMessagesBytes(imported, sheet_.defaults(), data, size);
    if (r.ok()) takeImported(imported);
    return r;
}

void StartupPage::takeImported(const ImportedTexts& imported) {
    for (int s = 0; s < kStartupScreenCount; ++s)
        for (int r = 0; r < kStartupScreenLines; ++r) {
            char line[kStartupLineBytes];
            std::memcpy(line, imported.lines[s][r], sizeof line);
            line[kStartupLineBytes - 1] = 0;
            texts_.set(s, r, line);
        }
    sheet_.setLargeFont(imported.largeFont);
    show(0);
}

void StartupPage::commit(EditorSheet& sheet) {
    ProgramModel& m = sheet.model();
    TerminalSettings& st = m.settings;
    if (startFrom_ == 0 || startFrom_ == 1) st.startFrom = static_cast<uint8_t>(startFrom_);
    uint8_t first = count_ >= 1 ? codes_[0] : 0;
    uint8_t second = count_ >= 2 ? codes_[1] : 0;
    // A second delimiter never stands without a first.
    if (first == 0) {
        first = second;
        second = 0;
    }
    st.delimiter1 = first;
    st.delimiter2 = second;
    st.largeFont = sheet_.largeFont() ? 1 : 0;

    // The lookups are the committed ones now.
    renumber(calculatorDigit(m));

    for (int s = 0; s < kStartupScreenCount; ++s) {
        for (int r = 0; r < kStartupScreenLines; ++r) {
            if (!texts_.changed[s][r]) continue;
            const ScreenLineSource src = screenLineSource(s, r);
            const std::string_view text(texts_.texts.lines[s][r], strnlen(texts_.texts.lines[s][r], kStartupLineBytes));
            if (src.kind == ScreenLineSource::Table) {
                const std::size_t width = kMessageTables[src.index].width;
                setFieldText(messageLine(m, src.index, src.line), width, text, charsOfLine(width));
            } else if (src.kind == ScreenLineSource::ExtraUtility) {
                setFieldText(st.extraUtilityLines[src.index], sizeof st.extraUtilityLines[src.index], text,
                             charsOfLine(sizeof st.extraUtilityLines[src.index]));
            }
        }
    }
}

}  // namespace fw
