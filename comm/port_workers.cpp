#include "comm/port_workers.h"

#include <chrono>
#include <exception>
#include <set>
#include <thread>

#include "resources/text_ids.h"
#include "texts/texts.h"

namespace fw {

std::string splitPortList(const std::vector<std::string>& values, std::vector<std::string>& ports) {
    std::vector<std::string> found;
    std::set<std::string> seen;
    for (const std::string& value : values) {
        std::size_t begin = 0;
        for (;;) {
            const std::size_t comma = value.find(',', begin);
            const std::string name =
                value.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
            if (name.empty()) return "empty port name in '" + value + "'";
            // The same port twice would fight itself for the device.
            if (!seen.insert(name).second) return "port '" + name + "' is named twice";
            found.push_back(name);
            if (found.size() > kMaxParallelPorts) {
                return "too many ports (at most " + std::to_string(kMaxParallelPorts) + " at once)";
            }
            if (comma == std::string::npos) break;
            begin = comma + 1;
        }
    }
    ports.swap(found);
    return {};
}

std::string receiveFileName(const std::string& port) {
    std::string rest = port;
    if (rest.rfind("/dev/", 0) == 0) rest.erase(0, 5);
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    std::string name;
    for (char c : rest) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        name += plain ? c : '_';
    }
    // "." and ".." are folders, not files.
    if (name.empty() || name.find_first_not_of('.') == std::string::npos) name = "port" + name;
    return name + ".TXT";
}

PortBoard::PortBoard(const std::vector<std::string>& ports) {
    rows_.resize(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) rows_[i].port = ports[i];
}

std::vector<PortStatus> PortBoard::snapshot(uint64_t* version) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (version) *version = version_;
    return rows_;
}

template <typename F>
void PortBoard::post(std::size_t index, F&& change, bool wake) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!change(rows_[index])) return;
        ++version_;
    }
    if (wake) ended_.notify_all();
}

void PortReporter::progress(int position) {
    board_.post(index_, [position](PortStatus& row) {
        if (row.position == position) return false;
        row.position = position;
        return true;
    }, false);
}

void PortReporter::count(int n) {
    board_.post(index_, [n](PortStatus& row) {
        if (row.count == n) return false;
        row.count = n;
        return true;
    }, false);
}

void PortReporter::recordCount(int n) { count(n); }

void PortReporter::note(const std::string& text) {
    board_.post(index_, [&text](PortStatus& row) {
        if (row.note == text) return false;
        row.note = text;
        return true;
    }, false);
}

std::vector<PortStatus> runOnPorts(const std::vector<std::string>& ports, const PortJob& job,
                                   const PortWatch& watch, const std::atomic<bool>* stop,
                                   int tickMs) {
    using Clock = std::chrono::steady_clock;
    PortBoard board(ports);
    // ExchangeCancel holds a mutex: one allocation each, never moved.
    std::vector<std::unique_ptr<ExchangeCancel>> cancels;
    for (std::size_t i = 0; i < ports.size(); ++i) cancels.push_back(std::make_unique<ExchangeCancel>());

    auto finish = [&board](std::size_t i, PortOutcome outcome, Clock::time_point start) {
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        board.post(i, [&](PortStatus& row) {
            row.state = outcome.state;
            row.seconds = seconds;
            row.outcome = std::move(outcome);
            --board.ending_;
            return true;
        }, true);
    };

    std::vector<std::thread> workers;
    workers.reserve(ports.size());
    {
        std::lock_guard<std::mutex> lock(board.mutex_);
        board.ending_ = ports.size();
    }
    for (std::size_t i = 0; i < ports.size(); ++i) {
        auto work = [&, i] {
            const Clock::time_point start = Clock::now();
            board.post(i, [](PortStatus& row) {
                row.state = PortState::running;
                return true;
            }, false);
            PortReporter reporter(board, i);
            PortOutcome outcome;
            try {
                outcome = job(ports[i], reporter, *cancels[i]);
            } catch (const std::exception& e) {
                outcome.state = PortState::failed;
                outcome.message = e.what();
            }
            finish(i, std::move(outcome), start);
        };
        try {
            workers.emplace_back(work);
        } catch (const std::exception&) {
            // No thread for this port: it fails, the others go on.
            PortOutcome outcome;
            outcome.state = PortState::failed;
            outcome.message = loadText(kFailedToEstablishConnection);
            finish(i, std::move(outcome), Clock::now());
        }
    }

    uint64_t shown = ~uint64_t{0};
    bool cancelled = false;
    for (;;) {
        bool allEnded;
        {
            std::unique_lock<std::mutex> lock(board.mutex_);
            // Progress does not wake the watcher (a redraw per block would
            // cost more than the transfers); an end does.
            board.ended_.wait_for(lock, std::chrono::milliseconds(tickMs),
                                  [&] { return board.ending_ == 0; });
            allEnded = board.ending_ == 0;
        }
        if (!cancelled && stop && stop->load()) {
            cancelled = true;
            for (auto& c : cancels) c->request();
        }
        if (allEnded) break;
        uint64_t version = 0;
        std::vector<PortStatus> rows = board.snapshot(&version);
        if (version != shown && watch) watch(rows);
        shown = version;
    }
    for (std::thread& t : workers) t.join();
    std::vector<PortStatus> rows = board.snapshot();
    if (watch) watch(rows);
    return rows;
}

}  // namespace fw
