#include "tools/fwxtool/transfer_commands.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "comm/port_workers.h"
#include "comm/program_image.h"
#include "comm/transfer.h"
#include "comm/transfer_session.h"
#include "loader/loader_session.h"
#include "model/file_replace.h"
#include "model/program_defaults.h"
#include "resources/text_ids.h"
#include "texts/texts.h"
#include "tools/fwxtool/file_commands.h"
#include "tools/fwxtool/live_lines.h"
#include "tools/fwxtool/platform.h"

namespace fw::tool {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

namespace {

constexpr const char* kCancelled = "Cancelled";

enum class PortCommand { download, lookup, receive, load };

// A transfer decided from the command line, before anything is opened.
struct PortRequest {
    PortCommand command = PortCommand::download;
    std::vector<std::string> ports;
    std::string file;        // the program or lookup file; receive: the file or folder
    LinkChoice link;         // download, lookup, receive
    int loaderLink = 0;      // load: 0 "RS232 or IrDA", 1 "Cradle-IR"
    bool json = false;
    bool intoFolder = false; // receive: one file per port in `file`
    // A line per port and a summary (several ports, --json, a folder);
    // otherwise shown as the single transfer it is.
    bool summary = false;
};

int speedChoiceOf(const std::string& value) {
    for (int c = 0; c < 5; ++c) {
        if (value == std::to_string(kSpeedChoices[c])) return c;
    }
    return -1;
}

}  // namespace

std::string checkTransferLink(const std::string& value) {
    if (value == "cradle" || value == "irda" || value == "serial") return {};
    return "unknown link '" + value + "' (cradle, irda or serial)";
}

std::string checkLoaderLink(const std::string& value) {
    if (value == "rs232" || value == "cradle") return {};
    return "unknown link '" + value + "' (rs232 or cradle)";
}

std::string checkSpeed(const std::string& value) {
    if (speedChoiceOf(value) >= 0) return {};
    return "unknown speed '" + value + "' (115200, 57600, 38400, 19200 or 9600)";
}

namespace {

// What the reader checked, as the request takes it; the port list and the
// receive's files are checked here.
std::string makeRequest(PortCommand command, const ParsedCommand& c, PortRequest& request) {
    request.command = command;
    const std::string link = c.value(kLinkOption);
    if (command == PortCommand::load) {
        request.loaderLink = link == "cradle" ? loader::kLinkCradleIr : loader::kLinkRs232;
    } else {
        request.link.linkType = link == "cradle" ? kLinkCradleIr : link == "irda" ? kLinkIrda : kLinkOther;
    }
    request.link.speedChoice = std::max(0, speedChoiceOf(c.value(kBaudOption, "115200")));
    std::string problem = splitPortList({c.arguments[0]}, request.ports);
    if (!problem.empty()) return problem;
    request.file = c.arguments[1];
    request.json = c.has(kJsonOption);
    std::error_code ec;
    request.intoFolder = command == PortCommand::receive && fs::is_directory(systemPath(request.file), ec);
    request.summary = request.ports.size() > 1 || request.json || request.intoFolder;
    if (command == PortCommand::receive && request.summary) {
        request.intoFolder = true;
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
    std::vector<uint8_t> image;                            // download
    LookupLines lookup;                                    // lookup
    std::unique_ptr<loader::LoaderProgram> loaderProgram;  // load
};

bool prepare(const PortRequest& request, Prepared& prepared, std::ostream& err) {
    switch (request.command) {
    case PortCommand::download: {
        OpenedProgram p = openProgram(request.file, err);
        if (!p.result.ok()) return false;
        normaliseForDownload(*p.model);
        auto image = std::make_unique<ProgramImage>();
        buildProgramImage(*p.model, *image);
        prepared.image.assign(image->bytes, image->bytes + kProgramImageSize);
        return true;
    }
    case PortCommand::lookup: {
        std::error_code ec;
        // A folder opens for reading here, and would go as an empty file.
        std::ifstream in;
        if (!fs::is_directory(systemPath(request.file), ec)) in.open(systemPath(request.file), std::ios::binary);
        std::vector<uint8_t> bytes;
        if (in.is_open()) bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (!in.is_open() || in.bad()) {
            // A single transfer says it as the designer does, without the name.
            err << kProgramName << ": " << (request.summary ? "'" + request.file + "': " : "")
                << loadText(kCannotOpenFile) << '\n';
            return false;
        }
        MemorySource source(bytes);
        prepared.lookup = readLookupLines(source, bytes.size());
        return true;
    }
    case PortCommand::receive: {
        std::error_code ec;
        if (request.intoFolder && !fs::is_directory(systemPath(request.file), ec) &&
            !fs::create_directories(systemPath(request.file), ec)) {
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

// --- a single transfer as it goes ---------------------------------------------

// The progress of a single transfer on the error stream: a bar redrawn in
// place on a console, otherwise a line at every tenth of the way (downloads)
// or every hundred records (receive), so that a log stays short.
class ProgressPrinter final : public TransferObserver {
public:
    ProgressPrinter(std::ostream& err, bool bar) : err_(err), bar_(bar) {}
    ~ProgressPrinter() override { finish(); }

    void progress(int position) override {
        if (position == position_) return;
        position_ = position;
        if (bar_) {
            constexpr int kWidth = 40;
            const int filled = position * kWidth / 100;
            err_ << "\rDownloading... [" << std::string(std::size_t(filled), '#')
                 << std::string(std::size_t(kWidth - filled), ' ') << "] " << position << "%"
                 << std::flush;
            drawn_ = true;
        } else if (position / 10 != lastTenth_) {
            lastTenth_ = position / 10;
            err_ << "Downloading... " << position << "%\n";
        }
    }

    void recordCount(int count) override {
        if (bar_) {
            err_ << "\rData received : " << count << std::flush;
            drawn_ = true;
        } else if (count % 100 == 0 && count > 0) {
            err_ << "Data received : " << count << "\n";
        }
    }

    // Ends the bar's line before anything else is printed.
    void finish() {
        if (drawn_) err_ << "\n" << std::flush;
        drawn_ = false;
    }

private:
    std::ostream& err_;
    bool bar_;
    bool drawn_ = false;
    int position_ = -1;
    int lastTenth_ = -1;
};

// --- the job on one port --------------------------------------------------------

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

// What a transfer posts as it goes: the bar, and the blocks or lines sent
// so far as the engine counts them (downloads), or the records (receive);
// for a single transfer also to its printer.
class PortProgress final : public TransferObserver {
public:
    PortProgress(const TransferEngine* engine, PortReporter& reporter, ProgressPrinter* echo)
        : engine_(engine), reporter_(reporter), echo_(echo) {}
    void progress(int position) override {
        reporter_.progress(position);
        if (engine_ != nullptr) {
            const TransferState& s = engine_->state();
            reporter_.count(s.mode == TransferMode::lookupDownload ? s.linesSent : s.blockIndex);
        }
        if (echo_ != nullptr) echo_->progress(position);
    }
    void recordCount(int count) override {
        reporter_.recordCount(count);
        if (echo_ != nullptr) echo_->recordCount(count);
    }

private:
    const TransferEngine* engine_;
    PortReporter& reporter_;
    ProgressPrinter* echo_;
};

// The downloader's messages: kept (the last one is the port's result) and,
// for a single transfer, said as they come, the success on `out`, the rest
// on `err`. The retry question is answered No.
class LoaderReport final : public loader::LoaderUi {
public:
    LoaderReport(PortReporter& reporter, ProgressPrinter* echo, std::ostream& out, std::ostream& err)
        : reporter_(reporter), echo_(echo), out_(out), err_(err) {}
    void showMessage(loader::Message message) override {
        last_ = loader::messageText(message);
        if (echo_ == nullptr) return;
        echo_->finish();
        if (message == loader::Message::downloadedCompletely) out_ << last_ << '\n';
        else err_ << kProgramName << ": " << last_ << '\n';
    }
    bool askRetry() override {
        if (echo_ != nullptr) {
            echo_->finish();
            std::string question(loader::kRetryQuestion);
            for (char& c : question) c = c == '\n' ? ' ' : c;
            err_ << kProgramName << ": " << question << " No\n";
        }
        return false;
    }
    void openProgress() override { setProgress(0); }
    void setProgress(int position) override {
        position_ = position;
        reporter_.progress(position);
        reporter_.count(blocks());
        if (echo_ != nullptr) echo_->progress(position);
    }
    void closeProgress() override {
        if (echo_ != nullptr) echo_->finish();
    }
    const std::string& last() const { return last_; }
    // The bar stands at 5 + half the blocks acknowledged, rounded up.
    int blocks() const { return position_ >= 100 ? 200 : std::clamp(2 * (position_ - 5), 0, 200); }

private:
    PortReporter& reporter_;
    ProgressPrinter* echo_;
    std::ostream& out_;
    std::ostream& err_;
    std::string last_;
    int position_ = 0;
};

struct JobEcho {
    ProgressPrinter* printer = nullptr;   // a single transfer's progress
    std::ostream* out = nullptr;
    std::ostream* err = nullptr;
};

// A program or lookup download on `port`: its outcome, without the bytes
// (what counts as sent differs between the two).
PortOutcome runDownloadJob(TransferEngine& engine, const std::string& port, const LinkChoice& link,
                           PortReporter& reporter, ExchangeCancel& cancel, const JobEcho& echo) {
    std::unique_ptr<SerialSystem> system = serialSystemOf(port);
    PortProgress progress(&engine, reporter, echo.printer);
    TransferHost host({nullptr, &progress});
    PortOutcome o = outcomeOf(runTransferOnLink(*system, link, engine, host, &cancel), cancel);
    if (o.state == PortState::succeeded) o.message = loadText(kTextDownloadedCompletely);
    return o;
}

std::string receivePath(const PortRequest& request, const std::string& port) {
    if (!request.intoFolder) return request.file;
    std::string path = request.file;
    const char separator = char(fs::path::preferred_separator);
    if (path.back() != '/' && path.back() != separator) path += separator;
    return path + receiveFileName(port);
}

PortOutcome runPortJob(const PortRequest& request, const Prepared& prepared, const std::string& port,
                       PortReporter& reporter, ExchangeCancel& cancel, const JobEcho& echo) {
    switch (request.command) {
    case PortCommand::download: {
        TransferEngine engine = TransferEngine::programDownload(prepared.image);
        PortOutcome o = runDownloadJob(engine, port, request.link, reporter, cancel, echo);
        // The block in flight is not yet acknowledged.
        o.bytes = o.state == PortState::succeeded
                      ? prepared.image.size()
                      : uint64_t(std::max(0, engine.state().blockIndex - 1)) * kImageBlockDataSize;
        return o;
    }
    case PortCommand::lookup: {
        TransferEngine engine = TransferEngine::lookupDownload(prepared.lookup);
        PortOutcome o = runDownloadJob(engine, port, request.link, reporter, cancel, echo);
        const uint64_t size = prepared.lookup.fileSize;
        o.bytes = o.state == PortState::succeeded ? size : std::min<uint64_t>(engine.state().acknowledged, size);
        return o;
    }
    case PortCommand::receive: {
        std::unique_ptr<SerialSystem> system = serialSystemOf(port);
        const std::string path = receivePath(request, port);
        PortProgress progress(nullptr, reporter, echo.printer);
        const ReceiveOutcome received = runDataReceive(*system, request.link, path, &progress, &cancel);
        PortOutcome o = outcomeOf(received.result, cancel);
        o.records = received.records;
        std::error_code ec;
        if (fs::exists(systemPath(path), ec)) {
            o.file = path;
            o.bytes = fs::file_size(systemPath(path), ec);
        }
        if (o.state == PortState::succeeded) {
            o.message = received.records == 0
                            ? loadText(kTextNoDataReceived)
                            : "Done : " + std::to_string(received.records) + " records received.";
        }
        return o;
    }
    case PortCommand::load: {
        std::unique_ptr<SerialPort> serial = newSerialPort();
        LoaderReport ui(reporter, echo.printer, *echo.out, *echo.err);
        loader::Choices choices;
        choices.link = request.loaderLink;
        choices.speed = request.link.speedChoice;
        const bool done = loader::runDownload(*serial, port, choices, prepared.loaderProgram->image(), ui,
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

// --- what the user sees of several ports ------------------------------------------

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

// The end of a single transfer, as the designer says it.
int printSingle(const PortRequest& request, const PortOutcome& o, std::ostream& out, std::ostream& err) {
    if (o.state == PortState::succeeded) {
        // The downloader's report already said it.
        if (request.command != PortCommand::load) out << o.message << '\n';
        return kExitOk;
    }
    if (request.command != PortCommand::load || o.state == PortState::cancelled)
        err << kProgramName << ": " << o.message << '\n';
    if (request.command == PortCommand::receive && o.records > 0)
        err << kProgramName << ": " << o.records << " records received are in '" << request.file << "'\n";
    return kExitFailure;
}

// Prepares the image or the file once, then runs the command on every port
// at once. Ctrl+C cancels every port.
int runPorts(const PortRequest& request, CommandContext& x) {
    Prepared prepared;
    if (!prepare(request, prepared, x.err)) return kExitFailure;

    ProgressPrinter printer(x.err, x.console);
    JobEcho echo{request.summary ? nullptr : &printer, &x.out, &x.err};
    // Port, bar, count, state.
    const PortCommand command = request.command;
    LiveLines live(x.err, 3, [command](const PortStatus& r) {
        std::ostringstream line;
        line << ' ';
        if (command != PortCommand::receive) {
            constexpr int kBar = 20;
            const int filled = std::clamp(r.position, 0, 100) * kBar / 100;
            line << '[' << std::string(std::size_t(filled), '#') << std::string(std::size_t(kBar - filled), ' ')
                 << "] ";
        }
        line << r.count;
        if (command == PortCommand::download || command == PortCommand::load) line << "/200";
        line << ' ' << unitOf(command) << "  ";
        line << (ended(r.state) ? r.outcome.message : stateName(r.state));
        return line.str();
    });
    PlainLines plain(x.err);
    const bool liveLines = x.console && live.fits(request.ports.size());
    PortWatch watch = [&](const std::vector<PortStatus>& rows) {
        if (!request.summary) return;
        if (liveLines) live.draw(rows);
        else plain.draw(rows);
    };
    std::vector<PortStatus> rows;
    {
        std::atomic<bool> stop{false};
        InterruptWatch interrupts(stop);
        rows = runOnPorts(
            request.ports,
            [&](const std::string& port, PortReporter& reporter, ExchangeCancel& cancel) {
                return runPortJob(request, prepared, port, reporter, cancel, echo);
            },
            watch, &stop);
    }
    printer.finish();
    if (!request.summary) return printSingle(request, rows.front().outcome, x.out, x.err);
    if (request.json) printJson(request.command, rows, x.out);
    else printTable(request.command, rows, x.out);
    x.out << std::flush;
    for (const PortStatus& r : rows) {
        if (r.state != PortState::succeeded) return kExitFailure;
    }
    return kExitOk;
}

int handle(PortCommand command, const ParsedCommand& c, CommandContext& x) {
    PortRequest request;
    const std::string problem = makeRequest(command, c, request);
    if (!problem.empty()) return usageError(x.err, c.row, problem);
    return runPorts(request, x);
}

}  // namespace

int handleDownload(const ParsedCommand& c, CommandContext& x) { return handle(PortCommand::download, c, x); }
int handleLookup(const ParsedCommand& c, CommandContext& x) { return handle(PortCommand::lookup, c, x); }
int handleReceive(const ParsedCommand& c, CommandContext& x) { return handle(PortCommand::receive, c, x); }
int handleLoad(const ParsedCommand& c, CommandContext& x) { return handle(PortCommand::load, c, x); }

}  // namespace fw::tool
