// A full bus scan (256 addresses at one rate) over the program's serial path:
// Skenuj -> XCOM683 -> pseudo-terminal -> simulator with line-time emulation,
// at 9600 and 115200 Bd, beside its bound of 1.2 x 256 probe time-outs. One
// module answers (address 100), so the scan also identifies one module.
//
// The library is copied into a temporary directory with its own
// zr683-drivers.conf (COM1 = the endpoint's link), so build/bin's file is
// never touched.
#include "KopieKnihovny.h"
#include "LineTiming.h"
#include "Otevreni.h"
#include "PtyEndpoint.h"
#include "Simulator.h"
#include "Sken.h"
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

constexpr int Adres = 256;
constexpr double Mez = 1.2;

struct TMereni {
    double Sekund = 0;
    double TimeoutMs = 0;
    int Nalezeno = 0;
};
std::map<std::int32_t, TMereni> mereni; // by rate

void BM_FullScan(benchmark::State& state) {
    const auto rychlost = static_cast<std::int32_t>(state.range(0));
    TempCopy copy("zr-bench-scan");
    zrsim::SimulatorConfig config;
    config.modules[0].address = 100;
    config.modules[0].baudIndex = RychlostNaIndex(rychlost);
    zrsim::Simulator sim(config);
    zrsim::PtyEndpoint endpoint(sim, zrsim::PtyEndpointConfig{(copy.dir / "line").string(), true});
    std::string error;
    NastavAdresarKnihoven(QString::fromStdString(copy.dir.string()));
    TData data;
    VychoziData(&data);
    data.CisloPortu = 1;
    data.Parametry[0] = 1;
    data.Rychlost = rychlost;
    std::vector<std::uint8_t> adresy;
    for (int a = 0; a < Adres; ++a)
        adresy.push_back(static_cast<std::uint8_t>(a));
    if (!endpoint.start(error) || !OtevriPripojeni(data, rychlost, std::nullopt).Ok()) {
        state.SkipWithError("no connection to the simulator");
        return;
    }
    TMereni m;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const TVysledekSkenu v = Skenuj(data, adresy, {rychlost}, nullptr, nullptr);
        m.Sekund = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        m.Nalezeno = static_cast<int>(v.Moduly.size());
    }
    KonecRozhrani(data.Rozhrani, data.Spojeni);
    m.TimeoutMs = zrbus::probeTimeoutMs(static_cast<std::uint32_t>(rychlost));
    mereni[rychlost] = m;
    const double mez = Mez * Adres * m.TimeoutMs / 1000.0;
    state.counters["timeout_ms"] = m.TimeoutMs;
    state.counters["bound_s"] = mez;
    state.counters["ratio"] = m.Sekund / (Adres * m.TimeoutMs / 1000.0);
    state.counters["found"] = m.Nalezeno;
}

// One full scan per rate: at 9600 Bd it takes about 18 s.
BENCHMARK(BM_FullScan)
    ->Arg(9600)
    ->Arg(115200)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    for (const auto& [rychlost, m] : mereni) {
        const double zaklad = Adres * m.TimeoutMs / 1000.0;
        std::printf("scan %6d Bd: %.2f s for %d addresses (%d found), probe time-out %.0f ms, "
                    "256 time-outs %.2f s, ratio %.3f (bound <= %.1f, %.2f s)\n",
                    rychlost, m.Sekund, Adres, m.Nalezeno, m.TimeoutMs, zaklad, m.Sekund / zaklad,
                    Mez, Mez * zaklad);
    }
    benchmark::Shutdown();
    return 0;
}
