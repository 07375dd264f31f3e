// One whole transfer as the designer's commands run it: the file opened or
// created, the link opened and set up, the exchange run to its end, and
// everything released in one place whatever ended it. Runs on the calling
// thread; a front end that has to stay responsive calls it from a thread of
// its own and cancels through TransferCancel.
#pragma once

#include <string>

#include "comm/exchange.h"
#include "comm/serial_link.h"
#include "comm/serial_port.h"
#include "comm/transfer.h"
#include "comm/transfer_runner.h"
#include "model/program_model.h"

namespace fw {

// Which port, over which link, at which speed (the preferences' choices).
struct LinkChoice {
    int linkType = kLinkOther;   // kLinkCradleIr, kLinkIrda, kLinkOther
    int portIndex = 0;           // in the SerialSystem's list
    int speedChoice = 0;         // 0 "115200 bps" .. 4 "9600 bps"
};

// Lets another thread end a running transfer with result 0 (the progress
// dialog's close box), also during the link's set-up: once it is asked for,
// nothing more is sent.
using TransferCancel = ExchangeCancel;

// Opens the link, runs `exchange` on it with `host` to its end and closes the
// port, whatever ended it: what every transfer below does. For a caller with
// a host of its own (several ports sharing one image built beforehand).
int runTransferOnLink(SerialSystem& system, const LinkChoice& link, Exchange& exchange,
                      ExchangeHost& host, TransferCancel* cancel = nullptr,
                      LinkClock& clock = systemLinkClock());

// The program download: `model` is normalised for the download when the
// terminal accepts the opening, and its image sent. Returns the result
// (0, 1 or a text number).
int runProgramDownload(SerialSystem& system, const LinkChoice& link, ProgramModel& model,
                       TransferObserver* observer = nullptr, TransferCancel* cancel = nullptr,
                       LinkClock& clock = systemLinkClock());

// The lookup download of the file at `path`; kCannotOpenFile when it cannot
// be read.
int runLookupDownload(SerialSystem& system, const LinkChoice& link, const std::string& path,
                      TransferObserver* observer = nullptr, TransferCancel* cancel = nullptr,
                      LinkClock& clock = systemLinkClock());

struct ReceiveOutcome {
    int result = kTransferCancelled;
    int records = 0;   // accepted, written and acknowledged
};

// The data receive into the file at `path`, created empty (kFileCreateFailed
// when it cannot be). A completed receive with no record deletes the file;
// on any failure the records received so far stay in it.
ReceiveOutcome runDataReceive(SerialSystem& system, const LinkChoice& link, const std::string& path,
                              TransferObserver* observer = nullptr, TransferCancel* cancel = nullptr,
                              LinkClock& clock = systemLinkClock());

}  // namespace fw
