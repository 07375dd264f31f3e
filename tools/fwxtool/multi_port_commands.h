// fwxtool on several ports at once: the port options of the transfer
// commands, the ports command, and a download, lookup, receive or load run
// on every port in parallel with its progress and its summary.
#pragma once

#include <atomic>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "tools/fwxtool/commands.h"

namespace fw::tool {

struct PortArguments {
    bool portOption = false;   // --port was given
    bool json = false;         // --json
};

// Takes "--port P" / "--port=P" (repeated, each P one port or a comma list)
// and "--json" out of `args`. When --port was given, its values go back in
// as args[1], joined by commas, where the PORT argument stands. `allowPort`
// false: --port is an error. Returns an empty string, or what is wrong.
std::string takePortArguments(std::vector<std::string>& args, PortArguments& ports,
                              bool allowPort);

enum class PortCommand { download, lookup, receive, load };

struct MultiPortRequest {
    PortCommand command = PortCommand::download;
    std::vector<std::string> ports;
    std::string file;    // the program or lookup file; receive: the output folder
    TransferOptions transfer;
    LoadOptions load;
    bool json = false;
    // The single-port command does not do: several ports, a JSON summary,
    // or a receive into a folder.
    bool parallel = false;
};

// Reads the PORT and FILE arguments of `command` ("download", "lookup",
// "receive" or "load"). Returns an empty string, or what is wrong.
std::string makeMultiPortRequest(const std::string& command, const std::string& portArgument,
                                 const std::string& fileArgument, const PortArguments& options,
                                 MultiPortRequest& request);

// Prepares the image or the file once, then runs the command on every port
// at once. Progress goes to `err`: a live line per port when `liveLines`
// (a terminal), else a line as each port starts and ends. The summary (a
// table, or JSON) goes to `out`. Ctrl+C cancels every port. 0 when every
// port succeeded, 1 otherwise.
int runMultiPort(const MultiPortRequest& request, std::ostream& out, std::ostream& err,
                 bool liveLines);

// While ports run, Ctrl+C (or a TERM) sets flag(): every port is asked to
// cancel, closes its port, and a receive keeps exactly the records it
// acknowledged. A second Ctrl+C ends the program at once.
class InterruptCatcher {
public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;
    const std::atomic<bool>& flag() const;

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

// The serial ports of this machine, one line each (device, kind,
// description), or a JSON array.
int commandPorts(bool json, std::ostream& out, std::ostream& err);

}  // namespace fw::tool
