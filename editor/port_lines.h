// The choice lines of the Upload Port and Download Port screens that follow
// the port settings: where they lie in the message tables and the texts a
// port choice writes there.
#pragma once

#include <string>

#include "model/default_texts.h"

namespace fw {

enum class PortLine { UploadThird, UploadFourth, DownloadThird };
constexpr int kPortLineCount = 3;

// Where a port line lies in its screen's table (0-based), with the texts of
// the large font or those of the small one.
int portLineTable(PortLine line);
int portLineIndex(PortLine line, bool largeFont);

// The two variants of a port line's text.
struct PortLineText {
    std::string small;   // sixteen characters
    std::string large;   // twelve characters
    const std::string& forFont(bool largeFont) const { return largeFont ? large : small; }
};
// "3. Modem", "3. Bluetooth SPP" and "4. Acoustic Co." lines, through the
// text service (a language may word them).
PortLineText modemPortLine(PortLine line);
PortLineText bluetoothPortLine(PortLine line);
PortLineText acousticPortLine();

// Writes a port line into working default texts (both fonts).
void setDefaultPortLine(DefaultTexts& defaults, PortLine line, const PortLineText& text);

}  // namespace fw
