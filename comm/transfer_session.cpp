#include "comm/transfer_session.h"

#include <cstdio>
#include <memory>

#include "comm/transfer_files.h"

namespace fw {

void TransferCancel::request() {
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = true;
    if (runner_) runner_->requestCancel();
}

bool TransferCancel::requested() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requested_;
}

// Makes a runner reachable from TransferCancel for exactly as long as it runs.
class CancelAttachment {
public:
    CancelAttachment(TransferCancel* cancel, TransferRunner& runner) : cancel_(cancel) {
        if (!cancel_) return;
        std::lock_guard<std::mutex> lock(cancel_->mutex_);
        cancel_->runner_ = &runner;
        if (cancel_->requested_) runner.requestCancel();
    }
    ~CancelAttachment() {
        if (!cancel_) return;
        std::lock_guard<std::mutex> lock(cancel_->mutex_);
        cancel_->runner_ = nullptr;
    }
    CancelAttachment(const CancelAttachment&) = delete;
    CancelAttachment& operator=(const CancelAttachment&) = delete;

private:
    TransferCancel* cancel_;
};

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
              RecordSink* sink, TransferObserver* observer, TransferCancel* cancel,
              LinkClock& clock) {
    OpenPort open;
    const int opened = openLink(link.linkType, link.portIndex, link.speedChoice, system,
                                open.port, clock);
    if (opened != kLinkOpened) return opened;
    // Whatever the terminal sent before it was asked is no reply.
    open.port->purgeInput();
    TransferRunner runner(engine, *open.port, clock, sink, observer);
    CancelAttachment attached(cancel, runner);
    return runner.run();
}

}  // namespace

int runProgramDownload(SerialSystem& system, const LinkChoice& link, ProgramModel& model,
                       TransferObserver* observer, TransferCancel* cancel, LinkClock& clock) {
    TransferEngine engine = TransferEngine::programDownload(model);
    return runOnLink(system, link, engine, nullptr, observer, cancel, clock);
}

int runLookupDownload(SerialSystem& system, const LinkChoice& link, const std::string& path,
                      TransferObserver* observer, TransferCancel* cancel, LinkClock& clock) {
    LookupFileSource file;
    if (!file.open(path)) return kCannotOpenFile;
    TransferEngine engine = TransferEngine::lookupDownload(file, file.size());
    return runOnLink(system, link, engine, nullptr, observer, cancel, clock);
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
    outcome.result = runOnLink(system, link, engine, &file, observer, cancel, clock);
    outcome.records = engine.state().recordCount;
    file.close();
    if (outcome.result == kTransferDone && outcome.records == 0) std::remove(path.c_str());
    return outcome;
}

}  // namespace fw
