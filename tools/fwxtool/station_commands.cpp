#include "tools/fwxtool/station_commands.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

#include "comm/port_workers.h"
#include "comm/posix/serial_port_posix.h"
#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "station/station_database.h"
#include "station/station_port.h"
#include "texts/code_page.h"
#include "tools/fwxtool/multi_port_commands.h"

namespace fw::tool {

namespace {

constexpr const char* kTool = "fwxtool";

// "--name VALUE" or "--name=VALUE" at args[i]; true when it was that option.
bool optionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                 std::string& value, std::string& problem) {
    const std::string& arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            problem = "option '" + name + "' needs a value";
            return true;
        }
        value = args[++i];
        if (value.empty()) problem = "option '" + name + "' needs a value";
        return true;
    }
    if (arg.rfind(name + "=", 0) == 0) {
        value = arg.substr(name.size() + 1);
        if (value.empty()) problem = "option '" + name + "' needs a value";
        return true;
    }
    return false;
}

std::string thisMachine() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "station";
    return name;
}

std::string localStamp() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

// The log: to the file of --log and, when no live lines are drawn, to the
// error stream; a line each, with the local time.
class Log final : public StationLog {
public:
    Log(std::ostream* file, std::ostream* plain) : file_(file), plain_(plain) {}
    void event(const std::string& port, const std::string& text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::string line = localStamp() + " " + (port.empty() ? "" : port + ": ") + text + "\n";
        if (file_) *file_ << line << std::flush;
        if (plain_) *plain_ << line << std::flush;
    }

private:
    std::mutex mutex_;
    std::ostream* file_;
    std::ostream* plain_;
};

class LivePortLines {
public:
    explicit LivePortLines(std::ostream& err) : err_(err) {
        winsize ws{};
        if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0) {
            if (ws.ws_col > 20) width_ = ws.ws_col;
            if (ws.ws_row > 0) height_ = ws.ws_row;
        }
    }
    bool fits(std::size_t rows) const { return rows < height_; }
    void draw(const std::vector<PortStatus>& rows) {
        std::size_t w = 4;
        for (const PortStatus& r : rows) w = std::max(w, r.port.size());
        w = std::min(w, width_ / 2);
        if (drawn_ > 0) err_ << "\x1b[" << drawn_ << "A";
        for (const PortStatus& r : rows) {
            std::string port = r.port.size() > w ? "..." + r.port.substr(r.port.size() - (w - 3)) : r.port;
            std::ostringstream line;
            line << std::left << std::setw(int(w)) << port << "  " << r.note;
            std::string text = line.str();
            if (text.size() >= width_) text.resize(width_ - 1);
            err_ << '\r' << text << "\x1b[K\n";
        }
        err_ << std::flush;
        drawn_ = rows.size();
    }

private:
    std::ostream& err_;
    std::size_t width_ = 80;
    std::size_t height_ = 24;
    std::size_t drawn_ = 0;
};

// The program's two delimiters, as they stand between the fields of a record.
bool programSeparator(const std::string& file, std::string& separator, std::ostream& err) {
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    auto model = std::make_unique<ProgramModel>();
    newProgram(*model, *defaults);
    const LoadResult loaded = loadProgram(*model, *defaults, file);
    if (!loaded.ok()) {
        err << kTool << ": '" << file << "': "
            << (loaded.status == LoadStatus::CannotOpen ? "cannot open the file" : kFormatMismatchMessage) << '\n';
        return false;
    }
    separator.clear();
    if (model->settings.delimiter1 != 0) separator += char(model->settings.delimiter1);
    if (model->settings.delimiter2 != 0) separator += char(model->settings.delimiter2);
    return true;
}

}  // namespace

