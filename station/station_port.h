// One port of the collection station, from the station's start to its end:
// the port kept open (the cradle set up once), the terminal asked for its
// records as the ask rule says, each record stored before it is
// acknowledged, repeats of the previous batch acknowledged but not stored
// again, and a line that fails opened again later without touching the
// other ports.
#pragma once

#include <string>
#include <vector>

#include "comm/link_clock.h"
#include "comm/port_workers.h"
#include "comm/serial_port.h"
#include "comm/transfer_session.h"
#include "station/ask_rule.h"
#include "station/station_database.h"

namespace fw {

struct StationOptions {
    std::string station;        // this station's name in the database
    LinkChoice link;            // link and speed; the port is the system's first
    bool skipRepeated = false;  // a batch that begins with the whole previous one: skipped
    std::string separator;      // between a record's fields; empty: no fields
    AskTiming timing;
};

// The station's log: what happened on a port, as a line of text.
class StationLog {
public:
    virtual ~StationLog() = default;
    virtual void event(const std::string& port, const std::string& text) = 0;
};

// A record's fields: its bytes split at every `separator`, as UTF-8.
std::vector<std::string> splitRecordFields(const std::string& data, const std::string& separator);

// "HH:MM" of a moment, in this machine's local time.
std::string localClockText(int64_t unixMs);

// Runs until `cancel` is requested; a record being received then is stored
// and acknowledged first. `port` names the port in the database, the log
// and the board; `system` holds it as its first entry.
PortOutcome runStationPort(SerialSystem& system, const std::string& port, StationDatabase& db,
                           const StationOptions& options, PortReporter& reporter,
                           ExchangeCancel& cancel, StationLog* log = nullptr,
                           LinkClock& clock = systemLinkClock());

}  // namespace fw
