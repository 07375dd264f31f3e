#include "station/station_port.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>

#include "comm/serial_link.h"
#include "station/repeat_rule.h"
#include "station/station_exchanges.h"
#include "texts/code_page.h"
#include "texts/texts.h"

namespace fw {

std::vector<std::string> splitRecordFields(const std::string& data, const std::string& separator) {
    std::vector<std::string> fields;
    if (separator.empty()) return fields;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t at = data.find(separator, begin);
        fields.push_back(utf8FromCodePage(std::string_view(data).substr(begin, at - begin)));
        if (at == std::string::npos) break;
        begin = at + separator.size();
    }
    return fields;
}

std::string localTimeText(int64_t unixMs, const char* format) {
    // std::localtime shares one buffer between threads: every caller comes here.
    static std::mutex mutex;
    std::lock_guard<std::mutex> lock(mutex);
    const std::time_t t = std::time_t(unixMs / 1000);
    const std::tm* tm = std::localtime(&t);
    char buf[64] = "";
    if (tm == nullptr || std::strftime(buf, sizeof buf, format, tm) == 0) return "?";
    return buf;
}

namespace {

int64_t unixNowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// Stores what an ask receives: each record (or its reference, while it may
// be a repeat) committed before the engine acknowledges it.
class BatchStore final : public ExchangeHost {
public:
    BatchStore(StationDatabase& db, const StationOptions& options, const std::string& port,
               PortReporter& reporter)
        : db_(db), options_(options), port_(port), reporter_(reporter),
          previous_(db.previousBatch(options.station, port)),
          matcher_(previous_.data, previous_.found
                                       ? repeatScopeFor(previous_.completed, options.skipRepeated)
                                       : RepeatScope::none) {}

    ExchangeAnswer request(const ExchangeAction& action) override {
        using Kind = ExchangeAction::Kind;
        if (action.kind == Kind::writeRecord) return {storeRecord(action)};
        if (action.kind == Kind::syncRecords) {
            // "OVER\r": each record is durable already; a batch that brought
            // none still gets its row.
            if (!begin()) return {false};
            return {db_.settle(batch_, matcher_.finish())};
        }
        return {};
    }

    // Ends the batch row, if the terminal sent anything; false when the
    // database did not take the end.
    bool end(const std::string& now, const char* outcome, const std::string& message) {
        if (batch_ == 0) return true;
        if (matcher_.held() > 0) db_.settle(batch_, matcher_.finish());
        return db_.endBatch(batch_, now, outcome, message);
    }

    int64_t batch() const { return batch_; }

    int received() const { return received_; }
    int stored() const { return stored_; }
    int skipped() const { return skipped_; }
    bool storeFailed() const { return storeFailed_; }

private:
    bool begin() {
        if (batch_ != 0) return true;
        const std::optional<int64_t> id = db_.beginBatch(options_.station, port_, stationTimestampNow());
        if (!id) return false;
        batch_ = *id;
        return true;
    }

    bool storeRecord(const ExchangeAction& action) {
        if (!begin()) return fail();
        // The line ends in CR LF; the record is what comes before.
        std::string data(action.bytes.begin(), action.bytes.end());
        if (data.size() >= 2) data.resize(data.size() - 2);
        const int number = received_ + 1;
        const std::string now = stationTimestampNow();
        const RepeatMatcher::Step step = matcher_.offer(data);
        if (step.settled) {
            if (!db_.settle(batch_, step.settlement)) return fail();
            skipped_ += int(step.settlement.repeats);
            stored_ += int(step.settlement.released);
        }
        bool ok;
        if (step.held) {
            ok = db_.holdRepeat(batch_, number, action.value, now, previous_.recordIds[step.matched]);
        } else {
            ok = db_.storeRecord(batch_, number, action.value, now, data,
                                 splitRecordFields(data, options_.separator));
            if (ok) ++stored_;
        }
        if (!ok) return fail();
        received_ = number;
        reporter_.count(received_);
        reporter_.note("receiving " + std::to_string(received_));
        return true;
    }

    bool fail() {
        storeFailed_ = true;
        return false;
    }

    StationDatabase& db_;
    const StationOptions& options_;
    const std::string& port_;
    PortReporter& reporter_;
    PreviousBatch previous_;
    RepeatMatcher matcher_;
    int64_t batch_ = 0;
    int received_ = 0;
    int stored_ = 0;
    int skipped_ = 0;
    bool storeFailed_ = false;
};

const char* batchOutcome(int result) {
    return result == kTransferDone ? kBatchCompleted : result == kTransferCancelled ? kBatchStopped : kBatchFailed;
}

std::string resultText(int result) {
    std::string text = loadText(unsigned(result));
    return text.empty() ? "failed (" + std::to_string(result) + ")" : text;
}

class PortLoop {
public:
    PortLoop(SerialSystem& system, const std::string& port, StationDatabase& db,
             const StationOptions& options, PortReporter& reporter, ExchangeCancel& cancel,
             StationLog* log, LinkClock& clock)
        : system_(system), port_(port), db_(db), options_(options), reporter_(reporter),
          cancel_(cancel), log_(log), clock_(clock), rule_(options.timing) {}

