#include "station/station_database.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>

#include "texts/code_page.h"

namespace fw {

namespace {

// The schema of version 1. Records keep their bytes exactly (data) and, for
// readers, the same as UTF-8 (text; the terminal writes Windows-1252).
constexpr const char* kSchema = R"sql(
CREATE TABLE batches (
    id          INTEGER PRIMARY KEY,
    station     TEXT NOT NULL,
    port        TEXT NOT NULL,
    started_at  TEXT NOT NULL,
    ended_at    TEXT,
    records     INTEGER NOT NULL DEFAULT 0,
    skipped     INTEGER NOT NULL DEFAULT 0,
    outcome     TEXT NOT NULL,
    message     TEXT NOT NULL DEFAULT ''
);
CREATE INDEX batches_by_port ON batches(station, port, id);
CREATE TABLE records (
    id           INTEGER PRIMARY KEY,
    station      TEXT NOT NULL,
    port         TEXT NOT NULL,
    batch_id     INTEGER NOT NULL REFERENCES batches(id),
    number       INTEGER NOT NULL,
    serial       INTEGER NOT NULL,
    received_at  TEXT NOT NULL,
    data         BLOB NOT NULL,
    text         TEXT NOT NULL,
    exported_at  TEXT,
    UNIQUE (batch_id, number)
);
CREATE INDEX records_by_time ON records(received_at);
CREATE INDEX records_by_port ON records(port, id);
CREATE TABLE fields (
    record_id  INTEGER NOT NULL REFERENCES records(id),
    number     INTEGER NOT NULL,
    text       TEXT NOT NULL,
    PRIMARY KEY (record_id, number)
) WITHOUT ROWID;
CREATE TABLE repeats (
    batch_id     INTEGER NOT NULL REFERENCES batches(id),
    number       INTEGER NOT NULL,
    serial       INTEGER NOT NULL,
    received_at  TEXT NOT NULL,
    record_id    INTEGER NOT NULL REFERENCES records(id),
    settled      INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (batch_id, number)
) WITHOUT ROWID;
)sql";

class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    Statement& bind(int i, int64_t v) {
        if (stmt_) sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    Statement& bind(int i, const std::string& v) {
        if (stmt_) sqlite3_bind_text(stmt_, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bindBlob(int i, const std::string& v) {
        if (stmt_) sqlite3_bind_blob(stmt_, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
    bool run() { return step() == SQLITE_DONE; }
    int64_t integer(int col) const { return sqlite3_column_int64(stmt_, col); }
    std::string text(int col) const {
        const void* p = sqlite3_column_blob(stmt_, col);
        const int n = sqlite3_column_bytes(stmt_, col);
        return p ? std::string(static_cast<const char*>(p), std::size_t(n)) : std::string();
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// A transaction rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db) {
        // IMMEDIATE: the write lock now, not at the first write, so that a
        // reader's upgrade cannot make the commit fail half-way.
        begun_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~Transaction() {
        if (begun_ && !done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    bool begun() const { return begun_; }
    bool commit() {
        done_ = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        return done_;
    }

private:
    sqlite3* db_;
    bool begun_ = false;
    bool done_ = false;
};

bool insertFields(sqlite3* db, int64_t recordId, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        Statement one(db, "INSERT INTO fields(record_id, number, text) VALUES (?, ?, ?)");
        one.bind(1, recordId).bind(2, int64_t(i + 1)).bind(3, fields[i]);
        if (!one.run()) return false;
    }
    return true;
}

}  // namespace

std::string stationTimestamp(int64_t unixMs) {
    using namespace std::chrono;
    const sys_time<milliseconds> t{milliseconds(unixMs)};
    const sys_days day = floor<days>(t);
    const year_month_day ymd(day);
    const hh_mm_ss<milliseconds> clock(t - day);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int(ymd.year()),
                  unsigned(ymd.month()), unsigned(ymd.day()), int(clock.hours().count()),
                  int(clock.minutes().count()), int(clock.seconds().count()),
                  int(clock.subseconds().count()));
    return buf;
}

std::string stationTimestampNow() {
    using namespace std::chrono;
    return stationTimestamp(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

std::unique_ptr<StationDatabase> StationDatabase::open(const std::string& path, bool mustExist,
                                                       std::string& error) {
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (mustExist ? 0 : SQLITE_OPEN_CREATE) | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<StationDatabase> station(new StationDatabase(db));
    if (!station->prepareSchema(error)) return nullptr;
    return station;
}

StationDatabase::~StationDatabase() { sqlite3_close(db_); }

bool StationDatabase::exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error_ = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
}

std::string StationDatabase::lastError() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

bool StationDatabase::prepareSchema(std::string& error) {
    // Another station or an export may hold the write lock for a moment.
    sqlite3_busy_timeout(db_, 10000);
    // Readers never block the station, nor the station them; each commit
    // reaches the disk before it returns.
    std::string journal;
    {
        Statement mode(db_, "PRAGMA journal_mode=WAL");
        if (mode.step() == SQLITE_ROW) journal = mode.text(0);
    }
    if (journal != "wal") {
        error = "cannot use a write-ahead log: " + std::string(sqlite3_errmsg(db_));
        return false;
    }
    if (!exec("PRAGMA synchronous=FULL") || !exec("PRAGMA foreign_keys=ON")) {
        error = error_;
        return false;
    }
    Transaction t(db_);
    if (!t.begun()) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    int64_t v = -1;
    int64_t tables = -1;
    {
        Statement version(db_, "PRAGMA user_version");
        if (version.step() == SQLITE_ROW) v = version.integer(0);
        Statement count(db_, "SELECT count(*) FROM sqlite_schema");
        if (count.step() == SQLITE_ROW) tables = count.integer(0);
    }
    if (v < 0 || tables < 0) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    if (v == kStationSchemaVersion) {
        if (t.commit()) return true;
        error = sqlite3_errmsg(db_);
        return false;
    }
    if (v > kStationSchemaVersion) {
        error = "the database is of a later version (" + std::to_string(v) + ") than this program reads";
        return false;
    }
    if (tables != 0) {
        error = "not a station database (it has tables but no version)";
        return false;
    }
    if (!exec(kSchema) || !exec("PRAGMA user_version=1") || !t.commit()) {
        error = error_.empty() ? sqlite3_errmsg(db_) : error_;
        return false;
    }
    return true;
}

std::optional<int64_t> StationDatabase::beginBatch(const std::string& station, const std::string& port,
                                                   const std::string& now) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement ins(db_, "INSERT INTO batches(station, port, started_at, outcome) VALUES (?, ?, ?, ?)");
    ins.bind(1, station).bind(2, port).bind(3, now).bind(4, std::string(kBatchReceiving));
    if (!ins.run()) {
        error_ = sqlite3_errmsg(db_);
        return std::nullopt;
    }
    return sqlite3_last_insert_rowid(db_);
}

bool StationDatabase::storeRecord(int64_t batch, int number, int serial, const std::string& now,
                                  const std::string& data, const std::vector<std::string>& fields) {
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction t(db_);
    Statement ins(db_,
                  "INSERT INTO records(station, port, batch_id, number, serial, received_at, data, text) "
                  "SELECT station, port, id, ?, ?, ?, ?, ? FROM batches WHERE id = ?");
    ins.bind(1, int64_t(number)).bind(2, int64_t(serial)).bind(3, now).bindBlob(4, data)
        .bind(5, utf8FromCodePage(data)).bind(6, batch);
    bool ok = t.begun() && ins.run() && sqlite3_changes(db_) == 1;
    const int64_t id = sqlite3_last_insert_rowid(db_);
    ok = ok && insertFields(db_, id, fields);
    Statement count(db_, "UPDATE batches SET records = records + 1, ended_at = ? WHERE id = ?");
    count.bind(1, now).bind(2, batch);
    ok = ok && count.run() && t.commit();
    if (!ok) error_ = sqlite3_errmsg(db_);
    return ok;
}

bool StationDatabase::holdRepeat(int64_t batch, int number, int serial, const std::string& now,
                                 int64_t recordId) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement ins(db_, "INSERT INTO repeats(batch_id, number, serial, received_at, record_id) "
                       "VALUES (?, ?, ?, ?, ?)");
    ins.bind(1, batch).bind(2, int64_t(number)).bind(3, int64_t(serial)).bind(4, now).bind(5, recordId);
    if (!ins.run()) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

bool StationDatabase::settle(int64_t batch, const RepeatSettlement& settlement) {
    std::lock_guard<std::mutex> lock(mutex_);
    return settleLocked(batch, settlement);
}

bool StationDatabase::settleLocked(int64_t batch, const RepeatSettlement& settlement) {
    Transaction t(db_);
    bool ok = t.begun();
    std::vector<int64_t> held;
    {
        Statement sel(db_, "SELECT number FROM repeats WHERE batch_id = ? AND settled = 0 ORDER BY number");
        sel.bind(1, batch);
        while (ok && sel.step() == SQLITE_ROW) held.push_back(sel.integer(0));
    }
    for (std::size_t i = 0; ok && i < held.size(); ++i) {
        if (i < settlement.repeats) {
            Statement upd(db_, "UPDATE repeats SET settled = 1 WHERE batch_id = ? AND number = ?");
            upd.bind(1, batch).bind(2, held[i]);
            ok = upd.run();
            continue;
        }
        // Alike but new after all: stored from the record it matched, with
        // its own place, serial and time.
        Statement ins(db_,
                      "INSERT INTO records(station, port, batch_id, number, serial, received_at, data, text) "
                      "SELECT b.station, b.port, b.id, r.number, r.serial, r.received_at, o.data, o.text "
                      "FROM repeats r JOIN batches b ON b.id = r.batch_id JOIN records o ON o.id = r.record_id "
                      "WHERE r.batch_id = ? AND r.number = ?");
        ins.bind(1, batch).bind(2, held[i]);
        ok = ins.run() && sqlite3_changes(db_) == 1;
        const int64_t id = sqlite3_last_insert_rowid(db_);
        Statement copy(db_, "INSERT INTO fields(record_id, number, text) SELECT ?, f.number, f.text "
                            "FROM fields f JOIN repeats r ON f.record_id = r.record_id "
                            "WHERE r.batch_id = ? AND r.number = ?");
        copy.bind(1, id).bind(2, batch).bind(3, held[i]);
        Statement del(db_, "DELETE FROM repeats WHERE batch_id = ? AND number = ?");
        del.bind(1, batch).bind(2, held[i]);
        ok = ok && copy.run() && del.run();
    }
    const std::size_t repeats = std::min(settlement.repeats, held.size());
    Statement count(db_, "UPDATE batches SET skipped = skipped + ?, records = records + ? WHERE id = ?");
    count.bind(1, int64_t(repeats)).bind(2, int64_t(held.size() - repeats)).bind(3, batch);
    ok = ok && count.run() && t.commit();
    if (!ok) error_ = sqlite3_errmsg(db_);
    return ok;
}

bool StationDatabase::endBatch(int64_t batch, const std::string& now, const std::string& outcome,
                               const std::string& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement upd(db_, "UPDATE batches SET ended_at = ?, outcome = ?, message = ? WHERE id = ?");
    upd.bind(1, now).bind(2, outcome).bind(3, message).bind(4, batch);
    if (!upd.run()) {
        error_ = sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

PreviousBatch StationDatabase::previousBatch(const std::string& station, const std::string& port) {
    std::lock_guard<std::mutex> lock(mutex_);
    return previousBatchBefore(station, port, INT64_MAX);
}

PreviousBatch StationDatabase::previousBatchBefore(const std::string& station, const std::string& port,
                                                   int64_t before) {
    PreviousBatch prev;
    // The last batch in which the terminal sent anything: an ask answered by
    // a line that then fell silent says nothing about what it holds.
    Statement last(db_, "SELECT b.id, b.outcome FROM batches b WHERE b.station = ? AND b.port = ? "
                        "AND b.id < ? AND (b.records > 0 OR EXISTS "
                        "(SELECT 1 FROM repeats r WHERE r.batch_id = b.id)) ORDER BY b.id DESC LIMIT 1");
    last.bind(1, station).bind(2, port).bind(3, before);
    if (last.step() != SQLITE_ROW) return prev;
    prev.found = true;
    const int64_t batch = last.integer(0);
    prev.completed = last.text(1) == kBatchCompleted;
    Statement seq(db_, "SELECT number, id, data FROM records WHERE batch_id = ?1 "
                       "UNION ALL SELECT r.number, o.id, o.data FROM repeats r "
                       "JOIN records o ON o.id = r.record_id WHERE r.batch_id = ?1 ORDER BY 1");
    seq.bind(1, batch);
    while (seq.step() == SQLITE_ROW) {
        prev.recordIds.push_back(seq.integer(1));
        prev.data.push_back(seq.text(2));
    }
    return prev;
}

int StationDatabase::recover(const std::string& station, const std::string& now) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::pair<int64_t, std::string>> open;
    {
        Statement sel(db_, "SELECT id, port FROM batches WHERE station = ? AND outcome = ? ORDER BY id");
        sel.bind(1, station).bind(2, std::string(kBatchReceiving));
        while (sel.step() == SQLITE_ROW) open.emplace_back(sel.integer(0), sel.text(1));
    }
    for (const auto& [batch, port] : open) {
        // The held repeats are matched again as they were when the station
        // died; the run then ends there.
        const PreviousBatch prev = previousBatchBefore(station, port, batch);
        RepeatMatcher matcher(prev.data, prev.completed ? RepeatScope::whole : RepeatScope::tail);
        Statement held(db_, "SELECT o.data FROM repeats r JOIN records o ON o.id = r.record_id "
                            "WHERE r.batch_id = ? AND r.settled = 0 ORDER BY r.number");
        held.bind(1, batch);
        while (held.step() == SQLITE_ROW) matcher.offer(held.text(0));
        settleLocked(batch, matcher.finish());
        Statement upd(db_, "UPDATE batches SET outcome = ?, ended_at = coalesce(ended_at, ?) WHERE id = ?");
        upd.bind(1, std::string(kBatchInterrupted)).bind(2, now).bind(3, batch);
        upd.run();
    }
    return int(open.size());
}

std::vector<StationRecord> StationDatabase::selectRecords(const RecordQuery& query) {
    std::vector<StationRecord> out;
    Statement sel(db_, "SELECT id, station, port, batch_id, number, serial, received_at, data FROM records "
                       "WHERE (?1 = '' OR received_at >= ?1) AND (?2 = '' OR port = ?2) "
                       "AND (?3 = 0 OR exported_at IS NULL) ORDER BY id");
    sel.bind(1, query.since).bind(2, query.port).bind(3, int64_t(query.notExportedOnly ? 1 : 0));
    while (sel.step() == SQLITE_ROW) {
        StationRecord r;
        r.id = sel.integer(0);
        r.station = sel.text(1);
        r.port = sel.text(2);
        r.batch = sel.integer(3);
        r.number = int(sel.integer(4));
        r.serial = int(sel.integer(5));
        r.receivedAt = sel.text(6);
        r.data = sel.text(7);
        out.push_back(std::move(r));
    }
    for (StationRecord& r : out) {
        Statement f(db_, "SELECT text FROM fields WHERE record_id = ? ORDER BY number");
        f.bind(1, r.id);
        while (f.step() == SQLITE_ROW) r.fields.push_back(f.text(0));
    }
    return out;
}

std::vector<StationRecord> StationDatabase::records(const RecordQuery& query) {
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction t(db_);   // one consistent view
    std::vector<StationRecord> out = selectRecords(query);
    t.commit();
    return out;
}

std::optional<std::vector<StationRecord>> StationDatabase::takeRecords(const RecordQuery& query,
                                                                      const std::string& now) {
    std::lock_guard<std::mutex> lock(mutex_);
    Transaction t(db_);
    if (!t.begun()) {
        error_ = sqlite3_errmsg(db_);
        return std::nullopt;
    }
    RecordQuery q = query;
    q.notExportedOnly = true;
    std::vector<StationRecord> out = selectRecords(q);
    for (const StationRecord& r : out) {
        Statement upd(db_, "UPDATE records SET exported_at = ? WHERE id = ?");
        upd.bind(1, now).bind(2, r.id);
        if (!upd.run()) {
            error_ = sqlite3_errmsg(db_);
            return std::nullopt;
        }
    }
    if (!t.commit()) {
        error_ = sqlite3_errmsg(db_);
        return std::nullopt;
    }
    return out;
}

std::vector<StationBatch> StationDatabase::batches() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<StationBatch> out;
    Statement sel(db_, "SELECT id, station, port, started_at, coalesce(ended_at, ''), records, skipped, "
                       "outcome, message FROM batches ORDER BY id");
    while (sel.step() == SQLITE_ROW) {
        StationBatch b;
        b.id = sel.integer(0);
        b.station = sel.text(1);
        b.port = sel.text(2);
        b.startedAt = sel.text(3);
        b.endedAt = sel.text(4);
        b.records = int(sel.integer(5));
        b.skipped = int(sel.integer(6));
        b.outcome = sel.text(7);
        b.message = sel.text(8);
        out.push_back(std::move(b));
    }
    return out;
}

}  // namespace fw
