// The station's database in an SQLite file: one connection, its calls one
// at a time; the write-ahead log with synchronous=FULL makes each commit
// survive a power cut, and readers never block the station.
#include <sqlite3.h>

#include <map>
#include <mutex>

#include "station/sql_session.h"
#include "station/station_database.h"

namespace fw {

namespace {

// Records keep their bytes exactly (data) and, for readers, the same as
// UTF-8 (text; the terminal writes Windows-1252).
constexpr const char* kSqliteSchema = R"sql(
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
PRAGMA user_version=1;
)sql";

// Version 2: the batch row counts its records, and keeps its last one's
// time, as they are stored, so that storing a record is one statement.
constexpr const char* kSqliteCounting = R"sql(
CREATE TRIGGER records_counted AFTER INSERT ON records BEGIN
    UPDATE batches SET records = records + 1, ended_at = NEW.received_at WHERE id = NEW.batch_id;
END;
PRAGMA user_version=2;
)sql";

class SqliteSession final : public SqlSession {
public:
    explicit SqliteSession(sqlite3* db) : db_(db) {}
    ~SqliteSession() override {
        for (auto& [sql, stmt] : prepared_) sqlite3_finalize(stmt);
        sqlite3_close(db_);
    }

    bool run(std::string_view sql, const std::vector<SqlValue>& params, std::vector<SqlRow>* rows) override {
        sqlite3_stmt* stmt = prepared(sql);
        if (!stmt) return fail();
        // The shared SQL names its parameters $1, $2, ...: bound by name, so
        // that their order of appearance does not matter.
        for (std::size_t i = 0; i < params.size(); ++i) {
            const int at = sqlite3_bind_parameter_index(stmt, ("$" + std::to_string(i + 1)).c_str());
            if (at == 0) continue;
            const SqlValue& v = params[i];
            if (v.kind == SqlValue::Kind::integer) sqlite3_bind_int64(stmt, at, v.integer);
            else if (v.kind == SqlValue::Kind::text)
                sqlite3_bind_text(stmt, at, v.text.data(), int(v.text.size()), SQLITE_STATIC);
            else sqlite3_bind_blob(stmt, at, v.text.data(), int(v.text.size()), SQLITE_STATIC);
        }
        int step;
        while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (!rows) continue;
            SqlRow row;
            for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c) {
                const void* p = sqlite3_column_blob(stmt, c);
                const int size = sqlite3_column_bytes(stmt, c);
                row.emplace_back(p ? std::string(static_cast<const char*>(p), std::size_t(size)) : std::string());
            }
            rows->push_back(std::move(row));
        }
        const bool ok = step == SQLITE_DONE || fail();
        // Reset at once: a statement left running would keep its read
        // transaction, and the log could not start over after a checkpoint.
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        return ok;
    }

    // IMMEDIATE: the write lock now, not at the first write, so that a
    // reader's upgrade cannot make the commit fail half-way.
    bool begin(bool write) override { return run(write ? "BEGIN IMMEDIATE" : "BEGIN", {}, nullptr); }
    bool commit() override { return run("COMMIT", {}, nullptr); }
    void rollback() override { run("ROLLBACK", {}, nullptr); }
    bool runCommitted(std::string_view sql, const std::vector<SqlValue>& params,
                      std::vector<SqlRow>* rows) override {
        if (!begin(true)) return false;
        if (run(sql, params, rows) && commit()) return true;
        const std::string why = error_;
        rollback();
        error_ = why;
        return false;
    }
    std::string error() const override { return error_; }

    bool exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
        error_ = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        return false;
    }

    bool prepareSchema(std::string& error);

private:
    // The station runs the same few statements again and again: each is
    // compiled once.
    sqlite3_stmt* prepared(std::string_view sql) {
        const auto found = prepared_.find(sql);
        if (found != prepared_.end()) return found->second;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.data(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) return nullptr;
        prepared_.emplace(std::string(sql), stmt);
        return stmt;
    }

    bool fail() {
        error_ = sqlite3_errmsg(db_);
        return false;
    }

    sqlite3* db_;
    std::map<std::string, sqlite3_stmt*, std::less<>> prepared_;
    std::string error_;
};

bool SqliteSession::prepareSchema(std::string& error) {
    // Another station or an export may hold the write lock for a moment.
    sqlite3_busy_timeout(db_, 10000);
    std::vector<SqlRow> journal;
    if (!run("PRAGMA journal_mode=WAL", {}, &journal) || journal.empty() || journal[0][0] != "wal") {
        error = "cannot use a write-ahead log: " + std::string(sqlite3_errmsg(db_));
        return false;
    }
    if (!exec("PRAGMA synchronous=FULL") || !exec("PRAGMA foreign_keys=ON") || !begin(true)) {
        error = error_;
        return false;
    }
    std::vector<SqlRow> version, tables;
    if (!run("PRAGMA user_version", {}, &version) || !run("SELECT count(*) FROM sqlite_schema", {}, &tables) ||
        version.empty() || tables.empty()) {
        error = error_;
        rollback();
        return false;
    }
    const int64_t v = sqlInteger(version[0][0]);
    std::string problem;
    if (v > kStationSchemaVersion) {
        problem = "the database is of a later version (" + std::to_string(v) + ") than this program reads";
    } else if (v == 0 && sqlInteger(tables[0][0]) != 0) {
        problem = "not a station database (it has tables but no version)";
    } else if ((v == 0 && !exec(kSqliteSchema)) || (v < 2 && !exec(kSqliteCounting))) {
        problem = error_;
    }
    if (problem.empty() && !commit()) problem = error_;
    if (!problem.empty()) {
        rollback();
        error = problem;
        return false;
    }
    return true;
}

class SqliteSessions final : public SqlSessions {
public:
    explicit SqliteSessions(sqlite3* db) : session_(db) {}
    SqliteSession& session() { return session_; }

    SqlSession& take() override {
        mutex_.lock();
        return session_;
    }
    void giveBack(SqlSession&) override { mutex_.unlock(); }
    // One file on one machine: the station's name needs no guard here.
    bool claim(const std::string&, std::string&) override { return true; }

private:
    std::mutex mutex_;
    SqliteSession session_;
};

}  // namespace

std::unique_ptr<SqlSessions> openSqliteSessions(const std::string& path, bool mustExist, std::string& error) {
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (mustExist ? 0 : SQLITE_OPEN_CREATE) | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        return nullptr;
    }
    auto sessions = std::make_unique<SqliteSessions>(db);
    if (!sessions->session().prepareSchema(error)) return nullptr;
    return sessions;
}

}  // namespace fw
