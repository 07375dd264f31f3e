#include "loader/loader_session.h"

#include <algorithm>

#include "comm/cradle.h"
#include "comm/exchange.h"
#include "comm/transfer_runner.h"

namespace fw::loader {

namespace {

// The user's side of the exchange, as the one host passes it on: its
// notices and its retry question.
class UiObserver final : public TransferObserver {
public:
    explicit UiObserver(LoaderUi& ui) : ui_(ui) {}
    void openProgress() override {
        ui_.openProgress();
        shown_ = 0;
    }
    void progress(int position) override {
        // The exchange reports every block; the bar is set (a trip to the
        // window's thread) only when it moves.
        if (position != shown_) ui_.setProgress(shown_ = position);
    }
    void closeProgress() override { ui_.closeProgress(); }
    void message(int m) override { ui_.showMessage(static_cast<Message>(m)); }
    bool askRetry() override { return ui_.askRetry(); }

private:
    LoaderUi& ui_;
    int shown_ = 0;   // where the bar stands; a new window opens it at 0
};

// The cradle set-up writes the three bytes that switch the cradle's speed
// back to back and changes the line's speed right after them. A write ends
// when the bytes are handed to the driver, not when they have left the
// line, so a speed change at once could garble the last of them and leave
// the cradle at its old speed. This port lets a speed change wait until the
// bytes written before it have had time to go out at the old speed, plus a
// little for the driver; it adds nothing anywhere else.
class SpeedChangeAfterDrain final : public SerialPort {
public:
    SpeedChangeAfterDrain(SerialPort& port, LinkClock& clock) : port_(port), clock_(clock) {}

    PortOpen open(const std::string& name) override { return port_.open(name); }
    bool isOpen() const override { return port_.isOpen(); }
    void close() override { port_.close(); }
    bool setQueueSizes(std::size_t in, std::size_t out) override {
        return port_.setQueueSizes(in, out);
    }
    bool setTimeouts(const SerialTimeouts& t) override { return port_.setTimeouts(t); }
    bool lineSettings(LineSettings& line) override { return port_.lineSettings(line); }
    bool applyLine(const LineSettings& line) override {
        if (line.baudRate != baud_) {
            const int64_t left = freeAt_ - clock_.nowMs();
            if (left > 0) clock_.sleepMs(int(left));
        }
        if (!port_.applyLine(line)) return false;
        baud_ = line.baudRate;
        return true;
    }
    bool write(std::span<const uint8_t> bytes) override {
        if (!port_.write(bytes)) return false;
        if (baud_ > 0) {
            // 10 bits a byte, rounded up to the millisecond.
            const int64_t lineMs = (int64_t(bytes.size()) * 10000 + baud_ - 1) / baud_;
            freeAt_ = std::max(freeAt_, clock_.nowMs()) + lineMs + kDriverSlackMs;
        }
        return true;
    }
    long read(std::span<uint8_t> buffer) override { return port_.read(buffer); }
    PortWait waitReadable(int timeoutMs) override { return port_.waitReadable(timeoutMs); }
    void wakeWaiter() override { port_.wakeWaiter(); }
    void purgeInput() override { port_.purgeInput(); }
    void purgeOutput() override { port_.purgeOutput(); }

private:
    static constexpr int64_t kDriverSlackMs = 10;
    SerialPort& port_;
    LinkClock& clock_;
    uint32_t baud_ = 0;
    int64_t freeAt_ = 0;
};

// Closes the port however the run ends.
struct PortCloser {
    SerialPort& port;
    ~PortCloser() { port.close(); }
};

}  // namespace

bool runExchange(LoaderExchange& exchange, SerialPort& port, LinkClock& clock, LoaderUi& ui,
                 ExchangeCancel* cancel) {
    UiObserver observer(ui);
    TransferHost host({nullptr, &observer});
    fw::runExchange(exchange, port, clock, host, cancel);
    return exchange.downloaded();
}

bool runDownload(SerialPort& port, const std::string& portName, const Choices& choices,
                 const ProgramImage& image, LoaderUi& ui, LinkClock& clock,
                 ExchangeCancel* cancel) {
    PortCloser closer{port};
    if (cancel && cancel->requested()) return false;
    if (port.open(portName) != PortOpen::opened) {
        ui.showMessage(Message::cantOpenComPort);
        return false;
    }
    // A driver that cannot size its queues keeps its own; that is no failure.
    port.setQueueSizes(kInputQueueSize, kOutputQueueSize);

    LineSettings line{baudForChoice(choices.speed), false, false};
    if (choices.link == kLinkCradleIr) {
        // The cradle's own waits (a fixed 100 ms each) stay; they are spent
        // asleep, not spinning on the tick count.
        port.setTimeouts(kTransferTimeouts);
        CradleMachine cradle = CradleMachine::configure(line.baudRate, kLoaderCradleTiming);
        SpeedChangeAfterDrain drained(port, clock);
        const CradleOutcome outcome = runCradle(cradle, drained, clock, cancel);
        if (cancel && cancel->requested()) return false;
        if (!outcome.success) {
            ui.showMessage(Message::cannotConfigureIr);
            return false;
        }
        line = LineSettings{outcome.baudRate, true, true};
    }
    if (!port.applyLine(line)) {
        ui.showMessage(Message::failedToInitializeComPort);
        return false;
    }

    LoaderExchange exchange(image);
    return runExchange(exchange, port, clock, ui, cancel);
}

}  // namespace fw::loader
