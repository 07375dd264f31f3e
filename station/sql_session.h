// What the station's database needs of an SQL engine: statements with
// parameters $1, $2, ... (typed, so that every engine reads them alike),
// their rows as bytes, and transactions. The station's SQL is written once
// against this; an engine adds only its connection and its schema.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

struct SqlValue {
    enum class Kind { integer, text, bytes };
    Kind kind = Kind::integer;
    int64_t integer = 0;
    std::string text;   // text (UTF-8) or bytes

    static SqlValue of(int64_t v) { return {Kind::integer, v, {}}; }
    static SqlValue of(const std::string& v) { return {Kind::text, 0, v}; }
    static SqlValue bytes(const std::string& v) { return {Kind::bytes, 0, v}; }
};

// A row: each column as bytes (integers in decimal, NULL as nothing).
using SqlRow = std::vector<std::string>;

// The integer of a column; 0 when it is none.
int64_t sqlInteger(const std::string& column);

class SqlSession {
public:
    virtual ~SqlSession() = default;
    // One statement; its rows appended to `rows` when given. false: error().
    virtual bool run(std::string_view sql, const std::vector<SqlValue>& params,
                     std::vector<SqlRow>* rows) = 0;
    // A transaction that writes (taking what the engine needs for that at
    // once), or one consistent view for reading.
    virtual bool begin(bool write) = 0;
    virtual bool commit() = 0;
    virtual void rollback() = 0;
    // One statement that writes, in a transaction of its own: what
    // begin(true), run and commit() do, in one exchange where the engine can.
    virtual bool runCommitted(std::string_view sql, const std::vector<SqlValue>& params,
                              std::vector<SqlRow>* rows) = 0;
    virtual std::string error() const = 0;
};

// The sessions of one database. A session serves one call at a time: it is
// taken for the call and given back after it.
class SqlSessions {
public:
    virtual ~SqlSessions() = default;
    virtual SqlSession& take() = 0;
    virtual void giveBack(SqlSession& session) = 0;
    // This process is the station named `station` for as long as it lives;
    // false (and why) when another one that lives is.
    virtual bool claim(const std::string& station, std::string& error) = 0;
};

// An SQLite file (created when missing, unless `mustExist`), with its schema.
std::unique_ptr<SqlSessions> openSqliteSessions(const std::string& path, bool mustExist,
                                                std::string& error);
// A PostgreSQL database by its URL, with its schema; in a build without
// libpq, nullptr and an error that says so.
std::unique_ptr<SqlSessions> openPostgresSessions(const std::string& url, bool mustExist,
                                                  std::string& error);

}  // namespace fw
