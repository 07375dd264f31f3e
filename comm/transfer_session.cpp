#include "comm/transfer_session.h"

#include <cstdio>
#include <memory>

#include "comm/transfer_files.h"

namespace fw {

namespace {

// The port of a transfer, closed however the transfer ends.
struct OpenPort {
    std::unique_ptr<SerialPort> port;
    ~OpenPort() {
        if (port) {
            port->purgeInput();
            port->close();
        }
    }
};

int runOnLink(SerialSystem& system, const LinkChoice& link, TransferEngine& engine,
              TransferHost& host, TransferCancel* cancel, LinkClock& clock) {
    OpenPort open;
    const int opened = openLink(link.linkType, link.portIndex, link.speedChoice, system,
                                open.port, clock, cancel);
    // Closed during the set-up: no opening message, and no failure to show.
    if (cancel && cancel->requested()) return kTransferCancelled;
    if (opened != kLinkOpened) return opened;
    // Whatever the terminal sent before it was asked is no reply.
    open.port->purgeInput();
    return runExchange(engine, *open.port, clock, host, cancel);
}

}  // namespace

int runProgramDownload(SerialSystem& system, const LinkChoice& link, ProgramModel& model,
                       TransferObserver* observer, TransferCancel* cancel, LinkClock& clock) {
    TransferEngine engine = TransferEngine::programDownload();
    TransferHost host({&model, nullptr, nullptr, observer});
    return runOnLink(system, link, engine, host, cancel, clock);
}

int runLookupDownload(SerialSystem& system, const LinkChoice& link, const std::string& path,
                      TransferObserver* observer, TransferCancel* cancel, LinkClock& clock) {
    LookupFileSource file;
    if (!file.open(path)) return kCannotOpenFile;
    TransferEngine engine = TransferEngine::lookupDownload(file.size());
    TransferHost host({nullptr, &file, nullptr, observer});
    return runOnLink(system, link, engine, host, cancel, clock);
}

ReceiveOutcome runDataReceive(SerialSystem& system, const LinkChoice& link,
                              const std::string& path, TransferObserver* observer,
                              TransferCancel* cancel, LinkClock& clock) {
    ReceiveOutcome outcome;
    RecordFile file;
    if (!file.create(path)) {
        outcome.result = kFileCreateFailed;
        return outcome;
    }
    TransferEngine engine = TransferEngine::dataReceive();
    TransferHost host({nullptr, nullptr, &file, observer});
    outcome.result = runOnLink(system, link, engine, host, cancel, clock);
    outcome.records = engine.state().recordCount;
    file.close();
    if (outcome.result == kTransferDone && outcome.records == 0) std::remove(path.c_str());
    return outcome;
}

}  // namespace fw
