// Transactions on the program's serial path, PosliPrikaz -> XCOM683 ->
// pseudo-terminal -> simulator with line-time emulation -> back, at 9600 and
// 115200 Bd, beside the time the frames take on a real line: the request
// (14 characters of 10 bits), the line silence, the answer (20 characters)
// and the silence before the next request. It prints the ratio of the
// measured to the computed time per transaction.
//
// The library is copied into a temporary directory with its own
// zr683-drivers.conf (COM1 = the endpoint's link), so build/bin's file is
// never touched.
#include "KopieKnihovny.h"
#include "LineTiming.h"
#include "PtyEndpoint.h"
#include "Simulator.h"
#include "Xxxx683.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRequestSize = zrbus::kRequestFrameSize;
constexpr std::size_t kAnswerSize = zrbus::kAnswerFrameSize;

// The time of one transaction on a real line at `baud`, in seconds.
double wireSeconds(std::uint32_t baud) {
    using std::chrono::duration;
    const auto silence = std::chrono::milliseconds(zrbus::lineSilenceMs(baud));
    const auto t = zrbus::lineTime(kRequestSize, baud) + zrbus::lineTime(kAnswerSize, baud) +
                   2 * std::chrono::duration_cast<std::chrono::microseconds>(silence);
    return duration<double>(t).count();
}

std::map<std::uint32_t, double> measured; // seconds per transaction, by rate

void BM_SerialTransaction(benchmark::State& state) {
    const auto baud = static_cast<std::uint32_t>(state.range(0));
    TempCopy copy("zr-bench");
    zrsim::SimulatorConfig config;
    config.modules[0].baudIndex = baud == 9600 ? 4 : 8;
    zrsim::Simulator sim(config);
    const bool lineTime = state.range(1) != 0;
    zrsim::PtyEndpoint endpoint(sim,
                                zrsim::PtyEndpointConfig{(copy.dir / "line").string(), lineTime});
    std::string error;
    std::uint32_t h = 0;
    TParametry com{};
    com[0] = 1;
    NastavAdresarKnihoven(QString::fromStdString(copy.dir.string()));
    if (!endpoint.start(error) || InitRozhrani(0, h, com) != 0 ||
        NastavRozhrani(0, h, static_cast<std::int32_t>(baud), 200, 2) != 0) {
        state.SkipWithError("no connection to the simulator");
        return;
    }
    TOdpoved odpoved{};
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::uint8_t d[5] = {0, 0, 0, 0, 0}, vysledek = 0xFF;
        PosliPrikaz(0, h, 1, 0, 64, &d[0], &d[1], &d[2], &d[3], &d[4], &vysledek, &odpoved);
        if (vysledek != 0) {
            state.SkipWithError("transaction failed");
            break;
        }
    }
    const double per =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
        static_cast<double>(state.iterations());
    KonecRozhrani(0, h);
    if (lineTime) measured[baud] = per;
    if (lineTime) {
        state.counters["wire_ms"] = wireSeconds(baud) * 1000.0;
        state.counters["ratio"] = per / wireSeconds(baud);
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_SerialTransaction)
    ->Args({9600, 1})
    ->Args({115200, 1})
    ->Args({115200, 0}) // no line time: the pseudo-terminal's and the library's own share
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    for (const auto& [baud, seconds] : measured)
        std::printf("serial %6u Bd: %.3f ms per transaction, %.3f ms on the wire, ratio %.3f "
                    "(target <= 1.15)\n",
                    baud, seconds * 1000.0, wireSeconds(baud) * 1000.0,
                    seconds / wireSeconds(baud));
    benchmark::Shutdown();
    return 0;
}