std::string readStationArguments(const std::vector<std::string>& argsIn, StationRequest& request) {
    std::vector<std::string> args = argsIn;
    args.insert(args.begin(), "station");
    std::string problem = takeTransferOptions(args, request.transfer);
    if (!problem.empty()) return problem;
    std::vector<std::string> portValues;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string value;
        if (optionValue(args, i, "--db", value, problem)) {
            request.database = value;
        } else if (optionValue(args, i, "--program", value, problem)) {
            request.program = value;
        } else if (optionValue(args, i, "--log", value, problem)) {
            request.logFile = value;
        } else if (optionValue(args, i, "--port", value, problem)) {
            portValues.push_back(value);
        } else if (optionValue(args, i, "--name", value, problem)) {
            request.stationName = value;
        } else if (args[i] == "--all-ports") {
            request.allPorts = true;
        } else if (args[i] == "--skip-repeated") {
            request.skipRepeated = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return "unknown option '" + args[i] + "'";
        } else {
            portValues.push_back(args[i]);
        }
        if (!problem.empty()) return problem;
    }
    if (request.database.empty()) return "usage: fwxtool station PORT... --db FILE (option '--db' is missing)";
    if (request.allPorts) {
        for (const SerialPortInfo& p : listPosixSerialPorts()) {
            if (std::find(portValues.begin(), portValues.end(), p.portName) == portValues.end()) {
                portValues.push_back(p.portName);
            }
        }
        if (portValues.empty()) return "no serial ports found for '--all-ports'";
    }
    if (portValues.empty()) return "usage: fwxtool station PORT... --db FILE (no port given)";
    return splitPortList(portValues, request.ports);
}

int commandStation(const StationRequest& request, std::ostream& out, std::ostream& err,
                   bool liveLines) {
    StationOptions options;
    options.station = request.stationName.empty() ? thisMachine() : request.stationName;
    options.link = LinkChoice{request.transfer.linkType, 0, request.transfer.speedChoice};
    options.skipRepeated = request.skipRepeated;
    options.timing = request.timing;
    if (!request.program.empty() && !programSeparator(request.program, options.separator, err)) {
        return kExitFailure;
    }
    std::string problem;
    std::unique_ptr<StationDatabase> db = StationDatabase::open(request.database, false, problem);
    if (!db) {
        err << kTool << ": '" << request.database << "': " << problem << '\n';
        return kExitFailure;
    }
    std::ofstream logFile;
    if (!request.logFile.empty()) {
        logFile.open(request.logFile, std::ios::app | std::ios::binary);
        if (!logFile) {
            err << kTool << ": cannot open the log '" << request.logFile << "'\n";
            return kExitFailure;
        }
    }
    LivePortLines live(err);
    liveLines = liveLines && live.fits(request.ports.size());
    Log log(logFile.is_open() ? &logFile : nullptr, liveLines ? nullptr : &err);

    const int recovered = db->recover(options.station, stationTimestampNow());
    if (recovered > 0) {
        log.event("", std::to_string(recovered) + (recovered == 1 ? " batch" : " batches") +
                          " left open by a station that ended abruptly, closed as interrupted");
    }
    log.event("", "station " + options.station + " started on " + std::to_string(request.ports.size()) +
                      (request.ports.size() == 1 ? " port" : " ports") + ", database " + request.database);

    std::vector<PortStatus> rows;
    {
        InterruptCatcher interrupts;
        rows = runOnPorts(
            request.ports,
            [&](const std::string& port, PortReporter& reporter, ExchangeCancel& cancel) {
                PosixSerialSystem system({SerialPortInfo{port, port, kPortSerial}});
                return runStationPort(system, port, *db, options, reporter, cancel, &log);
            },
            [&](const std::vector<PortStatus>& board) {
                if (liveLines) live.draw(board);
            },
            &interrupts.flag(), 250);
    }
    log.event("", "station stopped");
    std::size_t w = 4;
    for (const PortStatus& r : rows) w = std::max(w, r.port.size());
    out << std::left << std::setw(int(w)) << "PORT" << "  STORED\n";
    for (const PortStatus& r : rows) {
        out << std::left << std::setw(int(w)) << r.port << "  " << r.outcome.records << '\n';
    }
    out << std::flush;
    return kExitOk;
}

