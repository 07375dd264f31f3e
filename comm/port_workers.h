// Several terminals served at once, one port each: the list of ports a
// command names, one worker thread per port, and the board on which the
// workers post how far they are. A port's failure, or its silence, touches
// no other port: the workers share nothing but the board, and they hold its
// lock only to post.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "comm/exchange.h"
#include "comm/transfer_runner.h"

namespace fw {

// A worker is a thread with a port, a pipe and a file; a row of forty
// cradles fits well below this, a typing slip of a glob does not.
constexpr std::size_t kMaxParallelPorts = 64;

// The ports of a command line: each value is one port or a comma list of
// them, in the order given. Returns an empty string, or what is wrong: an
// empty name, a port named twice, or more ports than kMaxParallelPorts.
std::string splitPortList(const std::vector<std::string>& values, std::vector<std::string>& ports);

// The name of a port's received-data file in the output folder: the
// device's path below /dev (or the path itself, less its leading '/'), each
// '/' and each byte other than a letter, a digit, '.', '-' or '_' made '_',
// with ".TXT": "/dev/ttyUSB0" gives "ttyUSB0.TXT", "/dev/pts/3" "pts_3.TXT".
std::string receiveFileName(const std::string& port);

enum class PortState { waiting, running, succeeded, failed, cancelled };

// How a port's job ended.
struct PortOutcome {
    PortState state = PortState::failed;   // succeeded, failed or cancelled
    std::string message;                   // what the user reads
    uint64_t bytes = 0;                    // delivered to the terminal, or received
    int records = 0;                       // receive
    std::string file;                      // receive: the file kept, if any
};

// One row of the board.
struct PortStatus {
    std::string port;
    PortState state = PortState::waiting;
    int position = 0;    // the bar, 0..100
    int count = 0;       // blocks, lines or records so far
    double seconds = 0;  // from the worker's start to its end
    std::string note;    // a long-running job's own word on where it is
    PortOutcome outcome; // once the state is succeeded, failed or cancelled
};

class PortBoard;

// What a port's job posts while it runs, from its own thread.
class PortReporter final : public TransferObserver {
public:
    PortReporter(PortBoard& board, std::size_t index) : board_(board), index_(index) {}
    void progress(int position) override;
    void recordCount(int count) override;
    // Blocks or lines so far.
    void count(int n);
    // What the port is doing, in a few words ("idle", "receiving 12").
    void note(const std::string& text);

private:
    PortBoard& board_;
    std::size_t index_;
};

// A port's job: the whole transfer on that port, from opening it to closing
// it. It ends early, with nothing more sent, once `cancel` is requested.
using PortJob =
    std::function<PortOutcome(const std::string& port, PortReporter& reporter, ExchangeCancel& cancel)>;

// Called on the watching thread with the whole board whenever it changed.
using PortWatch = std::function<void(const std::vector<PortStatus>& board)>;

class PortBoard {
public:
    explicit PortBoard(const std::vector<std::string>& ports);

    // The rows as they are now, and a number that grows with every change.
    std::vector<PortStatus> snapshot(uint64_t* version = nullptr) const;

private:
    friend class PortReporter;
    friend std::vector<PortStatus> runOnPorts(const std::vector<std::string>&, const PortJob&,
                                              const PortWatch&, const std::atomic<bool>*, int);
    template <typename F>
    void post(std::size_t index, F&& change, bool wake);

    mutable std::mutex mutex_;
    std::condition_variable ended_;
    std::vector<PortStatus> rows_;
    uint64_t version_ = 0;
    std::size_t ending_ = 0;   // workers still running
};

// Runs `job` for every port at once, one thread each, and returns the board
// once every worker has ended. The calling thread watches: `watch` sees the
// board at most every tickMs when it changed, and once more at the end.
// When `stop` becomes true (a Ctrl+C) every port is cancelled; each job then
// ends as its transfer does when cancelled.
std::vector<PortStatus> runOnPorts(const std::vector<std::string>& ports, const PortJob& job,
                                   const PortWatch& watch, const std::atomic<bool>* stop = nullptr,
                                   int tickMs = 100);

}  // namespace fw
