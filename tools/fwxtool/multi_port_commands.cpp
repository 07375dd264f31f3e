#include "tools/fwxtool/multi_port_commands.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "comm/port_workers.h"
#include "comm/posix/serial_port_posix.h"
#include "comm/program_image.h"
#include "comm/transfer.h"
#include "comm/transfer_session.h"
#include "loader/loader_session.h"
#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "texts/texts.h"

namespace fw::tool {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

constexpr const char* kProgramName = "fwxtool";
constexpr const char* kCancelled = "Cancelled";

// --- options --------------------------------------------------------------

bool takeValue(std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& value, std::string& problem) {
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            problem = "option '" + name + "' needs a value";
            return true;
        }
        value = args[++i];
        return true;
    }
    if (arg.rfind(name + "=", 0) == 0) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

}  // namespace

std::string takePortArguments(std::vector<std::string>& args, PortArguments& ports,
                              bool allowPort) {
    std::vector<std::string> rest;
    std::string joined;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") {
            ports.json = true;
            continue;
        }
        std::string value, problem;
        if (takeValue(args, i, "--port", value, problem)) {
            if (!problem.empty()) return problem;
            if (!allowPort) return "option '--port' does not go with '" + args[0] + "'";
            // An empty value stays visible to the port list's check.
            joined += (ports.portOption ? "," : "") + value;
            ports.portOption = true;
            continue;
        }
        rest.push_back(args[i]);
    }
    if (ports.portOption) rest.insert(rest.begin() + (rest.empty() ? 0 : 1), joined);
    args.swap(rest);
    return {};
}

std::string makeMultiPortRequest(const std::string& command, const std::string& portArgument,
                                 const std::string& fileArgument, const PortArguments& options,
                                 MultiPortRequest& request) {
    if (command == "download") request.command = PortCommand::download;
    else if (command == "lookup") request.command = PortCommand::lookup;
    else if (command == "receive") request.command = PortCommand::receive;
    else request.command = PortCommand::load;
    std::string problem = splitPortList({portArgument}, request.ports);
    if (!problem.empty()) return problem;
    request.file = fileArgument;
    request.json = options.json;
    std::error_code ec;
    const bool intoFolder = request.command == PortCommand::receive && fs::is_directory(fileArgument, ec);
    request.parallel = request.ports.size() > 1 || options.json || intoFolder;
    if (request.command == PortCommand::receive && request.parallel) {
        // Two ports whose names differ only in what a file name cannot hold
        // would write one file.
        std::vector<std::string> names;
        for (const std::string& port : request.ports) {
            const std::string name = receiveFileName(port);
            if (std::find(names.begin(), names.end(), name) != names.end()) {
                return "ports '" + port + "' and another one would write the same file '" + name + "'";
            }
            names.push_back(name);
        }
    }
    return {};
}

namespace {

// --- Ctrl+C -------------------------------------------------------------------

std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void onInterrupt(int) { gInterrupted.store(true); }

}  // namespace

struct InterruptCatcher::Saved {
    struct sigaction oldInt {};
    struct sigaction oldTerm {};
};

InterruptCatcher::InterruptCatcher() : saved_(std::make_unique<Saved>()) {
    gInterrupted.store(false);
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &sa, &saved_->oldInt);
    ::sigaction(SIGTERM, &sa, &saved_->oldTerm);
}

InterruptCatcher::~InterruptCatcher() {
    ::sigaction(SIGINT, &saved_->oldInt, nullptr);
    ::sigaction(SIGTERM, &saved_->oldTerm, nullptr);
}

const std::atomic<bool>& InterruptCatcher::flag() const { return gInterrupted; }

namespace {

// --- what is prepared once for every port -----------------------------------

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    int next() override { return at_ < bytes_.size() ? bytes_[at_++] : -1; }

private:
    const std::vector<uint8_t>& bytes_;
    std::size_t at_ = 0;
};

struct Prepared {
    std::vector<uint8_t> image;                          // download
    LookupLines lookup;                                  // lookup
    std::unique_ptr<loader::LoaderProgram> loaderProgram;  // load
};

