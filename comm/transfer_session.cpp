#include "comm/transfer_session.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <memory>

#include "comm/program_image.h"
#include "comm/transfer_files.h"
#include "model/file_replace.h"

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

}  // namespace

PreparedTransfer prepareProgramDownload(const ProgramModel& model, const LinkChoice& link,
                                        bool writeBack) {
    PreparedTransfer prepared;
    prepared.kind = TransferKind::program;
    prepared.link = link;
    prepared.writeBack = writeBack;
    auto normalised = std::make_shared<ProgramModel>(model);
    normaliseForDownload(*normalised);
    auto image = std::make_unique<ProgramImage>();
    buildProgramImage(*normalised, *image);
    prepared.image.assign(image->bytes, image->bytes + kProgramImageSize);
    prepared.program = std::move(normalised);
    return prepared;
}

int prepareLookupDownload(const std::string& path, const LinkChoice& link,
                          PreparedTransfer& prepared) {
    prepared = PreparedTransfer{};
    prepared.kind = TransferKind::lookup;
    prepared.link = link;
    prepared.path = path;
    LookupFileSource file;
    if (!file.open(path)) return kCannotOpenFile;
    prepared.lookup = readLookupLines(file, file.size());
    return kTransferDone;
}

PreparedTransfer prepareDataReceive(const std::string& path, const LinkChoice& link) {
    PreparedTransfer prepared;
    prepared.kind = TransferKind::receive;
    prepared.link = link;
    prepared.path = path;
    return prepared;
}

bool keepsDownloadNormalisation(const PreparedTransfer& prepared, const TransferOutcome& outcome) {
    return prepared.kind == TransferKind::program && prepared.writeBack && prepared.program &&
           outcome.openingAccepted;
}

bool applyDownloadNormalisation(ProgramModel& model, const PreparedTransfer& prepared,
                          const TransferOutcome& outcome) {
    if (!keepsDownloadNormalisation(prepared, outcome)) return false;
    // Whether the program has unsaved changes is not the download's business.
    const bool modified = model.modified;
    model = *prepared.program;
    model.modified = modified;
    return true;
}

int runTransferOnLink(SerialSystem& system, const LinkChoice& link, Exchange& engine,
                      ExchangeHost& host, TransferCancel* cancel, LinkClock& clock) {
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

TransferOutcome runPreparedTransfer(SerialSystem& system, const PreparedTransfer& prepared,
                                    TransferObserver* observer, TransferCancel* cancel,
                                    LinkClock& clock) {
    TransferOutcome outcome;
    switch (prepared.kind) {
    case TransferKind::program: {
        TransferEngine engine = TransferEngine::programDownload(prepared.image);
        TransferHost host({nullptr, observer});
        outcome.result = runTransferOnLink(system, prepared.link, engine, host, cancel, clock);
        outcome.openingAccepted = engine.state().openingAccepted;
        break;
    }
    case TransferKind::lookup: {
        TransferEngine engine = TransferEngine::lookupDownload(prepared.lookup);
        TransferHost host({nullptr, observer});
        outcome.result = runTransferOnLink(system, prepared.link, engine, host, cancel, clock);
        break;
    }
    case TransferKind::receive: {
        RecordFile file;
        if (!file.create(prepared.path)) {
            outcome.result = kFileCreateFailed;
            break;
        }
        TransferEngine engine = TransferEngine::dataReceive();
        TransferHost host({&file, observer});
        outcome.result = runTransferOnLink(system, prepared.link, engine, host, cancel, clock);
        outcome.records = engine.state().recordCount;
        file.close();
        if (outcome.result == kTransferDone && outcome.records == 0) {
            std::error_code ignored;
            std::filesystem::remove(systemPath(prepared.path), ignored);
        }
        break;
    }
    }
    return outcome;
}

int runProgramDownload(SerialSystem& system, const LinkChoice& link, ProgramModel& model,
                       TransferObserver* observer, TransferCancel* cancel, LinkClock& clock) {
    const PreparedTransfer prepared = prepareProgramDownload(model, link, true);
    const TransferOutcome outcome = runPreparedTransfer(system, prepared, observer, cancel, clock);
    applyDownloadNormalisation(model, prepared, outcome);
    return outcome.result;
}

int runLookupDownload(SerialSystem& system, const LinkChoice& link, const std::string& path,
                      TransferObserver* observer, TransferCancel* cancel, LinkClock& clock) {
    PreparedTransfer prepared;
    const int read = prepareLookupDownload(path, link, prepared);
    if (read != kTransferDone) return read;
    return runPreparedTransfer(system, prepared, observer, cancel, clock).result;
}

ReceiveOutcome runDataReceive(SerialSystem& system, const LinkChoice& link,
                              const std::string& path, TransferObserver* observer,
                              TransferCancel* cancel, LinkClock& clock) {
    return runPreparedTransfer(system, prepareDataReceive(path, link), observer, cancel, clock);
}

}  // namespace fw