    PortOutcome run() {
        reporter_.note("idle");
        while (!cancel_.requested()) {
            if (!serial_ && !openPort()) {
                pause(options_.timing.retryMs);
                continue;
            }
            waitUntil(start_ + rule_.dueAtMs());
            if (cancel_.requested()) break;
            if (rule_.next() == AskRule::Next::ask) ask();
            else probe();
        }
        closePort();
        endUnended();
        PortOutcome o;
        o.state = PortState::succeeded;
        o.records = stored_;
        o.message = "stopped, " + std::to_string(stored_) + (stored_ == 1 ? " record" : " records") +
                    " stored";
        reporter_.note("stopped");
        return o;
    }

private:
    int64_t elapsed() { return clock_.nowMs() - start_; }

    void event(const std::string& text) {
        if (log_) log_->event(port_, text);
    }

    bool openPort() {
        const int opened = openLink(options_.link.linkType, 0, options_.link.speedChoice, system_, serial_,
                                    clock_, &cancel_);
        if (opened == kLinkOpened && !cancel_.requested()) {
            serial_->purgeInput();
            if (failure_.size()) event("open again");
            failure_.clear();
            reporter_.note(lastBatch_.empty() ? "idle" : lastBatch_);
            return true;
        }
        closePort();
        if (cancel_.requested()) return false;
        const std::string text = resultText(opened);
        // A port that stays unavailable is logged once, not every few seconds.
        if (text != failure_) event("failed: " + text);
        failure_ = text;
        reporter_.note("failed: " + text);
        return false;
    }

    void closePort() {
        if (!serial_) return;
        serial_->purgeInput();
        serial_->close();
        serial_.reset();
    }

    // Blocks in the port (or, without one, sleeps) until the moment comes
    // or the station ends; bytes nobody asked for are no reply.
    void waitUntil(int64_t atMs) {
        cancel_.attach(serial_.get());
        uint8_t junk[256];
        for (;;) {
            if (cancel_.requested()) break;
            const int64_t left = atMs - clock_.nowMs();
            if (left <= 0) break;
            if (!serial_) {
                clock_.sleepMs(int(std::min<int64_t>(left, 250)));
                continue;
            }
            if (serial_->waitReadable(int(left)) == PortWait::failed) {
                clock_.sleepMs(int(std::min<int64_t>(left, 250)));
                continue;
            }
            while (serial_->read(junk) > 0) {
            }
        }
        cancel_.attach(nullptr);
    }

    void pause(int ms) { waitUntil(clock_.nowMs() + ms); }

    void ask() {
        endUnended();
        AskExchange exchange;
        BatchStore store(db_, options_, port_, reporter_);
        const int result = runExchange(exchange, *serial_, clock_, store, &cancel_);
        std::string message;
        if (result != kTransferDone && result != kTransferCancelled) message = resultText(result);
        const std::string now = stationTimestampNow();
        const char* outcome = batchOutcome(result);
        if (!store.end(now, outcome, message)) unended_ = Unended{store.batch(), now, outcome, message};
        stored_ += store.stored();

        if (result == kTransferDone) {
            lastBatch_ = "last batch at " + localTimeText(unixNowMs(), "%H:%M") + " with " +
                         std::to_string(store.stored()) + (store.stored() == 1 ? " record" : " records");
            std::string text = "batch of " + std::to_string(store.received()) + " received, " +
                               std::to_string(store.stored()) + " stored";
            if (store.skipped() > 0) text += ", " + std::to_string(store.skipped()) + " already stored";
            event(text);
            rule_.asked(elapsed(), AskOutcome::completed);
        } else if (exchange.silent() || (result == kTransferCancelled && store.received() == 0)) {
            rule_.asked(elapsed(), AskOutcome::silent);
        } else {
            if (result != kTransferCancelled) {
                event("batch broken off after " + std::to_string(store.received()) + " records: " + message);
            }
            rule_.asked(elapsed(), AskOutcome::broken);
        }
        reporter_.note(cancel_.requested() ? "stopped" : lastBatch_.empty() ? "idle" : lastBatch_);
        if (result == kErrorOnUploading || store.storeFailed()) {
            if (store.storeFailed()) event("cannot store: " + db_.lastError());
            closePort();
        }
    }

    // A batch whose end the database did not take (it was away) is ended
    // as soon as it answers again, before the port's next batch: its row
    // would otherwise say "receiving" for ever.
    struct Unended {
        int64_t batch;
        std::string endedAt;
        const char* outcome;
        std::string message;
    };

    void endUnended() {
        if (unended_ && db_.endBatch(unended_->batch, unended_->endedAt, unended_->outcome, unended_->message)) {
            unended_.reset();
        }
    }

    void probe() {
        ProbeExchange exchange;
        ExchangeHost nobody;
        const int result = runExchange(exchange, *serial_, clock_, nobody, &cancel_);
        if (cancel_.requested()) return;
        rule_.probed(elapsed(), result == kTransferDone);
        if (!rule_.resting()) event("terminal gone");
        if (result == kErrorOnUploading) closePort();
    }

    SerialSystem& system_;
    const std::string& port_;
    StationDatabase& db_;
    const StationOptions& options_;
    PortReporter& reporter_;
    ExchangeCancel& cancel_;
    StationLog* log_;
    LinkClock& clock_;
    AskRule rule_;
    int64_t start_ = clock_.nowMs();
    std::unique_ptr<SerialPort> serial_;
    std::string failure_;
    std::string lastBatch_;
    std::optional<Unended> unended_;
    int stored_ = 0;
};

}  // namespace

PortOutcome runStationPort(SerialSystem& system, const std::string& port, StationDatabase& db,
                           const StationOptions& options, PortReporter& reporter,
                           ExchangeCancel& cancel, StationLog* log, LinkClock& clock) {
    return PortLoop(system, port, db, options, reporter, cancel, log, clock).run();
}

}  // namespace fw
