#include "comm/program_image.h"

#include <cstddef>
#include <cstring>
#include <string_view>

#include "model/fixed_text.h"
#include "model/form_rules.h"
#include "model/message_tables.h"

namespace fw {

namespace {

// The image holds the model's blocks from the barcode block on, in file order
// and at their file sizes, so every position follows from the record sizes.
constexpr std::size_t kImageRecordsSize = sizeof(BarcodeSettings) + sizeof(MenuDef) * kMenuCount +
                                          sizeof(FormDef) * kFormCount +
                                          sizeof(LookupDef) * kLookupCount;
static_assert(kImageTextStart == kImageRecordsSize);

// Where a text table of the model lands in the image: the texts keep their
// model order and sizes, starting with reservedLines.
constexpr std::size_t imageOffsetOfModel(std::size_t modelOffset) {
    return kImageTextStart + (modelOffset - offsetof(ProgramModel, reservedLines));
}

constexpr std::size_t kImageTextEnd = imageOffsetOfModel(offsetof(ProgramModel, legacyBlock));
constexpr std::size_t kImageGapSize = sizeof(ProgramModel::legacyBlock);
constexpr std::size_t kImageSettingsEnd = kImageSettingsStart + sizeof(TerminalSettings);

// The terminal reads its program at these fixed places.
static_assert(kImageTextStart == 16039);
static_assert(imageOffsetOfModel(offsetof(ProgramModel, msgMainMenu)) == 16103);
static_assert(imageOffsetOfModel(offsetof(ProgramModel, msgUtilities)) == 16167);
static_assert(imageOffsetOfModel(offsetof(ProgramModel, msgBaudRate)) == 17059);
static_assert(imageOffsetOfModel(offsetof(ProgramModel, msgSystemFault)) == 17626);
static_assert(imageOffsetOfModel(offsetof(ProgramModel, msgMiscContinuous)) == 18444);
static_assert(kImageTextEnd == kImageLegacyStart);
static_assert(kImageLegacyStart + kImageGapSize == kImageSettingsStart);
static_assert(kImageSettingsEnd == 18830);
static_assert(kImageSettingsEnd <= kProgramImageSize);
static_assert(kProgramImageSize == kImageBlockDataSize * kImageBlockCount);

constexpr uint8_t kSpace = 0x20;

// Writes one text slot of `width` bytes: the text, spaces up to width - 1
// characters, NUL. A text that fills its slot without a NUL is cut to
// width - 1 so that it never runs into the next slot.
uint8_t* writeTextSlot(uint8_t* out, const uint8_t* slot, std::size_t width) {
    std::string_view text = fieldText(slot, width);
    const std::size_t chars = width - 1;
    if (text.size() > chars) text = text.substr(0, chars);
    std::memcpy(out, text.data(), text.size());
    std::memset(out + text.size(), kSpace, chars - text.size());
    out[chars] = 0;
    return out + width;
}

template <int Lines, int Width>
uint8_t* writeTable(uint8_t* out, const MessageTable<Lines, Width>& table) {
    for (const auto& line : table.line) out = writeTextSlot(out, line, Width);
    return out;
}

bool anyLookupInUse(const ProgramModel& m) {
    for (const LookupDef& l : m.lookups) {
        if (l.memberLength != 0 && l.fieldCount != 0) return true;
    }
    return false;
}

TerminalSettings adjustedSettings(const ProgramModel& m) {
    TerminalSettings s = m.settings;
    adjustStartAndChoices(s);
    // The terminal numbers these choices from 1 too.
    for (uint8_t* choice : {&s.modemSpeed, &s.keyClick, &s.goodReadBeep, &s.warningBeep}) {
        *choice = static_cast<uint8_t>(*choice + 1);
    }

    // With a lookup file in use the utility menu also lists "8.Load Lookup",
    // and the calculator becomes the ninth entry.
    uint8_t& first = s.extraUtilityLines[0][0];
    if (first >= '0' && first <= '9') first = anyLookupInUse(m) ? '9' : '8';

    const std::size_t width = static_cast<std::size_t>(textWidth(s.largeFont));
    for (int line = 0; line < 4; ++line) {
        padTextField(s.extraUtilityLines[line], sizeof s.extraUtilityLines[line], width);
    }
    return s;
}

}  // namespace

void padTextField(uint8_t* field, std::size_t fieldWidth, std::size_t width) {
    std::size_t len = fieldText(field, fieldWidth).size();
    if (len < width) std::memset(field + len, kSpace, width - len);
    field[width] = 0;
}

void normaliseMenu(MenuDef& menu, std::size_t width) {
    if (menu.captionOn != 0) padTextField(menu.caption, sizeof menu.caption, width);
    menu.itemCount = static_cast<uint8_t>(countMenuItems(menu, width));
    for (auto& item : menu.itemName) padTextField(item, sizeof item, width);
}

void adjustStartAndChoices(TerminalSettings& s) {
    // The terminal takes the start as a target code: form 1 or menu 1.
    s.startFrom = s.startFrom != 0 ? targetMenu(1) : targetForm(1);
    // The terminal numbers these choices from 1.
    for (uint8_t* choice : {&s.uploadPort, &s.downloadPort, &s.baudRate, &s.backlight,
                            &s.dataDeletion, &s.entryOption}) {
        *choice = static_cast<uint8_t>(*choice + 1);
    }
    s.backlightIdle = static_cast<uint8_t>(s.backlightIdle + '0');
}

void layOutRecordsAndTexts(const ProgramModel& m, ProgramImage& image) {
    std::memset(image.bytes, 0, sizeof image.bytes);
    const uint8_t* body = modelBody(m);

    std::memcpy(image.bytes, body + offsetof(ProgramModel, barcode), kImageRecordsSize);

    uint8_t* out = image.bytes + kImageTextStart;
    out = writeTable(out, m.reservedLines);
    for (int t = 0; t < kMessageTableCount; ++t) {
        const MessageTableInfo& info = kMessageTables[t];
        for (int line = 0; line < info.lines; ++line) {
            out = writeTextSlot(out, messageLine(m, t, line), info.width);
        }
    }
}

void normaliseForDownload(ProgramModel& m) {
    for (MenuDef& menu : m.menus) normaliseMenu(menu, static_cast<std::size_t>(textWidth(menu.font)));
    for (FormDef& form : m.forms) normaliseFormForDownload(form);
}

void buildProgramImage(const ProgramModel& m, ProgramImage& image) {
    layOutRecordsAndTexts(m, image);
    // The place of legacyBlock stays zero.
    const TerminalSettings settings = adjustedSettings(m);
    std::memcpy(image.bytes + kImageSettingsStart, &settings, sizeof settings);
}

ImageBlock makeImageBlock(const ProgramImage& image, int k) {
    ImageBlock block{};
    block.blockNumber = static_cast<uint8_t>(k);
    if (k < 0 || k >= kImageBlockCount) return block;  // nothing beyond the image

    std::memcpy(block.data, image.bytes + static_cast<std::size_t>(k) * kImageBlockDataSize,
                kImageBlockDataSize);
    unsigned sum = 0;  // at most 100 x 255 = 25,500
    for (uint8_t b : block.data) sum += b;
    block.sumHigh = static_cast<uint8_t>(sum >> 8);
    block.sumLow = static_cast<uint8_t>(sum & 0xFF);
    return block;
}

}  // namespace fw
