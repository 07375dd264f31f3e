#include "model/default_texts.h"

#include <cstring>

#include "model/form_rules.h"
#include "texts/texts.h"

namespace fw {

namespace {

// Longer texts (from a language file) are cut to the width of the font.
constexpr std::size_t kSmallChars = textWidth(0);
constexpr std::size_t kLargeChars = textWidth(1);

constexpr char kTwelveBlanks[] = "            ";
static_assert(sizeof kTwelveBlanks == kLargeChars + 1);

// loadText writes at most capacity - 1 characters, which is the cut we want.
void loadCut(unsigned id, char* line, std::size_t chars) {
    loadText(id, line, chars + 1);
}

bool validTable(int table) { return table >= 0 && table < kMessageTableCount; }

}  // namespace

void loadDefaultTexts(DefaultTexts& d) {
    std::memset(&d, 0, sizeof d);

    for (int t = 0; t < kMessageTableCount; ++t) {
        const MessageTableInfo& info = kMessageTables[t];
        const std::size_t chars = charsOfLine(info.width);
        for (int n = 0; n < info.lines && n < kMaxTableLines; ++n) {
            // The main menu's fourth line has no text of its own: the terminal
            // still expects a full line there, so it is twelve blanks.
            if (t == kMsgMainMenu && n == 3) {
                std::memcpy(d.lines[t][n], kTwelveBlanks, sizeof kTwelveBlanks);
                continue;
            }
            loadCut(info.textBase + n + 1u, d.lines[t][n], chars);
        }
        if (info.twinBase != 0) {
            for (int n = 0; n < info.twinLines && n < kMaxTableLines; ++n) {
                loadCut(info.twinBase + n + 1u, d.largeLines[t][n], kLargeChars);
            }
        }
    }

    for (int n = 0; n < kExtraUtilityLineCount; ++n) {
        loadCut(kExtraUtilityTextBase + n + 1u, d.extraUtility[n], kSmallChars);
        loadCut(kExtraUtilityTwinBase + n + 1u, d.extraUtilityLarge[n], kLargeChars);
    }

    loadCut(kTextUploadBluetooth16, d.uploadBluetooth, kSmallChars);
    loadCut(kTextUploadBluetooth12, d.uploadBluetoothLarge, kLargeChars);
    loadCut(kTextDownloadBluetooth16, d.downloadBluetooth, kSmallChars);
    loadCut(kTextDownloadBluetooth12, d.downloadBluetoothLarge, kLargeChars);
}

const char* defaultLine(const DefaultTexts& d, int table, int line, bool largeFont) {
    if (!validTable(table) || line < 0 || line >= kMaxTableLines) return "";
    // Only the tables of 21-byte lines have a large-font twin; the narrow
    // tables already hold twelve-character texts.
    if (largeFont && kMessageTables[table].twinBase != 0) return d.largeLines[table][line];
    return d.lines[table][line];
}

const char* defaultExtraUtilityLine(const DefaultTexts& d, int line, bool largeFont) {
    if (line < 0 || line >= kExtraUtilityLineCount) return "";
    return largeFont ? d.extraUtilityLarge[line] : d.extraUtility[line];
}

}  // namespace fw
