#include "loader/loader_image.h"

#include <cstddef>
#include <cstring>

#include "model/form_rules.h"

namespace fw::loader {

namespace {

// The password's bytes that the terminal compares in upper case.
constexpr std::size_t kUpperCaseFirst = 46;
constexpr std::size_t kUpperCaseLast = 55;
static_assert(kUpperCaseFirst == offsetof(TerminalSettings, password));

// One more in the two-bit field at `shift`, when the field is not zero. The
// field wraps within its two bits and never carries into its neighbour.
uint8_t bumpTwoBitField(uint8_t byte, int shift) {
    const unsigned mask = 3u << shift;
    const unsigned field = (byte & mask) >> shift;
    if (field == 0) return byte;
    return static_cast<uint8_t>((byte & ~mask) | (((field + 1) & 3u) << shift));
}

}  // namespace

void normaliseForLoader(ProgramModel& m) {
    for (MenuDef& menu : m.menus) normaliseMenu(menu, loaderMenuWidth(menu.font));
    for (FormDef& form : m.forms) normaliseFormForLoader(form);
}

void buildLoaderImage(const ProgramModel& m, ProgramImage& image) {
    layOutRecordsAndTexts(m, image);

    uint8_t legacy[sizeof m.legacyBlock];
    std::memcpy(legacy, m.legacyBlock, sizeof legacy);
    legacy[0] = static_cast<uint8_t>(legacy[0] + 1);
    legacy[1] = bumpTwoBitField(bumpTwoBitField(legacy[1], 1), 3);
    std::memcpy(image.bytes + kImageLegacyStart, legacy, sizeof legacy);

    TerminalSettings s = m.settings;
    adjustStartAndChoices(s);
    uint8_t* raw = reinterpret_cast<uint8_t*>(&s);
    for (std::size_t i = kUpperCaseFirst; i <= kUpperCaseLast; ++i) {
        if (raw[i] >= 'a' && raw[i] <= 'z') raw[i] = static_cast<uint8_t>(raw[i] - 'a' + 'A');
    }
    std::memcpy(image.bytes + kImageSettingsStart, &s, sizeof s);
}

}  // namespace fw::loader
