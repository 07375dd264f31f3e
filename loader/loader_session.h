// One run of the downloader from the port on: the port opened by its name
// and set up (with the infrared cradle when that is the link), the transfer
// loop with its retry question, and the port closed whatever ended it. The
// front end (fwx_load's windows, fwxtool's console) shows what it is told.
// Portable: it reaches the port only through SerialPort.
#pragma once

#include <string>

#include "comm/serial_link.h"
#include "comm/serial_port.h"
#include "loader/command_line.h"
#include "loader/loader_exchange.h"
#include "loader/loader_program.h"
#include "loader/loader_texts.h"

namespace fw::loader {

// The port's queues while the downloader holds it.
constexpr std::size_t kInputQueueSize = 256;
constexpr std::size_t kOutputQueueSize = 1200;

// What the user sees. Called on the thread that runs the session, in order;
// every call returns once the user has seen to it.
class LoaderUi {
public:
    virtual ~LoaderUi() = default;
    // A message box captioned "Download FWX: 1.10" with the warning icon.
    virtual void showMessage(Message message) = 0;
    // "Failed to download!\nWould you like to retry?" (Yes/No); true for Yes.
    virtual bool askRetry() = 0;
    virtual void openProgress() = 0;
    virtual void setProgress(int position) = 0;
    virtual void closeProgress() = 0;
};

// Where the progress bar sits in the progress window's client area, given
// the height of the part above its Cancel button.
struct BarPlace {
    int x, y, width, height;
};
constexpr BarPlace progressBarPlace(int clientWidth, int heightAboveButton) {
    return BarPlace{14, heightAboveButton / 2, clientWidth - 28, 20};
}

// Carries out the exchange on an open, set-up port: writes what it sends,
// collects the replies within their 3000 ms windows and shows what it asks
// for. Nothing is read on a timer: between bytes the port blocks in the
// system until one arrives or the window ends. True when downloaded.
bool runExchange(LoaderExchange& exchange, SerialPort& port, LinkClock& clock, LoaderUi& ui,
                 ExchangeCancel* cancel = nullptr);

// Opens `portName` on `port` (closed), sets the line up for the choices and
// runs the transfer loop sending `image` (a prepared LoaderProgram's); closes the port in any case. Failures of the set-up
// are shown and end the run. True when the program was downloaded.
//
// The line runs 8N1 at the chosen speed with DTR and RTS off (the terminal
// needs neither), except after a cradle set-up, which leaves both on.
//
// A cancel (another thread) ends the run where it stands: nothing more is
// sent, no message is shown and no retry is asked; the port is closed.
bool runDownload(SerialPort& port, const std::string& portName, const Choices& choices,
                 const ProgramImage& image, LoaderUi& ui, LinkClock& clock = systemLinkClock(),
                 ExchangeCancel* cancel = nullptr);

}  // namespace fw::loader