std::string sinceTimestamp(const std::string& value) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char sep = 0;
    int used = 0;
    const bool utc = !value.empty() && value.back() == 'Z';
    const std::string v = utc ? value.substr(0, value.size() - 1) : value;
    int n = std::sscanf(v.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &used);
    if (n != 3) return {};
    if (std::size_t(used) < v.size()) {
        used = 0;
        n = std::sscanf(v.c_str(), "%4d-%2d-%2d%c%2d:%2d%n", &y, &mo, &d, &sep, &h, &mi, &used);
        if (n != 6 || (sep != 'T' && sep != ' ')) return {};
        if (std::size_t(used) < v.size()) {
            int more = 0;
            if (std::sscanf(v.c_str() + used, ":%2d%n", &s, &more) != 1 || std::size_t(used + more) != v.size()) {
                return {};
            }
        }
    }
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 60 || y < 1970) return {};
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    const std::time_t t = utc ? ::timegm(&tm) : std::mktime(&tm);
    if (t == std::time_t(-1)) return {};
    return stationTimestamp(int64_t(t) * 1000);
}

std::string readRecordsArguments(const std::vector<std::string>& args, RecordsRequest& request) {
    bool csv = false, json = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value, problem;
        if (optionValue(args, i, "--db", value, problem)) {
            request.database = value;
        } else if (optionValue(args, i, "--since", value, problem)) {
            request.since = value;
            if (problem.empty() && sinceTimestamp(value).empty()) {
                problem = "'" + value + "' is not a time (2026-12-08 or 2026-12-08T14:05)";
            }
        } else if (optionValue(args, i, "--port", value, problem)) {
            request.port = value;
        } else if (args[i] == "--csv") {
            csv = true;
        } else if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--mark-exported") {
            request.markExported = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return "unknown option '" + args[i] + "'";
        } else {
            return "unexpected argument '" + args[i] + "'";
        }
        if (!problem.empty()) return problem;
    }
    if (csv && json) return "options '--csv' and '--json' do not go together";
    if (request.database.empty()) return "usage: fwxtool records --db FILE (option '--db' is missing)";
    request.format = json ? RecordsFormat::json : RecordsFormat::csv;
    return {};
}

int commandRecords(const RecordsRequest& request, std::ostream& out, std::ostream& err) {
    std::string problem;
    std::unique_ptr<StationDatabase> db = StationDatabase::open(request.database, true, problem);
    if (!db) {
        err << kTool << ": '" << request.database << "': " << problem << '\n';
        return kExitFailure;
    }
    RecordQuery query;
    query.since = request.since.empty() ? std::string() : sinceTimestamp(request.since);
    query.port = request.port;
    std::vector<StationRecord> records;
    if (request.markExported) {
        auto taken = db->takeRecords(query, stationTimestampNow());
        if (!taken) {
            err << kTool << ": '" << request.database << "': " << db->lastError() << '\n';
            return kExitFailure;
        }
        records = std::move(*taken);
    } else {
        records = db->records(query);
    }
    if (request.format == RecordsFormat::csv) {
        for (const StationRecord& r : records) out << r.data << "\r\n";
    } else {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const StationRecord& r : records) {
            nlohmann::ordered_json j;
            j["id"] = r.id;
            j["station"] = r.station;
            j["port"] = r.port;
            j["batch"] = r.batch;
            j["number"] = r.number;
            j["serial"] = r.serial;
            j["received_at"] = r.receivedAt;
            j["text"] = utf8FromCodePage(r.data);
            if (!r.fields.empty()) j["fields"] = r.fields;
            list.push_back(std::move(j));
        }
        out << list.dump(2) << '\n';
    }
    out << std::flush;
    return out ? kExitOk : kExitFailure;
}

int runStationCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      bool liveLines) {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    std::string problem;
    if (args[0] == "station") {
        StationRequest request;
        problem = readStationArguments(rest, request);
        if (problem.empty()) return commandStation(request, out, err, liveLines);
    } else {
        RecordsRequest request;
        problem = readRecordsArguments(rest, request);
        if (problem.empty()) return commandRecords(request, out, err);
    }
    err << kTool << ": " << problem << "\nTry '" << kTool << " --help'.\n";
    return kExitUsage;
}

}  // namespace fw::tool