bool prepare(const MultiPortRequest& request, Prepared& prepared, std::ostream& err) {
    switch (request.command) {
    case PortCommand::download: {
        auto defaults = std::make_unique<DefaultTexts>();
        loadDefaultTexts(*defaults);
        auto model = std::make_unique<ProgramModel>();
        newProgram(*model, *defaults);
        const LoadResult loaded = loadProgram(*model, *defaults, request.file);
        if (loaded.status == LoadStatus::CannotOpen) {
            err << kProgramName << ": cannot open '" << request.file << "'\n";
            return false;
        }
        if (loaded.status == LoadStatus::FormatMismatch) {
            err << kProgramName << ": '" << request.file << "': " << kFormatMismatchMessage << '\n';
            return false;
        }
        normaliseForDownload(*model);
        auto image = std::make_unique<ProgramImage>();
        buildProgramImage(*model, *image);
        prepared.image.assign(image->bytes, image->bytes + kProgramImageSize);
        return true;
    }
    case PortCommand::lookup: {
        std::error_code ec;
        // A folder opens for reading here, and would go as an empty file.
        std::ifstream in;
        if (!fs::is_directory(request.file, ec)) in.open(request.file, std::ios::binary);
        std::vector<uint8_t> bytes;
        if (in.is_open()) bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (!in.is_open() || in.bad()) {
            err << kProgramName << ": '" << request.file << "': " << loadText(kCannotOpenFile) << '\n';
            return false;
        }
        MemorySource source(bytes);
        prepared.lookup = readLookupLines(source, bytes.size());
        return true;
    }
    case PortCommand::receive: {
        std::error_code ec;
        if (!fs::is_directory(request.file, ec) && !fs::create_directories(request.file, ec)) {
            err << kProgramName << ": cannot create the folder '" << request.file << "'\n";
            return false;
        }
        return true;
    }
    case PortCommand::load: {
        std::vector<uint8_t> bytes;
        switch (loader::readProgramFile(request.file, bytes)) {
        case loader::ProgramFileStatus::ok:
            break;
        case loader::ProgramFileStatus::cannotOpen:
            err << kProgramName << ": '" << request.file << "': "
                << loader::messageText(loader::Message::cantOpenFile) << '\n';
            return false;
        case loader::ProgramFileStatus::formatMismatch:
            err << kProgramName << ": '" << request.file << "': "
                << loader::messageText(loader::Message::formatMismatch) << '\n';
            return false;
        }
        prepared.loaderProgram = std::make_unique<loader::LoaderProgram>(std::move(bytes));
        // Built here, before any worker starts: afterwards the workers only
        // read it.
        prepared.loaderProgram->prepare();
        return true;
    }
    }
    return false;
}

// --- the workers --------------------------------------------------------------

// A port list of one: the device named, whatever kind it is.
PosixSerialSystem systemOf(const std::string& port) {
    return PosixSerialSystem({SerialPortInfo{port, port, kPortSerial}});
}

PortOutcome outcomeOf(int result, const ExchangeCancel& cancel) {
    PortOutcome o;
    if (result == kTransferDone) {
        o.state = PortState::succeeded;
    } else if (result == kTransferCancelled || cancel.requested()) {
        o.state = PortState::cancelled;
        o.message = kCancelled;
    } else {
        o.state = PortState::failed;
        o.message = loadText(unsigned(result));
        if (o.message.empty()) o.message = "transfer failed (" + std::to_string(result) + ")";
    }
    return o;
}

// What a download posts as it goes: the bar, and the blocks or lines sent
// so far, as the engine counts them.
class PortProgress final : public TransferObserver {
public:
    PortProgress(const TransferEngine& engine, PortReporter& reporter)
        : engine_(engine), reporter_(reporter) {}
    void progress(int position) override {
        reporter_.progress(position);
        const TransferState& s = engine_.state();
        reporter_.count(s.mode == TransferMode::lookupDownload ? s.linesSent : s.blockIndex);
    }

private:
    const TransferEngine& engine_;
    PortReporter& reporter_;
};

// The downloader's messages, kept rather than shown: the last one is the
// port's result. The retry question is answered No.
class LoaderRecorder final : public loader::LoaderUi {
public:
    explicit LoaderRecorder(PortReporter& reporter) : reporter_(reporter) {}
    void showMessage(loader::Message message) override { last_ = loader::messageText(message); }
    bool askRetry() override { return false; }
    void openProgress() override { setProgress(0); }
    void setProgress(int position) override {
        position_ = position;
        reporter_.progress(position);
        reporter_.count(blocks());
    }
    void closeProgress() override {}
    const std::string& last() const { return last_; }
    // The bar stands at 5 + half the blocks acknowledged, rounded up.
    int blocks() const { return position_ >= 100 ? 200 : std::clamp(2 * (position_ - 5), 0, 200); }

private:
    PortReporter& reporter_;
    std::string last_;
    int position_ = 0;
};

