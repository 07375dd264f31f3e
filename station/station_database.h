// The station's database: every record received, one row each, and a row
// per batch, in an SQLite file or a PostgreSQL database shared by several
// stations (docs/station-schema.md describes it for the programs that read
// it). The --db value chooses: a postgresql:// or postgres:// URL, or else a
// file name.
//
// A record is committed, in a transaction of its own, before the terminal
// gets its acknowledgement, durably (SQLite: the write-ahead log with
// synchronous=FULL; PostgreSQL: synchronous_commit). Readers never block
// the station. One object may be used from several threads.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "station/repeat_rule.h"
#include "station/sql_session.h"

namespace fw {

// The version in the file's user_version; a file of a later version is
// refused rather than misread.
constexpr int kStationSchemaVersion = 2;

// Batch outcomes as stored.
inline constexpr const char* kBatchReceiving = "receiving";
inline constexpr const char* kBatchCompleted = "completed";
inline constexpr const char* kBatchFailed = "failed";
inline constexpr const char* kBatchStopped = "stopped";          // the station was ended
inline constexpr const char* kBatchInterrupted = "interrupted";  // the station died during it

struct StationRecord {
    int64_t id = 0;
    std::string station;
    std::string port;
    int64_t batch = 0;
    int number = 0;            // in its batch, from 1, repeats counted
    int serial = 0;
    std::string receivedAt;    // UTC, "2026-12-08T07:30:12.345Z"
    std::string data;          // the record's bytes exactly as received
    std::vector<std::string> fields;   // UTF-8, when split
};

struct StationBatch {
    int64_t id = 0;
    std::string station;
    std::string port;
    std::string startedAt;
    std::string endedAt;
    int records = 0;
    int skipped = 0;
    std::string outcome;
    std::string message;
};

// The records of a port's previous batch, as the terminal sent them.
struct PreviousBatch {
    bool found = false;
    bool completed = false;
    std::vector<std::string> data;
    std::vector<int64_t> recordIds;   // where each is stored
};

struct RecordQuery {
    std::string since;         // UTC timestamp, inclusive; empty: all
    std::string port;          // empty: all
    bool notExportedOnly = false;
};

class StationDatabase {
public:
    // Opens (creating its tables when missing, unless `mustExist`) the file
    // or the database of `where`. nullptr and `error` when it cannot be used.
    static std::unique_ptr<StationDatabase> open(const std::string& where, bool mustExist,
                                                 std::string& error);
    explicit StationDatabase(std::unique_ptr<SqlSessions> sessions) : sessions_(std::move(sessions)) {}

    // This process is the station named `station`; false (see lastError)
    // when another living station writes under that name to the same
    // database: their ports' previous batches would be mixed up.
    bool claim(const std::string& station);

    // Batches of `station` left receiving by a station that died (call it
    // after claim(), so that they are not a living one's): marked
    // interrupted, the repeats they held settled. How many there were.
    int recover(const std::string& station, const std::string& now);

    PreviousBatch previousBatch(const std::string& station, const std::string& port);

    // Each of these is one transaction; false (see lastError) when it failed.
    std::optional<int64_t> beginBatch(const std::string& station, const std::string& port,
                                      const std::string& now);
    bool storeRecord(int64_t batch, int number, int serial, const std::string& now,
                     const std::string& data, const std::vector<std::string>& fields);
    bool holdRepeat(int64_t batch, int number, int serial, const std::string& now,
                    int64_t recordId);
    // The held repeats of `batch`, in order: the first settlement.repeats
    // stay repeats, the rest become records of the batch.
    bool settle(int64_t batch, const RepeatSettlement& settlement);
    bool endBatch(int64_t batch, const std::string& now, const std::string& outcome,
                  const std::string& message);

    std::vector<StationRecord> records(const RecordQuery& query);
    std::vector<StationBatch> batches();
    // The records of `query` and, in the same transaction, their marking as
    // exported at `now`: a downstream job takes each record once.
    std::optional<std::vector<StationRecord>> takeRecords(const RecordQuery& query,
                                                          const std::string& now);

    std::string lastError() const;

private:
    // A session of the database for one call.
    class Lease;
    bool failed(SqlSession& session);
    std::vector<StationRecord> recordsFrom(SqlSession& session, std::vector<SqlRow> rows);
    PreviousBatch previousBatchBefore(SqlSession& session, const std::string& station,
                                      const std::string& port, int64_t before);
    bool settleIn(SqlSession& session, int64_t batch, const RepeatSettlement& settlement);

    std::unique_ptr<SqlSessions> sessions_;
    mutable std::mutex errorMutex_;
    std::string error_;
};

// A --db value as it may be shown and logged: a URL's password hidden.
std::string shownDatabaseName(const std::string& where);

// A moment as the database keeps it: UTC, milliseconds, ISO 8601.
std::string stationTimestamp(int64_t unixMs);
std::string stationTimestampNow();

}  // namespace fw
