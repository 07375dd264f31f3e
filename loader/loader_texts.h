// The downloader's own texts. They have no numbers and no language files:
// fwx_load shows them as they are, and its captions carry its version.
#pragma once

#include <array>
#include <string_view>

#include "model/program_file.h"

namespace fw::loader {

// Every message box of the downloader has this caption.
constexpr std::string_view kCaption = "Download FWX: 1.10";
constexpr std::string_view kWindowClass = "fwx_load";
constexpr std::string_view kIniFileName = "fwx_load.ini";

// The open dialog of the program file.
constexpr std::string_view kOpenFilterName = "Formwright (*.FWX)";
constexpr std::string_view kOpenFilterPattern = "*.FWX";
constexpr std::string_view kOpenDefaultExtension = "FWX";

// The progress window keeps the version its template always had.
constexpr std::string_view kProgressTitle = "Progress (Download FWX: 1.01)";
constexpr std::string_view kProgressText = "Downloading...";
constexpr std::string_view kProgressBarText = "Downloading";

constexpr std::string_view kPropertiesTitle = "Comm Properties (Download FWX: 1.10)";
constexpr std::string_view kLinkLabel = "&Download via :";
constexpr std::string_view kPortLabel = "&COM port :";
constexpr std::string_view kSpeedLabel = "&Baud rate :";

// The three lists of the Comm Properties dialog, in choice order.
constexpr std::array<std::string_view, 2> kLinkNames = {"RS232 or IrDA", "Cradle-IR"};
constexpr std::array<std::string_view, 8> kPortNames = {"COM1", "COM2", "COM3", "COM4",
                                                        "COM5", "COM6", "COM7", "COM8"};
constexpr std::array<std::string_view, 5> kSpeedNames = {"115200", "57600", "38400", "19200",
                                                         "9600"};

// What the downloader tells the user. All but the retry question carry the
// warning icon, the final success included.
enum class Message {
    cantOpenFile,
    formatMismatch,
    cantOpenComPort,
    cannotConfigureIr,
    failedToInitializeComPort,
    terminalNotReady,
    errorOnDownloading,
    downloadedCompletely,
};

constexpr std::string_view messageText(Message m) {
    switch (m) {
    case Message::cantOpenFile: return "Can't open the file!";
    case Message::formatMismatch: return kFormatMismatchMessage;
    case Message::cantOpenComPort: return "Can't open the COM port!";
    case Message::cannotConfigureIr: return "Can not configure the IR device!";
    case Message::failedToInitializeComPort: return "Failed to initialize the COM port!";
    case Message::terminalNotReady: return "Terminal is not ready!";
    case Message::errorOnDownloading: return "Error on downloading!";
    case Message::downloadedCompletely: return "Downloaded completely!";
    }
    return {};
}

// Asked after a failed transfer (Yes/No, question icon).
constexpr std::string_view kRetryQuestion = "Failed to download!\nWould you like to retry?";

}  // namespace fw::loader