// A program or lookup download on `port`: its outcome, without the bytes
// (what counts as sent differs between the two).
PortOutcome runDownloadJob(TransferEngine& engine, const std::string& port, const LinkChoice& link,
                           PortReporter& reporter, ExchangeCancel& cancel) {
    PosixSerialSystem system = systemOf(port);
    PortProgress progress(engine, reporter);
    TransferHost host({nullptr, &progress});
    PortOutcome o = outcomeOf(runTransferOnLink(system, link, engine, host, &cancel), cancel);
    if (o.state == PortState::succeeded) o.message = loadText(kTextDownloadedCompletely);
    return o;
}

PortOutcome runPortJob(const MultiPortRequest& request, const Prepared& prepared,
                       const std::string& port, PortReporter& reporter, ExchangeCancel& cancel) {
    const LinkChoice link{request.transfer.linkType, 0, request.transfer.speedChoice};
    switch (request.command) {
    case PortCommand::download: {
        TransferEngine engine = TransferEngine::programDownload(prepared.image);
        PortOutcome o = runDownloadJob(engine, port, link, reporter, cancel);
        // The block in flight is not yet acknowledged.
        o.bytes = o.state == PortState::succeeded
                      ? prepared.image.size()
                      : uint64_t(std::max(0, engine.state().blockIndex - 1)) * kImageBlockDataSize;
        return o;
    }
    case PortCommand::lookup: {
        TransferEngine engine = TransferEngine::lookupDownload(prepared.lookup);
        PortOutcome o = runDownloadJob(engine, port, link, reporter, cancel);
        const uint64_t size = prepared.lookup.fileSize;
        o.bytes = o.state == PortState::succeeded ? size : std::min<uint64_t>(engine.state().acknowledged, size);
        return o;
    }
    case PortCommand::receive: {
        PosixSerialSystem system = systemOf(port);
        const std::string path = (fs::path(request.file) / receiveFileName(port)).string();
        const ReceiveOutcome received = runDataReceive(system, link, path, &reporter, &cancel);
        PortOutcome o = outcomeOf(received.result, cancel);
        o.records = received.records;
        std::error_code ec;
        if (fs::exists(path, ec)) {
            o.file = path;
            o.bytes = fs::file_size(path, ec);
        }
        if (o.state == PortState::succeeded) {
            o.message = received.records == 0
                            ? loadText(kTextNoDataReceived)
                            : "Done : " + std::to_string(received.records) + " records received.";
        }
        return o;
    }
    case PortCommand::load: {
        PosixSerialPort serial;
        LoaderRecorder ui(reporter);
        loader::Choices choices;
        choices.link = request.load.link;
        choices.speed = request.load.speedChoice;
        const bool done = loader::runDownload(serial, port, choices, prepared.loaderProgram->image(), ui,
                                              systemLinkClock(), &cancel);
        PortOutcome o;
        if (done) {
            o.state = PortState::succeeded;
            o.message = loader::messageText(loader::Message::downloadedCompletely);
            o.bytes = kProgramImageSize;
        } else if (cancel.requested()) {
            o.state = PortState::cancelled;
            o.message = kCancelled;
        } else {
            o.state = PortState::failed;
            o.message = ui.last().empty() ? "Failed to download!" : ui.last();
            o.bytes = uint64_t(ui.blocks()) * kImageBlockDataSize;
        }
        return o;
    }
    }
    return {};
}

// --- what the user sees -------------------------------------------------------

const char* unitOf(PortCommand command) {
    switch (command) {
    case PortCommand::lookup: return "lines";
    case PortCommand::receive: return "records";
    default: return "blocks";
    }
}

const char* commandName(PortCommand command) {
    switch (command) {
    case PortCommand::download: return "download";
    case PortCommand::lookup: return "lookup";
    case PortCommand::receive: return "receive";
    case PortCommand::load: return "load";
    }
    return "";
}

