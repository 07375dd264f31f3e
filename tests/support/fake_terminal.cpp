#include "tests/support/fake_terminal.h"

#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace fw::test {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kBlockSize = 103;
constexpr int kBlocks = 200;
constexpr std::size_t kImageSize = 20000;

uint8_t noCr(uint8_t b) {
    return b == 0x0D ? uint8_t(0x0E) : b;
}

// Noise around a reply: high bytes the PC must drop and letters it must
// look past; never a CR, which would make a reply of its own.
const std::string kNoiseBefore = "\x81\xFEzz";
const std::string kNoiseAfter = "\xAA\x90q";

}  // namespace

std::string terminalRecord(int serial, const std::string& data) {
    std::string r(1, char(serial));
    r += data;
    unsigned sum = 0;
    for (char c : r) sum += static_cast<uint8_t>(c);
    r += char(noCr(uint8_t(sum & 0xFF)));
    r += char(noCr(uint8_t((sum >> 8) & 0xFF)));
    r += '\r';
    return r;
}

bool lookupFrameSumOk(const std::string& frame) {
    if (frame.size() < 3) return false;
    const std::size_t n = frame.size() - 2;
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += static_cast<uint8_t>(frame[i]);
    return static_cast<uint8_t>(frame[n]) == noCr(uint8_t(sum >> 8)) &&
           static_cast<uint8_t>(frame[n + 1]) == noCr(uint8_t(sum & 0xFF));
}

FakeTerminal::FakeTerminal(TerminalScript script) : script_(std::move(script)) {
    report_.image.assign(kImageSize, 0);
    report_.blockSeen.assign(kBlocks, false);
    nakCount_.assign(kBlocks + 1000, 0);
    if (script_.paceBaud > 0) byteSeconds_ = 10.0 / script_.paceBaud;
    if (script_.cradleBaud > 0) {
        cradle_ = std::make_unique<CradleModel>(script_.cradleBaud);
        report_.cradleBaud = script_.cradleBaud;
    }

    if (!pty_.open()) return;
    up_ = true;
    thread_ = std::thread([this] { run(); });
}

FakeTerminal::~FakeTerminal() {
    stop();
}

void FakeTerminal::stop() {
    if (thread_.joinable()) {
        pty_.stop.wake();
        thread_.join();
    }
    pty_.hangUp();
}

TerminalReport FakeTerminal::report() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return report_;
}

bool FakeTerminal::waitFinished(int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return report_.finished || report_.lineClosed; });
}

void FakeTerminal::run() {
    // A paced line wakes to the microsecond, not 50 us late as the default
    // timer slack lets it: the figures measured against it are the host's.
    if (byteSeconds_ > 0) ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    uint8_t buffer[4096];
    while (pty_.master >= 0) {
        pollfd p[2] = {{pty_.master, POLLIN, 0}, {pty_.stop.readFd(), POLLIN, 0}};
        int r = ::poll(p, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || (p[1].revents & POLLIN)) return;
        if (p[0].revents & (POLLERR | POLLNVAL)) return;
        if (!(p[0].revents & POLLIN)) continue;
        ssize_t n = ::read(pty_.master, buffer, sizeof buffer);
        if (n > 0) handle(buffer, std::size_t(n));
    }
}

void FakeTerminal::handle(const uint8_t* bytes, std::size_t n) {
    if (byteSeconds_ > 0) {
        // The bytes are through the wire only after 10 bits each.
        auto now = Clock::now();
        if (rxFreeAt_ < now) rxFreeAt_ = now;
        rxFreeAt_ += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(byteSeconds_ * double(n)));
        std::this_thread::sleep_until(rxFreeAt_);
    }
    for (std::size_t i = 0; i < n && pty_.master >= 0 && !done_; ++i) {
        const uint8_t b = bytes[i];
        if (cradle_ && !throughCradle(b)) continue;
        if (!opened_) {
            handleOpening(b);
            continue;
        }
        switch (script_.exchange) {
        case TerminalExchange::program:
        case TerminalExchange::loader: handleBlockByte(b); break;
        case TerminalExchange::lookup: handleLineByte(b); break;
        case TerminalExchange::receive: handleReceiveByte(b); break;
        }
    }
}

