// A build without libpq (Windows: libpq has no MinGW build here): the
// station keeps its records in SQLite only, and a PostgreSQL URL says so.
#include "station/sql_session.h"

namespace fw {

std::unique_ptr<SqlSessions> openPostgresSessions(const std::string&, bool, std::string& error) {
    error = "this build of fwxtool keeps the station's records in an SQLite file only: "
            "give --db a file name (PostgreSQL needs the Linux build)";
    return nullptr;
}

}  // namespace fw
