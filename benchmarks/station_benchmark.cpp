// station_benchmark: fwxtool station against fake terminals on ptys. Not a
// test: it prints figures.
//   1. 10,000 records from one instant terminal (no pacing) into the
//      database, each committed durably before its acknowledgement: records/s.
//   2. Eight terminals paced at 115,200 bps at once against one alone: the
//      wall time of the batch, and their ratio.
//   (1. and 2. are medians of several runs.)
//   3. A station on eight ports with no terminal for 10 s: its CPU share.
//   4. With --postgres: 2. into a PostgreSQL server of its own (Debian's,
//      fsync on, its folder under /tmp) instead of the SQLite file.
// The station runs as its own process, so its CPU time is its own.
//
//   station_benchmark [FOLDER]   (the database goes there; default: the
//                                 current folder, so that it is on a disk)
//   station_benchmark --postgres

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/fake_terminal.h"
#include "tests/support/postgres_server.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using fw::test::FakeTerminal;
using fw::test::TerminalExchange;
using fw::test::TerminalScript;
using Clock = std::chrono::steady_clock;

struct Station {
    pid_t pid = 0;
    Clock::time_point start;
};

Station startStation(const std::vector<std::string>& ports, const std::string& db) {
    std::vector<std::string> args = {FWXTOOL_PATH, "station", "--db", db, "--name", "bench"};
    args.insert(args.end(), ports.begin(), ports.end());
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Station s;
    s.start = Clock::now();
    posix_spawn(&s.pid, FWXTOOL_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return s;
}

// Ends the station; its CPU seconds.
double stopStation(const Station& s) {
    ::kill(s.pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(s.pid, &status, 0, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A running process's CPU seconds so far, from /proc.
double cpuSeconds(pid_t pid) {
    std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!f) return 0;
    char buf[1024] = {};
    const std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    const char* p = std::strrchr(buf, ')');
    if (!p || n == 0) return 0;
    unsigned long utime = 0, stime = 0;
    // After the name: state, then fields 4..13, then utime (14) and stime (15).
    std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime);
    return double(utime + stime) / double(::sysconf(_SC_CLK_TCK));
}

TerminalScript batchOf(int n, uint32_t baud) {
    TerminalScript s;
    s.exchange = TerminalExchange::receive;
    s.paceBaud = baud;
    for (int i = 0; i < n; ++i) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "4006381333931,%05d,%d", i, i % 12 + 1);
        s.records.push_back(buf);
    }
    return s;
}

// Seconds until every terminal has sent its "OVER\r".
double untilAllDone(std::vector<std::unique_ptr<FakeTerminal>>& terminals, const Station& s) {
    for (auto& t : terminals) {
        while (t->report().uploads < 1) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::chrono::duration<double>(Clock::now() - s.start).count();
}

// Seconds for `ports` terminals of `records` each into the database `db`.
double batchInto(const std::string& db, int ports, int records, uint32_t baud) {
    std::vector<std::unique_ptr<FakeTerminal>> terminals;
    std::vector<std::string> paths;
    for (int i = 0; i < ports; ++i) {
        terminals.push_back(std::make_unique<FakeTerminal>(batchOf(records, baud)));
        paths.push_back(terminals.back()->path());
    }
    const Station s = startStation(paths, db);
    const double seconds = untilAllDone(terminals, s);
    stopStation(s);
    return seconds;
}

// A new SQLite file in `folder`.
std::string freshFile(const fs::path& folder, const std::string& name) {
    const std::string db = (folder / (name + ".db")).string();
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(db + suffix);
    return db;
}

// The disk's sync time and the host's scheduling vary from run to run by
// more than the figures differ: each is measured kRuns times, interleaved,
// and the median taken.
constexpr int kRuns = 5;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void reportPaced(const char* into, const std::function<std::string(const std::string&)>& database) {
    std::vector<double> one, eight, ratio;
    for (int run = 0; run < kRuns; ++run) {
        one.push_back(batchInto(database("paced1_" + std::to_string(run)), 1, 1000, 115200));
        eight.push_back(batchInto(database("paced8_" + std::to_string(run)), 8, 1000, 115200));
        ratio.push_back(eight.back() / one.back());
    }
    std::printf("%s, 1,000 records at 115,200 bps, median of %d: one port %.2f s, eight ports at once %.2f s, "
                "ratio %.2f (runs from %.2f to %.2f)\n",
                into, kRuns, median(one), median(eight), median(ratio), *std::min_element(ratio.begin(), ratio.end()),
                *std::max_element(ratio.begin(), ratio.end()));
}

int postgres() {
    fw::test::PostgresServer server(true);
    if (!server.ready()) {
        std::fprintf(stderr, "station_benchmark: %s\n", server.why().c_str());
        return 1;
    }
    reportPaced("PostgreSQL (fsync on)", [&](const std::string& name) { return server.createDatabase(name); });
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--postgres") return postgres();
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::current_path();

    std::vector<double> rates;
    for (int run = 0; run < kRuns; ++run) rates.push_back(10000 / batchInto(freshFile(folder, "instant"), 1, 10000, 0));
    std::printf("10,000 records, instant terminal, median of %d: %.0f records/s (runs from %.0f to %.0f; each "
                "committed, WAL, synchronous=FULL)\n",
                kRuns, median(rates), *std::min_element(rates.begin(), rates.end()),
                *std::max_element(rates.begin(), rates.end()));

    reportPaced("SQLite", [&](const std::string& name) { return freshFile(folder, name); });

    std::vector<std::unique_ptr<FakeTerminal>> silent;
    std::vector<std::string> paths;
    for (int i = 0; i < 8; ++i) {
        TerminalScript s = batchOf(1, 0);
        s.ignoreOpenings = -1;
        silent.push_back(std::make_unique<FakeTerminal>(s));
        paths.push_back(silent.back()->path());
    }
    const std::string db = freshFile(folder, "idle");
    const Station s = startStation(paths, db);
    // Measured after the start (loading the program and the database is no idling).
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double cpuBefore = cpuSeconds(s.pid);
    const auto from = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const double cpu = cpuSeconds(s.pid) - cpuBefore;
    const double wall = std::chrono::duration<double>(Clock::now() - from).count();
    stopStation(s);
    std::printf("idle station, eight ports without a terminal: %.3f s CPU in %.1f s, %.2f %% of a core\n",
                cpu, wall, 100 * cpu / wall);
    std::vector<fs::path> made;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        for (const char* prefix : {"instant.db", "paced1_", "paced8_", "idle.db"})
            if (name.rfind(prefix, 0) == 0) made.push_back(entry.path());
    }
    for (const fs::path& p : made) fs::remove(p);
    return 0;
}
