#include "model/form_rules.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "model/fixed_text.h"

namespace fw {

namespace {

constexpr uint8_t kInputBoth = 2;            // reader and keypad
constexpr uint8_t kAutoEnterScanEnter = 1;
constexpr uint8_t kDefaultPartialMaxLength = 20;
constexpr int kMaxExtensionLines = 4;
constexpr uint8_t kLoaderMaxDataLength = 50;
constexpr uint8_t kSpace = 0x20;

bool isNilOrExtension(int type) { return type == kTypeNil || type == kTypeExtension; }

int usableLines(const FormDef& f) { return f.font ? kLargeFontLines : kLinesPerForm; }

void nilLargeFontRows(FormDef& f) {
    for (int i = usableLines(f); i < kLinesPerForm; ++i) f.dataType[i] = kTypeNil;
}

void limitLengths(FormDef& f, int i, uint8_t maxLength) {
    if (f.maxLength[i] > maxLength) f.maxLength[i] = maxLength;
    if (f.minLength[i] > f.maxLength[i]) f.minLength[i] = f.maxLength[i];
}

// Everything a line keeps about its characters but its type, prompt and
// lengths.
void clearLineSettings(FormDef& f, int i) {
    f.link[i] = 0;
    clearField(f.prompt[i]);
    f.inputSource[i] = kInputBoth;
    f.minLength[i] = 0;
    clearFieldProperties(f, i);
    f.initialValueOn[i] = 0;
    f.partialOn[i] = 0;
    f.partialStart[i] = 0;
    f.partialMaxLength[i] = kDefaultPartialMaxLength;
    f.leadCodeOn[i] = 0;
    clearField(f.leadCode[i]);
}

// The Properties settings a line keeps only while its type can use them.
void clearPropertiesOfUnusableLines(FormDef& f) {
    for (int i = 0; i < kLinesPerForm; ++i) {
        const int type = f.dataType[i];
        if (hasFieldProperties(type) || (type == kTypeLookup && f.initialValueOn[i])) continue;
        clearFieldProperties(f, i);
    }
}

// Extension lines continue the value of the data line above them on the
// display: the first gets what does not fit beside the prompt, each
// further one what does not fit on a whole line before it.
void layOutExtensions(FormDef& f) {
    const int usable = usableLines(f);
    const int width = textWidth(f.font);
    for (int i = 0; i + 1 < usable; ++i) {
        if (!isEntryType(f.dataType[i]) || f.dataType[i + 1] != kTypeExtension) continue;
        int rest = f.maxLength[i] - (width - static_cast<int>(fieldText(f.prompt[i]).size()));
        for (int j = i + 1, n = 0; j < usable && n < kMaxExtensionLines && f.dataType[j] == kTypeExtension;
             ++j, ++n) {
            if (n > 0) rest = f.maxLength[j - 1] - width;
            f.maxLength[j] = static_cast<uint8_t>(std::max(0, rest));
            f.autoEnter[j] = f.autoEnter[i];
            f.inputMark[j] = f.inputMark[i];
        }
    }
}

}  // namespace

// ---- data-type classes ----

bool isEntryType(int type) { return (type >= kTypeText && type <= kTypeBoolean) || type == kTypeAlphanumeric; }

bool hasLengths(int type) { return isEntryType(type) && type != kTypeBoolean; }

bool hasFieldProperties(int type) { return isEntryType(type) || type == kTypeFixedData; }

bool offersSignedLinks(int type) { return type == kTypeInteger || type == kTypeReal || type == kTypeAuto; }

bool countsAsDownloadInput(int type) { return isEntryType(type) || type == kTypePause; }

bool countsAsLoaderInput(int type) { return type >= kTypeText && type <= kTypeBoolean; }

// ---- widths ----

std::size_t loaderMenuWidth(int font) { return font != 0 ? 15 : 20; }

// ---- line resets ----

void clearFieldProperties(FormDef& f, int i) {
    f.fixedLengthOn[i] = 0;
    f.alignment[i] = 0;
    f.fixedLength[i] = 0;
    clearField(f.initialValue[i]);
    f.prefixOn[i] = 0;
    clearField(f.prefixCode[i]);
    f.suffixOn[i] = 0;
    clearField(f.suffixCode[i]);
    f.inputMark[i] = 0;
}

void resetLineForNew(FormDef& f, int i) {
    clearLineSettings(f, i);
    f.dataType[i] = kTypeNil;
    f.maxLength[i] = kMaxDataLength;
    f.autoEnter[i] = kAutoEnterScanEnter;
    f.inputMark[i] = 0;
    f.lineText[i][0] = 0;
    f.checkDigit[i] = 0;
    f.decimals[i] = 0;
}

void resetUnusedLine(FormDef& f, int i) {
    const uint8_t mark = f.inputMark[i];
    clearLineSettings(f, i);
    clearField(f.lineText[i]);
    if (f.dataType[i] == kTypeNil) {
        f.maxLength[i] = kMaxDataLength;
        f.autoEnter[i] = kAutoEnterScanEnter;
    } else {
        f.inputMark[i] = mark;   // continues the line above
    }
}

void correctPartialReading(FormDef& f, int i) {
    const int start = f.partialStart[i];
    f.partialStart[i] = static_cast<uint8_t>(start == 0 ? 1 : std::min(start, kMaxDataLength));
    const int maxLength = f.partialMaxLength[i];
    f.partialMaxLength[i] = static_cast<uint8_t>(maxLength == 0 ? kMaxDataLength : std::min(maxLength, kMaxDataLength));
}

// ---- normalisation ----

void normaliseFormOnCommit(FormDef& f) {
    clearPropertiesOfUnusableLines(f);
    nilLargeFontRows(f);
    const int width = textWidth(f.font);
    for (int i = 0; i < kLinesPerForm; ++i) {
        limitLengths(f, i, kMaxDataLength);
        // A line never opened in its dialog, or a maximum typed as 0, must
        // not reach the terminal as a read of nothing.
        if (f.partialOn[i]) correctPartialReading(f, i);
        const int type = f.dataType[i];
        if (isNilOrExtension(type)) {
            clearField(f.prompt[i]);
            f.link[i] = 0;
        } else if ((type >= kTypeFixedData && type <= kTypePassDown) || type == kTypePause) {
            f.link[i] = 0;
        }
        if (i < usableLines(f)) {
            const std::string prompt(fieldText(f.prompt[i]));
            if (static_cast<int>(prompt.size()) > width) setFieldText(f.prompt[i], prompt.substr(0, width));
        }
    }
    layOutExtensions(f);
    for (int i = 0; i < kLinesPerForm; ++i)
        if (isNilOrExtension(f.dataType[i])) resetUnusedLine(f, i);
}

void normaliseFormForDownload(FormDef& f) {
    int count = 0;
    for (int i = 0; i < kLinesPerForm; ++i) {
        const uint8_t type = f.dataType[i];
        if (isNilOrExtension(type)) {
            f.prompt[i][0] = 0;
            f.link[i] = 0;
        } else if ((type >= kTypeFixedData && type <= kTypePassDown) || type == kTypePause ||
                   type > kTypeAlphanumeric) {
            // These lines take no data from a lookup field or a variable.
            f.link[i] = 0;
        }
        if (countsAsDownloadInput(type)) count = i + 1;
    }
    f.inputLineCount = static_cast<uint8_t>(count);
}

void normaliseFormForLoader(FormDef& f) {
    nilLargeFontRows(f);
    int count = 0;
    for (int i = 0; i < kLinesPerForm; ++i) {
        limitLengths(f, i, kLoaderMaxDataLength);
        const uint8_t type = f.dataType[i];
        if (isNilOrExtension(type)) {
            f.prompt[i][0] = 0;
            f.link[i] = 0;
        } else if (type >= kTypeFixedData) {
            f.link[i] = 0;
        }
        if (countsAsLoaderInput(type)) count = i + 1;
    }
    f.inputLineCount = static_cast<uint8_t>(count);
}

void normaliseFormForCollect(FormDef& f) {
    int count = 0;
    for (int i = 0; i < kLinesPerForm; ++i) {
        const uint8_t type = f.dataType[i];
        if (isNilOrExtension(type)) clearField(f.prompt[i]);
        if (!(type >= kTypeText && type <= kTypeLookup) && type != kTypeAlphanumeric) f.link[i] = 0;
        if (isEntryType(type)) count = i + 1;
    }
    f.inputLineCount = static_cast<uint8_t>(count);
}

int countMenuItems(const MenuDef& menu, std::size_t width) {
    int count = 0;
    for (const auto& item : menu.itemName) {
        std::string_view t = fieldText(item, sizeof item);
        if (t.size() > width) t = t.substr(0, width);
        if (std::any_of(t.begin(), t.end(), [](char c) { return static_cast<uint8_t>(c) > kSpace; })) ++count;
    }
    return count;
}

}  // namespace fw