const char* stateName(PortState state) {
    switch (state) {
    case PortState::waiting: return "waiting";
    case PortState::running: return "running";
    case PortState::succeeded: return "succeeded";
    case PortState::failed: return "failed";
    case PortState::cancelled: return "cancelled";
    }
    return "";
}

bool ended(PortState state) {
    return state == PortState::succeeded || state == PortState::failed ||
           state == PortState::cancelled;
}

std::string secondsText(double seconds) {
    std::ostringstream s;
    s << std::fixed << std::setprecision(1) << seconds << " s";
    return s.str();
}

std::size_t portWidth(const std::vector<PortStatus>& rows) {
    std::size_t w = 4;
    for (const PortStatus& r : rows) w = std::max(w, r.port.size());
    return w;
}

// One line per port, redrawn in place: port, bar, count, state.
class LiveLines {
public:
    LiveLines(std::ostream& err, PortCommand command) : err_(err), command_(command) {
        winsize ws{};
        if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0) {
            if (ws.ws_col > 20) width_ = ws.ws_col;
            if (ws.ws_row > 0) height_ = ws.ws_row;
        }
    }
    // Lines redrawn in place must all be on the screen: the cursor cannot
    // go up past its top.
    bool fits(std::size_t rows) const { return rows < height_; }
    void draw(const std::vector<PortStatus>& rows) {
        const std::size_t w = std::min<std::size_t>(portWidth(rows), width_ / 3);
        if (drawn_ > 0) err_ << "\x1b[" << drawn_ << "A";
        for (const PortStatus& r : rows) {
            std::ostringstream line;
            std::string port = r.port.size() > w ? "..." + r.port.substr(r.port.size() - (w - 3)) : r.port;
            line << std::left << std::setw(int(w)) << port << ' ';
            if (command_ != PortCommand::receive) {
                constexpr int kBar = 20;
                const int filled = std::clamp(r.position, 0, 100) * kBar / 100;
                line << '[' << std::string(std::size_t(filled), '#')
                     << std::string(std::size_t(kBar - filled), ' ') << "] ";
            }
            line << r.count;
            if (command_ == PortCommand::download || command_ == PortCommand::load) line << "/200";
            line << ' ' << unitOf(command_) << "  ";
            line << (ended(r.state) ? r.outcome.message : stateName(r.state));
            std::string text = line.str();
            if (text.size() >= width_) text.resize(width_ - 1);
            // Clear the rest of the line: the text before may have been longer.
            err_ << '\r' << text << "\x1b[K\n";
        }
        err_ << std::flush;
        drawn_ = rows.size();
    }

private:
    std::ostream& err_;
    PortCommand command_;
    std::size_t width_ = 80;
    std::size_t height_ = 24;
    std::size_t drawn_ = 0;
};

// For a log: a line as each port starts and as it ends.
class PlainLines {
public:
    explicit PlainLines(std::ostream& err) : err_(err) {}
    void draw(const std::vector<PortStatus>& rows) {
        shown_.resize(rows.size(), PortState::waiting);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const PortStatus& r = rows[i];
            if (r.state == shown_[i]) continue;
            if (shown_[i] == PortState::waiting && r.state != PortState::waiting) {
                err_ << r.port << ": started\n";
            }
            if (ended(r.state)) {
                err_ << r.port << ": " << r.outcome.message << " (" << secondsText(r.seconds) << ")\n";
            }
            shown_[i] = r.state;
        }
        err_ << std::flush;
    }

private:
    std::ostream& err_;
    std::vector<PortState> shown_;
};

std::string amountText(PortCommand command, const PortStatus& r) {
    if (command == PortCommand::receive) {
        return std::to_string(r.outcome.records) + (r.outcome.records == 1 ? " record" : " records");
    }
    return std::to_string(r.outcome.bytes) + " bytes";
}

