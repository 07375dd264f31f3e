#include "editor/port_lines.h"

#include <algorithm>
#include <cstring>

#include "model/form_rules.h"
#include "model/message_tables.h"
#include "resources/text_ids.h"
#include "texts/texts.h"

namespace fw {

namespace {

constexpr std::size_t kSmallChars = textWidth(false);
constexpr std::size_t kLargeChars = textWidth(true);

std::string cut(std::string text, std::size_t chars) {
    if (text.size() > chars) text.resize(chars);
    return text;
}

PortLineText portText(unsigned small, unsigned large) {
    return {cut(loadText(small), kSmallChars), cut(loadText(large), kLargeChars)};
}

}  // namespace

int portLineTable(PortLine line) {
    return line == PortLine::DownloadThird ? kMsgDownloadPort : kMsgUploadPort;
}

int portLineIndex(PortLine line, bool largeFont) {
    switch (line) {
    case PortLine::UploadThird: return largeFont ? 3 : 4;
    case PortLine::UploadFourth: return largeFont ? 4 : 5;
    case PortLine::DownloadThird: return largeFont ? 3 : 5;
    }
    return 0;
}

PortLineText modemPortLine(PortLine line) {
    if (line == PortLine::DownloadThird) return portText(kTextDownloadModem16, kTextDownloadModem12);
    return portText(kTextUploadModem16, kTextUploadModem12);
}

PortLineText bluetoothPortLine(PortLine line) {
    if (line == PortLine::DownloadThird)
        return portText(kTextDownloadBluetooth16, kTextDownloadBluetooth12);
    return portText(kTextUploadBluetooth16, kTextUploadBluetooth12);
}

PortLineText acousticPortLine() { return portText(kTextUploadAcoustic16, kTextUploadAcoustic12); }

void setDefaultPortLine(DefaultTexts& d, PortLine line, const PortLineText& text) {
    const int t = portLineTable(line);
    char* small = d.lines[t][portLineIndex(line, false)];
    char* large = d.largeLines[t][portLineIndex(line, true)];
    std::memset(small, 0, sizeof d.lines[t][0]);
    std::memset(large, 0, sizeof d.largeLines[t][0]);
    std::memcpy(small, text.small.data(), std::min(text.small.size(), kSmallChars));
    std::memcpy(large, text.large.data(), std::min(text.large.size(), kLargeChars));
}

}  // namespace fw
