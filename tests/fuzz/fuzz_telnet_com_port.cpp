// Fuzzing the reader of what a serial device server sends. Beyond "no
// crash": the terminal's bytes and our answers do not depend on how the
// stream was cut into reads (the first input byte chooses the cuts); no
// more data comes out than went in; every answer is a whole three-byte
// negotiation that refuses or accepts an option, never one we did not
// already settle twice.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "comm/telnet_com_port.h"

namespace {

void check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "fuzz_telnet_com_port: rule at line %d broken\n", line);
    std::abort();
}

struct Read {
    std::vector<uint8_t> data, out;
    fw::TelnetComPort telnet;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t step = bytes[0] % 16 + 1;
    const std::span<const uint8_t> stream(bytes + 1, size - 1);

    Read whole, cut;
    std::vector<uint8_t> start;
    whole.telnet.start(start);
    cut.telnet.start(start);
    whole.telnet.received(stream, whole.data, whole.out);
    for (std::size_t i = 0; i < stream.size(); i += step)
        cut.telnet.received(stream.subspan(i, std::min(step, stream.size() - i)), cut.data, cut.out);

    check(whole.data == cut.data);
    check(whole.out == cut.out);
    check(whole.data.size() <= stream.size());
    check(whole.out.size() % 3 == 0);
    for (std::size_t i = 0; i < whole.out.size(); i += 3) {
        check(whole.out[i] == fw::telnet::kIac);
        check(whole.out[i + 1] >= fw::telnet::kWill && whole.out[i + 1] <= fw::telnet::kDont);
    }
    for (auto command : {fw::ComPortCommand::setBaudRate, fw::ComPortCommand::setControl})
        check(whole.telnet.answer(command) == cut.telnet.answer(command));
    return 0;
}