void printTable(PortCommand command, const std::vector<PortStatus>& rows, std::ostream& out) {
    std::size_t wPort = portWidth(rows), wMessage = 6, wTime = 4;
    for (const PortStatus& r : rows) {
        wMessage = std::max(wMessage, r.outcome.message.size());
        wTime = std::max(wTime, secondsText(r.seconds).size());
    }
    out << std::left << std::setw(int(wPort)) << "PORT" << "  " << std::setw(int(wMessage)) << "RESULT"
        << "  " << std::right << std::setw(int(wTime)) << "TIME" << "  "
        << (command == PortCommand::receive ? "RECORDS" : "BYTES") << '\n';
    int succeeded = 0;
    for (const PortStatus& r : rows) {
        succeeded += r.state == PortState::succeeded ? 1 : 0;
        out << std::left << std::setw(int(wPort)) << r.port << "  " << std::setw(int(wMessage))
            << r.outcome.message << "  " << std::right << std::setw(int(wTime)) << secondsText(r.seconds)
            << "  " << amountText(command, r) << '\n';
    }
    out << succeeded << " of " << rows.size() << (rows.size() == 1 ? " port" : " ports")
        << " succeeded.\n";
}

void printJson(PortCommand command, const std::vector<PortStatus>& rows, std::ostream& out) {
    Json ports = Json::array();
    int succeeded = 0;
    for (const PortStatus& r : rows) {
        succeeded += r.state == PortState::succeeded ? 1 : 0;
        Json p;
        p["port"] = r.port;
        p["state"] = stateName(r.state);
        p["message"] = r.outcome.message;
        p["seconds"] = std::round(r.seconds * 1000) / 1000;
        p["bytes"] = r.outcome.bytes;
        if (command == PortCommand::receive) {
            p["records"] = r.outcome.records;
            p["file"] = r.outcome.file.empty() ? Json(nullptr) : Json(r.outcome.file);
        }
        ports.push_back(std::move(p));
    }
    Json summary;
    summary["command"] = commandName(command);
    summary["ok"] = succeeded == int(rows.size());
    summary["succeeded"] = succeeded;
    summary["failed"] = int(rows.size()) - succeeded;
    summary["ports"] = std::move(ports);
    out << summary.dump(2) << '\n';
}

}  // namespace

int runMultiPort(const MultiPortRequest& request, std::ostream& out, std::ostream& err,
                 bool liveLines) {
    Prepared prepared;
    if (!prepare(request, prepared, err)) return kExitFailure;

    LiveLines live(err, request.command);
    PlainLines plain(err);
    liveLines = liveLines && live.fits(request.ports.size());
    PortWatch watch = [&](const std::vector<PortStatus>& rows) {
        if (liveLines) live.draw(rows);
        else plain.draw(rows);
    };
    std::vector<PortStatus> rows;
    {
        InterruptCatcher interrupts;
        rows = runOnPorts(
            request.ports,
            [&](const std::string& port, PortReporter& reporter, ExchangeCancel& cancel) {
                return runPortJob(request, prepared, port, reporter, cancel);
            },
            watch, &gInterrupted);
    }
    if (request.json) printJson(request.command, rows, out);
    else printTable(request.command, rows, out);
    out << std::flush;
    for (const PortStatus& r : rows) {
        if (r.state != PortState::succeeded) return kExitFailure;
    }
    return kExitOk;
}

int commandPorts(bool json, std::ostream& out, std::ostream& err) {
    const std::vector<SerialPortInfo> ports = listPosixSerialPorts();
    if (json) {
        Json list = Json::array();
        for (const SerialPortInfo& p : ports) {
            Json entry;
            entry["device"] = p.portName;
            entry["path"] = p.valueName;
            entry["kind"] = p.kind == kPortBluetooth ? "bluetooth"
                            : p.kind == kPortSerial  ? "serial"
                                                     : "virtual";
            const std::string description = posixPortDescription(p);
            entry["description"] = description.empty() ? Json(nullptr) : Json(description);
            list.push_back(std::move(entry));
        }
        out << list.dump(2) << '\n';
        return kExitOk;
    }
    if (ports.empty()) {
        err << kProgramName << ": no serial ports found\n";
        return kExitOk;
    }
    std::size_t w = 0;
    for (const SerialPortInfo& p : ports) w = std::max(w, p.portName.size());
    for (const SerialPortInfo& p : ports) {
        const std::string description = posixPortDescription(p);
        std::string line = p.portName + std::string(w - p.portName.size(), ' ') + "  ";
        std::string kind(portKindText(p.kind));
        line += kind + std::string(kind.size() < 14 ? 14 - kind.size() : 0, ' ');
        if (!description.empty()) line += "  " + description;
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out << line;
        if (p.valueName != p.portName) out << "  (" << p.valueName << ")";
        out << '\n';
    }
    return kExitOk;
}

}  // namespace fw::tool