void FakeTerminal::handleOpening(uint8_t b) {
    text_ += char(b);
    if (b != '\r') {
        if (text_.size() > 64) text_.erase(0, text_.size() - 16);
        return;
    }
    const std::string opening = script_.exchange == TerminalExchange::receive  ? "GETD\r"
                                : script_.exchange == TerminalExchange::loader ? "VELMOR\r"
                                                                               : "QUARIX\r";
    const bool isOpening = text_.size() >= opening.size() &&
                           text_.compare(text_.size() - opening.size(), opening.size(), opening) == 0;
    text_.clear();
    if (!isOpening) return;
    int openings;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        openings = ++report_.openings;
    }
    changed_.notify_all();
    if (script_.ignoreOpenings < 0 || openings <= script_.ignoreOpenings) return;
    opened_ = true;
    if (script_.exchange == TerminalExchange::receive) {
        sendRecord();
    } else {
        reply("ACK\r");
    }
}

bool FakeTerminal::throughCradle(uint8_t b) {
    const uint32_t line = pty_.lineBaud();
    if (cradleSwitched_) return line == cradle_->baud();
    // Setting up: every byte is the cradle's.
    std::vector<uint8_t> answer = cradle_->receive(b, line);
    cradleSwitched_ = !cradle_->switches().empty();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        report_.cradleBaud = cradle_->baud();
        report_.cradleEchoes = cradle_->echoes();
    }
    changed_.notify_all();
    if (!answer.empty()) send(std::string(answer.begin(), answer.end()));
    return false;
}

// The downloader starts each retry with its opening: a frame that is that
// opening and nothing else opens the exchange anew.
bool FakeTerminal::isOpeningAgain() {
    static const std::string kOpening = "VELMOR\r";
    if (script_.exchange != TerminalExchange::loader || frame_.size() != kOpening.size() ||
        !std::equal(frame_.begin(), frame_.end(), kOpening.begin())) {
        return false;
    }
    frame_.clear();
    opened_ = false;
    text_.clear();
    for (char c : kOpening) handleOpening(uint8_t(c));
    return true;
}

void FakeTerminal::handleBlockByte(uint8_t b) {
    frame_.push_back(b);
    if (isOpeningAgain()) return;
    if (frame_.size() < kBlockSize) return;
    unsigned sum = 0;
    for (std::size_t i = 0; i < 100; ++i) sum += frame_[i];
    const int k = frame_[102];
    const bool sound = frame_[100] == (sum >> 8) && frame_[101] == (sum & 0xFF) && k < kBlocks;
    std::vector<uint8_t> block;
    block.swap(frame_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++report_.framesReceived;
        if (!sound) ++report_.badFrames;
    }
    if (!sound) {
        reply("NAK\r");
        return;
    }
    if (k == script_.fullAtFrame) {
        reply("FULL\r");
        std::lock_guard<std::mutex> lock(mutex_);
        report_.finished = done_ = true;
        changed_.notify_all();
        return;
    }
    if (k == script_.nakFrame && nakCount_[std::size_t(k)]++ < script_.nakTimes) {
        reply("NAK\r");
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::copy(block.begin(), block.begin() + 100, report_.image.begin() + long(k) * 100);
        report_.blockSeen[std::size_t(k)] = true;
        if (k == kBlocks - 1) report_.finished = true;
    }
    acknowledged();
}

void FakeTerminal::handleLineByte(uint8_t b) {
    text_ += char(b);
    if (b != '\r') return;
    std::string frame = text_.substr(0, text_.size() - 1);
    text_.clear();
    if (frame == "OVER") {
        std::lock_guard<std::mutex> lock(mutex_);
        report_.overSeen = report_.finished = done_ = true;
        changed_.notify_all();
        return;
    }
    const bool sound = frame.size() >= 3 && lookupFrameSumOk(frame);
    int index;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++report_.framesReceived;
        if (!sound) ++report_.badFrames;
        index = int(report_.lookupLines.size());
    }
    if (!sound) {
        reply("NAK\r");
        return;
    }
    if (index == script_.fullAtFrame) {
        reply("FULL\r");
        return;
    }
    if (index == script_.nakFrame && std::size_t(index) < nakCount_.size() &&
        nakCount_[std::size_t(index)]++ < script_.nakTimes) {
        reply("NAK\r");
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        report_.lookupLines.push_back(frame.substr(0, frame.size() - 2));
    }
    acknowledged();
}

