#include "tools/fwxtool/station_commands.h"

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
#include "model/default_texts.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "station/station_database.h"
#include "station/station_port.h"
#include "texts/code_page.h"
#include "tools/fwxtool/live_lines.h"
#include "tools/fwxtool/platform.h"

namespace fw::tool {

namespace {

constexpr const char* kTool = "fwxtool";

int64_t unixNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// The log: to the file of --log and, when no live lines are drawn, to the
// error stream; a line each, with the local time.
class Log final : public StationLog {
public:
    Log(std::ostream* file, std::ostream* plain) : file_(file), plain_(plain) {}
    void event(const std::string& port, const std::string& text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::string line = localTimeText(unixNowMs(), "%Y-%m-%d %H:%M:%S") + " " + (port.empty() ? "" : port + ": ") + text + "\n";
        if (file_) *file_ << line << std::flush;
        if (plain_) *plain_ << line << std::flush;
    }

private:
    std::mutex mutex_;
    std::ostream* file_;
    std::ostream* plain_;
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

namespace {

struct StationRequest {
    std::vector<std::string> ports;
    std::string database;
    int linkType = kLinkOther;
    int speedChoice = 0;
    std::string program;
    bool skipRepeated = false;
    std::string logFile;
    std::string stationName;
    bool service = false;   // under the service control manager
};

int linkTypeOf(const std::string& value) {
    if (value == "cradle") return kLinkCradleIr;
    if (value == "irda") return kLinkIrda;
    return kLinkOther;
}

int speedChoiceOf(const std::string& value) {
    static const char* const kSpeeds[] = {"115200", "57600", "38400", "19200", "9600"};
    for (int i = 0; i < 5; ++i) {
        if (value == kSpeeds[i]) return i;
    }
    return 0;
}

}  // namespace

int commandStation(const StationRequest& request, std::ostream& out, std::ostream& err,
                   bool liveLines, std::atomic<bool>& stop);

int handleStation(const ParsedCommand& command, CommandContext& context) {
    StationRequest request;
    request.database = command.value("--db");
    if (request.database.empty()) return usageError(context.err, command.row, "option '--db' is missing");
    request.linkType = linkTypeOf(command.value("--link", "serial"));
    request.speedChoice = speedChoiceOf(command.value("--baud", "115200"));
    request.program = command.value("--program");
    request.logFile = command.value("--log");
    request.stationName = command.value("--name");
    request.skipRepeated = command.has("--skip-repeated");
    request.service = command.has("--service");
    std::vector<std::string> named = command.arguments;
    if (command.has("--all-ports")) {
        for (const ListedPort& p : listPorts()) {
            if (std::find(named.begin(), named.end(), p.device) == named.end()) named.push_back(p.device);
        }
        if (named.empty()) {
            context.err << kTool << ": no serial ports found for '--all-ports'\n";
            return kExitFailure;
        }
    }
    if (named.empty()) return usageError(context.err, command.row, "no port given (PORT... or --all-ports)");
    const std::string problem = splitPortList(named, request.ports);
    if (!problem.empty()) return usageError(context.err, command.row, problem);
    if (!request.service) {
        std::atomic<bool> stop{false};
        InterruptWatch interrupts(stop);
        return commandStation(request, context.out, context.err, context.console, stop);
    }
    // A service has no console: what it does, and why it could not start
    // (a database that does not open), go to its --log.
    StationRequest asService = request;
    std::ofstream serviceLog;
    if (!request.logFile.empty()) {
        serviceLog.open(request.logFile, std::ios::app | std::ios::binary);
        if (serviceLog) asService.logFile.clear();   // else the station says it cannot open it
    }
    std::ostream& serviceErr = serviceLog.is_open() ? serviceLog : context.err;
    int exitCode = kExitFailure;
    std::string refused;
    const bool ran = runAsService(
        [&](std::atomic<bool>& stop) { return commandStation(asService, context.out, serviceErr, false, stop); },
        exitCode, refused);
    if (!ran) {
        context.err << kTool << ": " << refused << '\n';
        return kExitFailure;
    }
    return exitCode;
}

int commandStation(const StationRequest& request, std::ostream& out, std::ostream& err,
                   bool liveLines, std::atomic<bool>& stop) {
    StationOptions options;
    options.station = request.stationName.empty() ? machineName() : request.stationName;
    options.link = LinkChoice{request.linkType, 0, request.speedChoice};
    options.skipRepeated = request.skipRepeated;
    if (!request.program.empty() && !programSeparator(request.program, options.separator, err)) {
        return kExitFailure;
    }
    std::string problem;
    std::unique_ptr<StationDatabase> db = StationDatabase::open(request.database, false, problem);
    if (!db) {
        err << kTool << ": '" << shownDatabaseName(request.database) << "': " << problem << '\n';
        return kExitFailure;
    }
    if (!db->claim(options.station)) {
        err << kTool << ": '" << shownDatabaseName(request.database) << "': " << db->lastError() << '\n';
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
    LiveLines live(err, 2, [](const PortStatus& r) { return "  " + r.note; });
    liveLines = liveLines && live.fits(request.ports.size());
    Log log(logFile.is_open() ? &logFile : nullptr, liveLines ? nullptr : &err);

    const int recovered = db->recover(options.station, stationTimestampNow());
    if (recovered > 0) {
        log.event("", std::to_string(recovered) + (recovered == 1 ? " batch" : " batches") +
                          " left open by a station that ended abruptly, closed as interrupted");
    }
    log.event("", "station " + options.station + " started on " + std::to_string(request.ports.size()) +
                      (request.ports.size() == 1 ? " port" : " ports") + ", database " + shownDatabaseName(request.database));

    std::vector<PortStatus> rows;
    {
        rows = runOnPorts(
            request.ports,
            [&](const std::string& port, PortReporter& reporter, ExchangeCancel& cancel) {
                std::unique_ptr<SerialSystem> system = serialSystemOf(port);
                return runStationPort(*system, port, *db, options, reporter, cancel, &log);
            },
            [&](const std::vector<PortStatus>& board) {
                if (liveLines) live.draw(board);
            },
            &stop, 250);
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
    if (utc) {
        using namespace std::chrono;
        const year_month_day date{year(y) / month(unsigned(mo)) / day(unsigned(d))};
        if (!date.ok()) return {};
        const sys_seconds at = sys_days(date) + hours(h) + minutes(mi) + seconds(s);
        return stationTimestamp(duration_cast<milliseconds>(at.time_since_epoch()).count());
    }
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == std::time_t(-1)) return {};
    return stationTimestamp(int64_t(t) * 1000);
}

std::string checkSince(const std::string& value) {
    if (!sinceTimestamp(value).empty()) return {};
    return "'" + value + "' is not a time (2026-12-08 or 2026-12-08T14:05)";
}

namespace {

enum class RecordsFormat { csv, json };

struct RecordsRequest {
    std::string database;
    std::string since;
    std::string port;
    RecordsFormat format = RecordsFormat::csv;
    bool markExported = false;
};

int commandRecords(const RecordsRequest& request, std::ostream& out, std::ostream& err);

}  // namespace

int handleRecords(const ParsedCommand& command, CommandContext& context) {
    RecordsRequest request;
    request.database = command.value("--db");
    if (request.database.empty()) return usageError(context.err, command.row, "option '--db' is missing");
    if (command.has("--csv") && command.has("--json")) {
        return usageError(context.err, command.row, "options '--csv' and '--json' do not go together");
    }
    request.since = command.value("--since");
    request.port = command.value("--port");
    request.format = command.has("--json") ? RecordsFormat::json : RecordsFormat::csv;
    request.markExported = command.has("--mark-exported");
    return commandRecords(request, context.out, context.err);
}

namespace {

int commandRecords(const RecordsRequest& request, std::ostream& out, std::ostream& err) {
    std::string problem;
    std::unique_ptr<StationDatabase> db = StationDatabase::open(request.database, true, problem);
    if (!db) {
        err << kTool << ": '" << shownDatabaseName(request.database) << "': " << problem << '\n';
        return kExitFailure;
    }
    RecordQuery query;
    query.since = request.since.empty() ? std::string() : sinceTimestamp(request.since);
    query.port = request.port;
    std::vector<StationRecord> records;
    if (request.markExported) {
        auto taken = db->takeRecords(query, stationTimestampNow());
        if (!taken) {
            err << kTool << ": '" << shownDatabaseName(request.database) << "': " << db->lastError() << '\n';
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

}  // namespace

}  // namespace fw::tool
