// The collection station against fake terminals on pseudo-terminals, in
// real time: several ports at once with a silent and a failing one, and a
// station killed in the middle of a batch and started again, which must
// neither lose an acknowledged record nor store one twice; the same with
// two stations writing to one PostgreSQL database; and a station that
// reaches its terminal through ser2net getting it back after a cut.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "comm/port_workers.h"
#include "comm/posix/serial_port_posix.h"
#include "station/station_database.h"
#include "station/station_port.h"
#include "tests/e2e/scratch_folder_test.h"
#include "tests/support/fake_terminal.h"
#include "tests/support/postgres_server.h"
#include "tests/support/ser2net_server.h"
#include "tools/fwxtool/platform.h"
#include "tools/fwxtool/station_commands.h"

extern char** environ;

namespace fw {
namespace {

using test::FakeTerminal;
using test::TerminalExchange;
using test::TerminalScript;
using Clock = std::chrono::steady_clock;

std::vector<std::string> items(const std::string& prefix, int n) {
    std::vector<std::string> v;
    for (int i = 0; i < n; ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s%03d,%d", prefix.c_str(), i, i % 7 + 1);
        v.push_back(buf);
    }
    return v;
}

TerminalScript receiving(std::vector<std::string> records) {
    TerminalScript s;
    s.exchange = TerminalExchange::receive;
    s.records = std::move(records);
    return s;
}

template <typename F>
bool waitFor(F done, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

class Station : public test::ScratchFolderTest {
protected:
    // The --db of the stations: the test's SQLite file unless set.
    std::string database() const { return database_.empty() ? path("station.db") : database_; }

    std::unique_ptr<StationDatabase> openDb() {
        std::string error;
        auto db = StationDatabase::open(database(), false, error);
        EXPECT_TRUE(db) << error;
        return db;
    }

    std::vector<std::string> stored(StationDatabase& db, const std::string& port) {
        RecordQuery q;
        q.port = port;
        std::vector<std::string> texts;
        for (const StationRecord& r : db.records(q)) texts.push_back(r.data);
        return texts;
    }

    pid_t spawnStation(const std::vector<std::string>& extra, const std::string& log,
                       const std::string& name = "test") {
        std::vector<std::string> args = {FWXTOOL_PATH, "station", "--db", database(), "--log",
                                         path(name + ".log"), "--name", name};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, path(log + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, path(log + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, FWXTOOL_PATH, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        running_.push_back(pid);
        return pid;
    }

    int endWith(pid_t pid, int signal) {
        ::kill(pid, signal);
        int status = 0;
        ::waitpid(pid, &status, 0);
        running_.erase(std::remove(running_.begin(), running_.end(), pid), running_.end());
        return status;
    }

    // A station in this process on `port`, with short waits, until `stop`.
    static std::thread stationThread(const std::string& port, StationDatabase& db, std::atomic<bool>& stop) {
        return std::thread([port, &db, &stop] {
            StationOptions options;
            options.station = "test";
            options.timing = {300, 300, 900};
            runOnPorts(
                {port},
                [&](const std::string& name, PortReporter& reporter, ExchangeCancel& cancel) {
                    std::unique_ptr<SerialSystem> system = tool::serialSystemOf(name);
                    return runStationPort(*system, name, db, options, reporter, cancel);
                },
                nullptr, &stop, 50);
        });
    }

    // Stations a failed test left running.
    void TearDown() override {
        for (const pid_t pid : std::vector<pid_t>(running_)) endWith(pid, SIGKILL);
        ScratchFolderTest::TearDown();
    }

    std::string readFile(const std::string& name) {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Kills the station after `before` acknowledgements, starts it again and
    // lets the terminal finish.
    void killAndRestart(TerminalScript::Reopening reopening) {
        TerminalScript script = receiving(items("K", 80));
        script.paceBaud = 19200;   // about 8 ms a record: the kill falls inside the batch
        script.reopening = reopening;
        FakeTerminal terminal(script);
        ASSERT_TRUE(terminal.ok());

        const pid_t first = spawnStation({terminal.path()}, "first");
        ASSERT_TRUE(waitFor([&] { return terminal.report().framesAcked >= 25; }, 10000));
        const int killed = endWith(first, SIGKILL);
        EXPECT_TRUE(WIFSIGNALED(killed));
        const int ackedBefore = terminal.report().acksReceived;
        ASSERT_LT(ackedBefore, 80);

        const pid_t second = spawnStation({terminal.path()}, "second");
        ASSERT_TRUE(waitFor([&] { return terminal.report().uploads >= 1; }, 15000))
            << readFile("second.err");
        auto db = openDb();
        ASSERT_TRUE(waitFor([&] {
            const auto b = db->batches();
            return b.size() == 2 && b[1].outcome == kBatchCompleted;
        }, 5000));
        const int ended = endWith(second, SIGTERM);
        ASSERT_TRUE(WIFEXITED(ended)) << "killed by the TERM instead of stopping";
        EXPECT_EQ(WEXITSTATUS(ended), 0);

        // Every record once, in the terminal's order.
        EXPECT_EQ(stored(*db, terminal.path()), script.records);
        const auto batches = db->batches();
        ASSERT_EQ(batches.size(), 2u);
        EXPECT_EQ(batches[0].outcome, kBatchInterrupted);
        EXPECT_EQ(batches[0].records + batches[1].records, 80);
        if (reopening == TerminalScript::Reopening::wholeBatch) {
            EXPECT_EQ(batches[1].skipped, batches[0].records);
        } else {
            EXPECT_LE(batches[1].skipped, 1);
        }
        EXPECT_NE(readFile("test.log").find("closed as interrupted"), std::string::npos);
    }

    std::string database_;
    std::vector<pid_t> running_;
};

TEST_F(Station, ServesEveryPortAtOnceWhileOneIsSilentAndOneFails) {
    FakeTerminal good(receiving(items("A", 30)));
    TerminalScript silentScript = receiving(items("S", 5));
    silentScript.ignoreOpenings = -1;
    FakeTerminal silent(silentScript);
    TerminalScript failing = receiving(items("F", 40));
    failing.closeAfter = 15;
    FakeTerminal failer(failing);
    ASSERT_TRUE(good.ok() && silent.ok() && failer.ok());

    auto db = openDb();
    StationOptions options;
    options.station = "test";
    options.separator = ",";
    options.timing = {300, 300, 900};
    std::atomic<bool> stop{false};
    std::vector<PortStatus> rows;
    std::thread station([&] {
        rows = runOnPorts(
            {good.path(), silent.path(), failer.path()},
            [&](const std::string& port, PortReporter& reporter, ExchangeCancel& cancel) {
                PosixSerialSystem system({SerialPortInfo{port, port, kPortSerial}});
                return runStationPort(system, port, *db, options, reporter, cancel);
            },
            nullptr, &stop, 50);
    });
    EXPECT_TRUE(waitFor([&] {
        const auto b = db->batches();
        return b.size() == 2 && b[0].outcome != kBatchReceiving && b[1].outcome != kBatchReceiving;
    }, 20000));
    // The silent port was asked several times meanwhile, every 0.3 s.
    EXPECT_TRUE(waitFor([&] { return silent.report().openings >= 3; }, 3000));
    stop = true;
    station.join();

    EXPECT_EQ(stored(*db, good.path()), items("A", 30));
    const std::vector<std::string> fifteen = items("F", 15);
    EXPECT_EQ(stored(*db, failer.path()), fifteen);
    EXPECT_TRUE(stored(*db, silent.path()).empty());
    for (const StationBatch& b : db->batches()) {
        if (b.port == good.path()) {
            EXPECT_EQ(b.outcome, kBatchCompleted);
        }
        if (b.port == failer.path()) {
            EXPECT_EQ(b.outcome, kBatchFailed);
        }
        EXPECT_NE(b.port, silent.path());
    }
    // The fields of the program's delimiter.
    RecordQuery goodOnly;
    goodOnly.port = good.path();
    const StationRecord first = db->records(goodOnly).front();
    EXPECT_EQ(first.fields, (std::vector<std::string>{"A000", "1"}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].outcome.records, 30);
    EXPECT_EQ(rows[2].outcome.records, 15);
    // The completed terminal was only probed, never asked for its records again.
    EXPECT_EQ(good.report().uploads, good.report().reopenings + 1);
}

TEST_F(Station, KilledDuringABatchLosesNothingWhenTheTerminalResumes) {
    killAndRestart(TerminalScript::Reopening::resume);
}

TEST_F(Station, KilledDuringABatchStoresNothingTwiceWhenTheTerminalSendsItAllAgain) {
    killAndRestart(TerminalScript::Reopening::wholeBatch);
}

TEST_F(Station, RecordsExportAsTheReceivedFileOrJsonAndOnceWhenMarked) {
    {
        auto db = openDb();
        const int64_t b = *db->beginBatch("test", "/dev/ttyUSB0", "2026-12-08T07:00:00.000Z");
        db->storeRecord(b, 1, 0, "2026-12-08T07:00:01.000Z", "A1,\xE9", {"A1", "\xC3\xA9"});
        const int64_t c = *db->beginBatch("test", "/dev/ttyUSB1", "2026-12-08T09:00:00.000Z");
        db->storeRecord(c, 1, 0, "2026-12-08T09:00:01.000Z", "B1", {});
    }
    const std::string file = path("station.db");
    auto records = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"records", "--db", file});
        return test::runFwxtool(args);
    };
    const test::Ran csv = records({});
    EXPECT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "A1,\xE9\r\nB1\r\n");   // the terminal's bytes, CR LF

    const test::Ran json = records({"--json", "--port", "/dev/ttyUSB0"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto j = nlohmann::json::parse(json.out);
    ASSERT_EQ(j.size(), 1u);
    EXPECT_EQ(j[0]["text"], "A1,\xC3\xA9");
    EXPECT_EQ(j[0]["fields"][1], "\xC3\xA9");
    EXPECT_EQ(j[0]["received_at"], "2026-12-08T07:00:01.000Z");

    EXPECT_EQ(records({"--since", "2026-12-08T08:00Z"}).out, "B1\r\n");
    EXPECT_EQ(records({"--mark-exported"}).out, "A1,\xE9\r\nB1\r\n");
    EXPECT_EQ(records({"--mark-exported"}).out, "");
    EXPECT_EQ(records({}).out.size(), 10u);   // taken, not removed

    EXPECT_EQ(records({"--since", "yesterday"}).status, 2);
    EXPECT_EQ(records({"--csv", "--json"}).status, 2);
    EXPECT_EQ(test::runFwxtool({"records", "--db", path("missing.db")}).status, 1);
    EXPECT_EQ(tool::sinceTimestamp("2026-12-08T14:05:30Z"), "2026-12-08T14:05:30.000Z");
    EXPECT_EQ(tool::sinceTimestamp("2026-13-01"), "");
}

// The stations on a PostgreSQL server of their own (left out of the
// ThreadSanitizer run: their threads are the ones tested above, and libpq is
// not instrumented).
class StationOnPostgres : public Station {};

// Two stations of three terminals each write to one PostgreSQL database; one
// is killed in the middle of its batches and started again. Every record of
// every terminal is there once, and the other station went on meanwhile.
TEST_F(StationOnPostgres, TwoStationsFeedOneDatabaseWithoutLosingOrDoublingARecord) {
    test::PostgresServer server;
    ASSERT_TRUE(server.ready()) << server.why();
    database_ = server.createDatabase("site");
    ASSERT_FALSE(database_.empty());

    const TerminalScript::Reopening reopenings[] = {TerminalScript::Reopening::resume,
                                                    TerminalScript::Reopening::wholeBatch,
                                                    TerminalScript::Reopening::resume};
    std::vector<TerminalScript> scripts;
    std::vector<std::unique_ptr<FakeTerminal>> terminals;
    std::vector<std::string> north, south;
    for (int i = 0; i < 6; ++i) {
        TerminalScript script = receiving(items(std::string(1, char('A' + i)), 40));
        script.paceBaud = 19200;
        script.reopening = reopenings[i % 3];
        scripts.push_back(script);
        terminals.push_back(std::make_unique<FakeTerminal>(script));
        ASSERT_TRUE(terminals.back()->ok());
        (i < 3 ? north : south).push_back(terminals.back()->path());
    }
    const pid_t first = spawnStation(north, "north-first", "north");
    const pid_t other = spawnStation(south, "south", "south");
    ASSERT_TRUE(waitFor([&] { return terminals[0]->report().framesAcked >= 12; }, 15000)) << readFile("north-first.err");
    EXPECT_TRUE(WIFSIGNALED(endWith(first, SIGKILL)));
    const pid_t again = spawnStation(north, "north-again", "north");

    ASSERT_TRUE(waitFor([&] {
        for (const auto& t : terminals) {
            if (t->report().uploads < 1) return false;
        }
        return true;
    }, 30000)) << readFile("north-again.err") << readFile("south.err");
    auto db = openDb();
    ASSERT_TRUE(db);
    ASSERT_TRUE(waitFor([&] {
        for (const StationBatch& b : db->batches()) {
            if (b.outcome == kBatchReceiving) return false;
        }
        return true;
    }, 5000));
    EXPECT_TRUE(WIFEXITED(endWith(again, SIGTERM)));
    EXPECT_TRUE(WIFEXITED(endWith(other, SIGTERM)));

    for (int i = 0; i < 6; ++i) EXPECT_EQ(stored(*db, terminals[i]->path()), scripts[i].records) << i;
    EXPECT_EQ(db->records({}).size(), 240u);
    int interrupted = 0;
    for (const StationBatch& b : db->batches()) {
        if (b.outcome == kBatchInterrupted) {
            ++interrupted;
            EXPECT_EQ(b.station, "north");
        }
    }
    EXPECT_GE(interrupted, 1);
    EXPECT_NE(readFile("north.log").find("closed as interrupted"), std::string::npos);
    EXPECT_EQ(readFile("south.log").find("interrupted"), std::string::npos);
}

// The database server crashes in the middle of a batch and comes back: the
// record in flight is not acknowledged, the station takes the rest once the
// server answers, every record once, and the broken batch's row is ended
// rather than left "receiving".
TEST_F(StationOnPostgres, GoesOnWhenTheServerComesBackAfterACrash) {
    test::PostgresServer server;
    ASSERT_TRUE(server.ready()) << server.why();
    database_ = server.createDatabase("site");
    TerminalScript script = receiving(items("P", 60));
    script.paceBaud = 19200;
    script.reopening = TerminalScript::Reopening::resume;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    auto db = openDb();
    ASSERT_TRUE(db);
    std::atomic<bool> stop{false};
    std::thread station = stationThread(terminal.path(), *db, stop);
    EXPECT_TRUE(waitFor([&] { return terminal.report().framesAcked >= 15; }, 10000));
    ASSERT_TRUE(server.restart()) << server.why();
    EXPECT_TRUE(waitFor([&] { return terminal.report().uploads >= 1; }, 20000));
    EXPECT_TRUE(waitFor([&] {
        const auto b = db->batches();
        return !b.empty() && b.back().outcome == kBatchCompleted;
    }, 5000));
    stop = true;
    station.join();

    EXPECT_EQ(stored(*db, terminal.path()), script.records);
    const auto batches = db->batches();
    ASSERT_GE(batches.size(), 2u);
    for (const StationBatch& b : batches) EXPECT_NE(b.outcome, kBatchReceiving) << b.id;
}

// fwxtool records reads PostgreSQL as it reads the file; downstream jobs
// that mark at the same moment share the records out, none taken twice; a
// second living station of the same name, and a database that is some other
// program's, are refused.
TEST_F(StationOnPostgres, RecordsComeOutOnceAndTheDatabaseIsGuarded) {
    test::PostgresServer server;
    ASSERT_TRUE(server.ready()) << server.why();
    database_ = server.createDatabase("site");
    ASSERT_FALSE(database_.empty());
    auto db = openDb();
    ASSERT_TRUE(db);
    const int64_t b = *db->beginBatch("north", "/dev/ttyUSB0", "2026-12-08T07:00:00.000Z");
    ASSERT_TRUE(db->storeRecord(b, 1, 0, "2026-12-08T07:00:01.000Z", std::string("A1,\xE9\0", 5), {"A1", "\xC3\xA9"}))
        << db->lastError();
    const int64_t c = *db->beginBatch("south", "/dev/ttyUSB0", "2026-12-08T09:00:00.000Z");
    for (int i = 2; i <= 60; ++i) {
        ASSERT_TRUE(db->storeRecord(c, i, i % 10, "2026-12-08T09:00:01.000Z", "B" + std::to_string(i), {}));
    }

    auto records = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"records", "--db", database_});
        return test::runFwxtool(args);
    };
    const test::Ran csv = records({"--since", "2026-12-08T08:00Z"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("B2\r\nB3\r\n", 0), 0u);
    const test::Ran json = records({"--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto j = nlohmann::json::parse(json.out);
    ASSERT_EQ(j.size(), 60u);
    EXPECT_EQ(j[0]["text"], std::string("A1,\xC3\xA9\0", 6));   // the bytes exactly, NUL and all
    EXPECT_EQ(j[0]["fields"][1], "\xC3\xA9");
    EXPECT_EQ(j[0]["station"], "north");

    // Four jobs at once: every record taken, and by one job only.
    std::vector<test::Ran> taken(4);
    std::vector<std::thread> jobs;
    for (test::Ran& t : taken) jobs.emplace_back([&] { t = records({"--mark-exported"}); });
    for (std::thread& t : jobs) t.join();
    std::size_t lines = 0;
    for (const test::Ran& t : taken) {
        EXPECT_EQ(t.status, 0) << t.err;
        lines += std::size_t(std::count(t.out.begin(), t.out.end(), '\n'));
    }
    EXPECT_EQ(lines, 60u);
    EXPECT_EQ(records({"--mark-exported"}).out, "");

    // The same name twice at once mixes up the ports' previous batches.
    ASSERT_TRUE(db->claim("north"));
    auto second = openDb();
    EXPECT_FALSE(second->claim("north"));
    EXPECT_NE(second->lastError().find("already writing"), std::string::npos) << second->lastError();
    EXPECT_TRUE(second->claim("south"));

    const std::string stock = server.createDatabase("stock");
    server.query("stock", "CREATE TABLE records (item TEXT)");
    std::string error;
    EXPECT_FALSE(StationDatabase::open(stock, false, error));
    EXPECT_NE(error.find("not a station database"), std::string::npos) << error;
    const std::string empty = server.createDatabase("empty");
    EXPECT_EQ(test::runFwxtool({"records", "--db", empty}).status, 1);
}

// A terminal behind ser2net: the server dies in the middle of a batch and
// comes back; the station opens the port again after its short wait and
// takes the rest, every record once.
TEST_F(Station, GetsItsTerminalBackThroughSer2netAfterTheConnectionDrops) {
    TerminalScript script = receiving(items("N", 60));
    script.paceBaud = 9600;
    script.reopening = TerminalScript::Reopening::resume;
    FakeTerminal terminal(script);
    ASSERT_TRUE(terminal.ok());
    test::Ser2net server(path(""), terminal.path(), true);
    ASSERT_TRUE(server.ready());
    const std::string port = server.name();

    auto db = openDb();
    std::atomic<bool> stop{false};
    std::thread station = stationThread(port, *db, stop);
    EXPECT_TRUE(waitFor([&] { return terminal.report().framesAcked >= 10; }, 10000));
    server.stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));   // two retries find nobody
    server.start();
    ASSERT_TRUE(server.ready());
    EXPECT_TRUE(waitFor([&] { return terminal.report().uploads >= 1; }, 15000));
    EXPECT_TRUE(waitFor([&] {
        const auto b = db->batches();
        return !b.empty() && b.back().outcome == kBatchCompleted;
    }, 3000));
    stop = true;
    station.join();

    EXPECT_EQ(stored(*db, port), script.records);
    const auto batches = db->batches();
    ASSERT_GE(batches.size(), 2u);
    EXPECT_EQ(batches.front().outcome, kBatchFailed);
}

}  // namespace
}  // namespace fw