void FakeTerminal::handleReceiveByte(uint8_t b) {
    text_ += char(b);
    if (b != '\r') {
        if (text_.size() > 64) text_.erase(0, text_.size() - 16);
        return;
    }
    std::string message;
    message.swap(text_);
    if (message == "ACK\r") {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++report_.acksReceived;
        }
        if (recordIndex_ == script_.repeatRecord && !repeated_) {
            // Our copy of the acknowledgement is "lost": the record again.
            repeated_ = true;
            sendRecord();
            return;
        }
        if (recordIndex_ < int(script_.records.size())) {
            ++recordIndex_;
            faultsDone_ = 0;
            int acked;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                acked = ++report_.framesAcked;
            }
            if (acked == script_.closeAfter) {
                closeLine();
                return;
            }
        }
        sendRecord();
    } else if (message == "NAK\r") {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++report_.naksReceived;
        }
        sendRecord();
    } else if (message == "GETD\r") {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++report_.reopenings;
        }
        if (overSent_ && script_.keepsRecords) {
            overSent_ = false;
            recordIndex_ = serialBase_ = 0;
        } else if (script_.reopening == TerminalScript::Reopening::resume) {
            serialBase_ = recordIndex_;
        } else if (script_.reopening == TerminalScript::Reopening::wholeBatch) {
            recordIndex_ = serialBase_ = 0;
        }
        sendRecord();   // the sameRecord case: our first record did not arrive
    }
}

void FakeTerminal::sendRecord() {
    if (recordIndex_ >= int(script_.records.size())) {
        reply("OVER\r");
        overSent_ = true;
        std::lock_guard<std::mutex> lock(mutex_);
        ++report_.uploads;
        report_.overSent = report_.finished = true;
        changed_.notify_all();
        return;
    }
    const int serial = (recordIndex_ - serialBase_) % 10;
    const std::string& data = script_.records[std::size_t(recordIndex_)];
    std::string frame;
    if (recordIndex_ == script_.wrongSerialRecord && faultsDone_ < script_.faultTimes) {
        ++faultsDone_;
        frame = terminalRecord((serial + 1) % 10, data);
    } else if (recordIndex_ == script_.badSumRecord && faultsDone_ < script_.faultTimes) {
        ++faultsDone_;
        frame = terminalRecord(serial, data);
        uint8_t& low = reinterpret_cast<uint8_t&>(frame[frame.size() - 3]);
        low = uint8_t(low + 1) == 0x0D ? uint8_t(low + 2) : uint8_t(low + 1);
    } else {
        frame = terminalRecord(serial, data);
    }
    // The terminal's own ACK is no record; the PC looks past it.
    if (script_.junk) frame = "\xF1" "ACK\r" + frame;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++report_.recordsSent;
    }
    reply(frame);
}

void FakeTerminal::acknowledged() {
    reply("ACK\r");
    int acked;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        acked = ++report_.framesAcked;
    }
    changed_.notify_all();
    if (acked == script_.closeAfter) closeLine();
}

void FakeTerminal::reply(const std::string& bytes) {
    std::string out = bytes;
    if (script_.junk && script_.exchange != TerminalExchange::receive) {
        out = kNoiseBefore + bytes + kNoiseAfter;
    }
    send(out);
}

void FakeTerminal::send(const std::string& out) {
    if (byteSeconds_ > 0) {
        auto now = Clock::now();
        if (txFreeAt_ < now) txFreeAt_ = now;
        txFreeAt_ += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(byteSeconds_ * double(out.size())));
        std::this_thread::sleep_until(txFreeAt_);
    }
    std::size_t done = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (done < out.size() && pty_.master >= 0 && Clock::now() < deadline) {
        ssize_t n = ::write(pty_.master, out.data() + done, out.size() - done);
        if (n > 0) {
            done += std::size_t(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd p{pty_.master, POLLOUT, 0};
            ::poll(&p, 1, 20);
        }
    }
}

void FakeTerminal::closeLine() {
    pty_.hangUp();
    std::lock_guard<std::mutex> lock(mutex_);
    report_.lineClosed = true;
    changed_.notify_all();
}

}  // namespace fw::test
