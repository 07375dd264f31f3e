// Fuzzing the designer's three exchanges: bytes from the terminal, in reads
// of any size, mixed with reply-timer expiries and host answers that may
// fail, through the reply collector and handleReply of the chosen mode.
// Beyond "no crash":
// - a batch sends at most one message per reply that ended in it (stop-and-
//   wait; one for a timer expiry or an answer), and a program
//   download sends only the opening or whole, correctly summed blocks;
// - nothing is acknowledged that is not in the file: each "ACK\r" of a data
//   receive follows an accepted record write or answers an exact repeat,
//   and the records counted are the records written;
// - the exchange ends or keeps its resend count within ten, and after its
//   end every event gives an empty batch.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "comm/program_image.h"
#include "comm/transfer.h"

namespace {

using fw::ExchangeAction;
using fw::ExchangeActions;
using fw::ExchangeAnswer;
using fw::TransferEngine;

struct Input {
    const uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    bool empty() const { return pos >= size; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
};

// Names the broken rule's line before it aborts.
void check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "rule broken at line %d\n", line);
    std::abort();
}

// An answer also lets the engine go on with the replies it held meanwhile.
constexpr int kHeldReplies = 4096;

struct Harness {
    TransferEngine engine;
    fw::TransferMode mode;
    Input& in;
    int recordsWritten = 0;
    int acksOwed = 0;   // accepted writes not yet acknowledged

    Harness(TransferEngine e, fw::TransferMode m, Input& input)
        : engine(std::move(e)), mode(m), in(input) {}

    bool isAck(const std::vector<uint8_t>& b) { return b == std::vector<uint8_t>{'A', 'C', 'K', '\r'}; }

    void apply(ExchangeActions batch, bool repeatPossible, int maxSends = 1) {
        int sends = 0;
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const ExchangeAction& a = batch[i];
            switch (a.kind) {
            case ExchangeAction::Kind::send:
                check(++sends <= maxSends);
                if (mode == fw::TransferMode::programDownload && a.bytes.size() != 7) {
                    check(a.bytes.size() == sizeof(fw::ImageBlock));
                    unsigned sum = 0;
                    for (int k = 0; k < 100; ++k) sum += a.bytes[std::size_t(k)];
                    check(a.bytes[100] == uint8_t(sum >> 8) && a.bytes[101] == uint8_t(sum));
                    check(a.bytes[102] < fw::kImageBlockCount);
                }
                if (mode == fw::TransferMode::dataReceive && isAck(a.bytes)) {
                    if (acksOwed > 0) {
                        --acksOwed;
                    } else {
                        // Only a repeat (or a resend after silence) gets an
                        // ACK without a new record.
                        check(repeatPossible);
                    }
                }
                if (in.byte() % 17 == 0) return apply(engine.portFailed(), false);
                break;
            case ExchangeAction::Kind::writeRecord: {
                check(a.bytes.size() >= 2 && a.bytes[a.bytes.size() - 2] == '\r' && a.bytes.back() == '\n');
                const bool ok = in.byte() % 11 != 0;
                if (ok) {
                    ++recordsWritten;
                    ++acksOwed;
                }
                return apply(engine.answered({ok}), true, kHeldReplies);
            }
            case ExchangeAction::Kind::syncRecords:
                return apply(engine.answered({in.byte() % 5 != 0}), false, kHeldReplies);
            case ExchangeAction::Kind::end:
                check(i + 1 == batch.size());
                return;
            default:
                break;
            }
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Input in{data, size};
    const uint8_t first = in.byte();
    const auto mode = static_cast<fw::TransferMode>(first % 3);
    // The image, or a broken one; the lookup file's lines, some of them
    // cut short as by a failed read.
    std::vector<uint8_t> image(in.byte() % 13 != 0 ? fw::kProgramImageSize : 100);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(i * 7);
    fw::LookupLines lines;
    lines.fileSize = first;
    for (int k = 1; k < 50 && in.byte() % 9 != 0; ++k) {
        const std::string line = "line" + std::to_string(k);
        fw::LookupLine framed;
        fw::frameLookupLine(std::span(reinterpret_cast<const uint8_t*>(line.data()), line.size()), framed);
        lines.lines.push_back({lines.frames.size(), framed.size, uint64_t(in.byte() % 4)});
        lines.frames.insert(lines.frames.end(), framed.bytes, framed.bytes + framed.size);
    }
    lines.skippedAtEnd = in.byte() % 4;
    TransferEngine engine = mode == fw::TransferMode::programDownload ? TransferEngine::programDownload(image)
                            : mode == fw::TransferMode::lookupDownload
                                ? TransferEngine::lookupDownload(std::move(lines))
                                : TransferEngine::dataReceive();
    Harness h(std::move(engine), mode, in);
    h.apply(h.engine.start(), false);
    int events = 0;
    while (!in.empty() && events++ < 4000) {
        const uint8_t op = in.byte();
        if (op < 16) {
            h.apply(h.engine.timerExpired(), true);
        } else if (op == 16) {
            const bool over = h.engine.finished();
            h.apply(h.engine.cancel(), false);
            check(h.engine.finished() && (over || h.engine.result() == fw::kTransferCancelled));
        } else {
            // A read of up to 64 bytes.
            const std::size_t n = std::min<std::size_t>(op % 64 + 1, in.size - in.pos);
            int replies = 0;
            for (std::size_t i = 0; i < n; ++i) replies += in.data[in.pos + i] == '\r';
            const std::span<const uint8_t> read(in.data + in.pos, n);
            in.pos += n;
            h.apply(h.engine.received(read), true, replies);
        }
        check(h.engine.state().retryCount <= fw::kMaxRetries);
        if (mode == fw::TransferMode::dataReceive) {
            check(h.engine.state().recordCount == h.recordsWritten - h.acksOwed ||
                  h.engine.finished());
        }
        if (h.engine.finished()) break;
    }
    if (h.engine.finished()) {
        const uint8_t ack[] = {'A', 'C', 'K', '\r'};
        check(h.engine.received(ack).empty());
        check(h.engine.timerExpired().empty());
        check(h.engine.portFailed().empty());
        check(h.engine.cancel().empty());
    }
    return 0;
}
