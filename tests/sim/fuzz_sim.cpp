// libFuzzer target for the simulator's input: control text in pieces, and
// datagrams to the LAN converter, against one simulated bus on a manual
// clock. Nothing may crash or leak; replies are whole lines, answers whole
// frames.
#include "Control.h"
#include "Line.h"

#include <cstdlib>
#include <memory>
#include <string_view>

using namespace zrsim;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// The text in pieces whose sizes the first byte picks.
void control(Simulator& sim, std::string_view text) {
    if (text.empty()) return;
    const std::size_t piece = 1 + static_cast<unsigned char>(text[0]) % 61;
    text.remove_prefix(1);
    Control ctl(sim);
    for (bool quit = false; !text.empty() && !quit;) {
        const std::string_view part = text.substr(0, piece);
        text.remove_prefix(part.size());
        const std::string reply = ctl.input(part, quit);
        check(reply.empty() || reply.back() == '\n');
    }
}

// Datagrams, each introduced by its length byte; between them the clock moves.
void datagrams(Simulator& sim, ManualClock& clock, const std::uint8_t* data, std::size_t size) {
    LanConverter lan(sim);
    for (std::size_t i = 0; i < size;) {
        const std::size_t n = std::min<std::size_t>(data[i], size - i - 1);
        for (const Outgoing& o : lan.datagram(data + i + 1, n))
            check(!o.bytes.empty() && o.bytes.size() <= zrbus::kMaxFrameSize);
        clock.advance(data[i] * 10u);
        i += n + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    auto clock = std::make_shared<ManualClock>();
    ModuleSetup second;
    second.address = 2;
    Simulator sim(SimulatorConfig{{ModuleSetup{}, second}, {}, clock, 1});
    if (data[0] & 1)
        datagrams(sim, *clock, data + 1, size - 1);
    else
        control(sim, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    return 0;
}
