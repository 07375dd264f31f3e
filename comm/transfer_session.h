// One whole transfer as the designer's commands run it: prepared completely
// first (the port and link, the bytes to send, the file to write), then the
// link opened and set up, the exchange run to its end, and everything
// released in one place whatever ended it. Runs on the calling thread; a
// front end that has to stay responsive calls it from a thread of its own
// and cancels through TransferCancel.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "comm/exchange.h"
#include "comm/lookup_file.h"
#include "comm/serial_link.h"
#include "comm/serial_port.h"
#include "comm/transfer.h"
#include "comm/transfer_runner.h"
#include "model/program_model.h"

namespace fw {

// Which port, over which link, at which speed (the preferences' choices).
// The line runs 8N1 at the speed of the choice with DTR and RTS on, after
// the cradle's set-up when the link is the cradle (openLink).
struct LinkChoice {
    int linkType = kLinkOther;   // kLinkCradleIr, kLinkIrda, kLinkOther
    int portIndex = 0;           // in the SerialSystem's list
    int speedChoice = 0;         // 0 "115200 bps" .. 4 "9600 bps"
};

// Lets another thread end a running transfer with result 0 (the progress
// dialog's close box), also during the link's set-up: once it is asked for,
// nothing more is sent.
using TransferCancel = ExchangeCancel;

enum class TransferKind { program, lookup, receive };

// A transfer decided in full before anything is opened: what a driver
// carries out without looking anywhere else.
struct PreparedTransfer {
    TransferKind kind = TransferKind::program;
    LinkChoice link;
    // program: the program as the download normalises it, and its image.
    std::shared_ptr<const ProgramModel> program;
    std::vector<uint8_t> image;
    // program: the normalised program goes back into the designer's model once
    // the terminal has accepted the opening.
    bool writeBack = false;
    // lookup: the file's lines.
    LookupLines lookup;
    // lookup: the file sent; receive: the file to create.
    std::string path;
};

struct TransferOutcome {
    int result = kTransferCancelled;   // 0, 1 or the number of the failure's text
    int records = 0;                   // receive: accepted, written and acknowledged
    // program: the terminal accepted the opening, and so took the normalised
    // program whatever followed.
    bool openingAccepted = false;
};

// The program download of `model`: a copy normalised for the download
// (normaliseForDownload) and its image.
PreparedTransfer prepareProgramDownload(const ProgramModel& model, const LinkChoice& link,
                                        bool writeBack);
// The lookup download of the file at `path`, read whole now; kTransferDone,
// or kCannotOpenFile when it cannot be opened.
int prepareLookupDownload(const std::string& path, const LinkChoice& link,
                          PreparedTransfer& prepared);
PreparedTransfer prepareDataReceive(const std::string& path, const LinkChoice& link);

// Whether the model keeps the download's normalisation after `outcome`: only a
// request that asks for it, and only once the terminal accepted the opening
// (a download that failed before that leaves the model untouched).
bool keepsDownloadNormalisation(const PreparedTransfer& prepared, const TransferOutcome& outcome);
// Writes the normalised program into `model` when keepsDownloadNormalisation; whether
// the model has unsaved changes stays as it is. True when written.
bool applyDownloadNormalisation(ProgramModel& model, const PreparedTransfer& prepared,
                          const TransferOutcome& outcome);

// Carries out a prepared transfer on `system`.
TransferOutcome runPreparedTransfer(SerialSystem& system, const PreparedTransfer& prepared,
                                    TransferObserver* observer = nullptr,
                                    TransferCancel* cancel = nullptr,
                                    LinkClock& clock = systemLinkClock());

// Opens the link, runs `exchange` on it with `host` to its end and closes the
// port, whatever ended it: what every transfer below does. For a caller with
// a host of its own (several ports sharing one image built beforehand).
int runTransferOnLink(SerialSystem& system, const LinkChoice& link, Exchange& exchange,
                      ExchangeHost& host, TransferCancel* cancel = nullptr,
                      LinkClock& clock = systemLinkClock());

// The program download: prepared from `model`, carried out, and the
// normalisation kept in `model` once the terminal accepted the opening. Returns
// the result (0, 1 or a text number).
int runProgramDownload(SerialSystem& system, const LinkChoice& link, ProgramModel& model,
                       TransferObserver* observer = nullptr, TransferCancel* cancel = nullptr,
                       LinkClock& clock = systemLinkClock());

// The lookup download of the file at `path`; kCannotOpenFile when it cannot
// be read.
int runLookupDownload(SerialSystem& system, const LinkChoice& link, const std::string& path,
                      TransferObserver* observer = nullptr, TransferCancel* cancel = nullptr,
                      LinkClock& clock = systemLinkClock());

using ReceiveOutcome = TransferOutcome;

// The data receive into the file at `path`, created empty (kFileCreateFailed
// when it cannot be). A completed receive with no record deletes the file;
// on any failure the records received so far stay in it.
ReceiveOutcome runDataReceive(SerialSystem& system, const LinkChoice& link, const std::string& path,
                              TransferObserver* observer = nullptr, TransferCancel* cancel = nullptr,
                              LinkClock& clock = systemLinkClock());

}  // namespace fw
