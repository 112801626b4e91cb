// A full bus scan, 256 addresses at each of the nine rates, against its
// physical floor: per rate 256 x (the request's time on the line, the line
// silence, the module's turnaround and one character), the least a probe of
// an absent address can take (zrbus::firstCharacterTime).
//
// Serial: Skenuj -> XCOM683 -> pseudo-terminal -> simulator with line-time
// emulation. LAN: Skenuj -> XZR1683 -> loopback UDP -> simulated converter
// emulating its line's time; its floor adds the converter's round trip per
// probe, measured here by timing line-configuration exchanges. One module
// answers (address 100 at 9600 Bd), so each scan also identifies one.
// Beside each figure: the sum of the probe time-outs a scan waited before
// probes waited only for the first character.
//
// The serial library is copied into a temporary directory with its own
// zr683-drivers.conf (COM1 = the endpoint's link), so build/bin's file is
// never touched. The whole run takes several minutes.
#include "KopieKnihovny.h"
#include "LineTiming.h"
#include "Otevreni.h"
#include "PtyEndpoint.h"
#include "Simulator.h"
#include "Sken.h"
#include "UdpEndpoint.h"
#include "Xxxx683.h"
#include "zr683.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>

namespace {

using Steady = std::chrono::steady_clock;

constexpr int Adres = 256;
constexpr double Cil = 1.1;
constexpr int MereniOkruhu = 20;

struct TMereni {
    std::map<std::int32_t, double> Sekund; // by rate
    double Celkem = 0;
    int Nalezeno = 0;
    double OkruhMs = 0; // measured round trip to the converter (LAN)
    double CestaMs = 0; // the path time the scan allowed its probes
    double UdpTimeoutMs = 0;
    bool Hotovo = false;
};
TMereni seriova, lan;

double Sekundy(Steady::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Podlaha(std::int32_t rychlost) {
    const auto t = zrbus::firstCharacterTime(static_cast<std::uint32_t>(rychlost));
    return Adres * std::chrono::duration<double>(t).count();
}

double StaryLimit(std::int32_t rychlost, double udpTimeoutMs) {
    return Adres * (zrbus::probeTimeoutMs(static_cast<std::uint32_t>(rychlost)) + udpTimeoutMs) /
           1000.0;
}

zrsim::SimulatorConfig JedenModul() {
    zrsim::SimulatorConfig config;
    config.modules[0].address = 100;
    config.modules[0].baudIndex = RychlostNaIndex(9600);
    return config;
}

// The nine-rate scan over the open connection, each rate timed.
void Skenuj(TData& data, TMereni& m) {
    std::vector<std::uint8_t> adresy;
    for (int a = 0; a < Adres; ++a)
        adresy.push_back(static_cast<std::uint8_t>(a));
    const std::vector<std::int32_t> rychlosti(RychlostiBd.begin(), RychlostiBd.end());
    TSken sken(data, adresy, rychlosti);
    const auto zacatek = Steady::now();
    auto zacatekRychlosti = zacatek;
    while (sken.Krok()) {
        const int hotovo = sken.Stav().Hotovo;
        if (hotovo % Adres != 0) continue;
        const auto ted = Steady::now();
        m.Sekund[rychlosti[static_cast<std::size_t>(hotovo / Adres - 1)]] =
            Sekundy(ted - zacatekRychlosti);
        zacatekRychlosti = ted;
    }
    m.Celkem = Sekundy(Steady::now() - zacatek);
    m.Nalezeno = static_cast<int>(sken.Vysledek().Moduly.size());
    m.CestaMs = sken.CasCesty();
    m.Hotovo = sken.Vysledek().KodLinky == 0 && !sken.Vysledek().Preruseno;
}

void BM_SerialScan(benchmark::State& state) {
    TempCopy copy("zr-bench-scan");
    zrsim::Simulator sim(JedenModul());
    zrsim::PtyEndpoint endpoint(sim, zrsim::PtyEndpointConfig{(copy.dir / "line").string(), true});
    std::string error;
    NastavAdresarKnihoven(QString::fromStdString(copy.dir.string()));
    TData data;
    VychoziData(&data);
    data.CisloPortu = 1;
    data.Parametry[0] = 1;
    if (!endpoint.start(error) || !OtevriPripojeni(data, 9600, std::nullopt).Ok()) {
        state.SkipWithError("no connection to the simulator");
        return;
    }
    for (auto _ : state)
        Skenuj(data, seriova);
    KonecRozhrani(data.Rozhrani, data.Spojeni);
    state.counters["found"] = seriova.Nalezeno;
}

// The converter's round trip: the mean of line-configuration exchanges.
double ZmerOkruh(const TData& data) {
    const auto zacatek = Steady::now();
    for (int i = 0; i < MereniOkruhu; ++i)
        NastavRozhrani(data.Rozhrani, data.Spojeni, 9600, 200, ZR683_CONFIG_CONSTANT);
    return 1000.0 * Sekundy(Steady::now() - zacatek) / MereniOkruhu;
}

void BM_LanScan(benchmark::State& state) {
    zrsim::Simulator sim(JedenModul());
    zrsim::UdpEndpointConfig config;
    config.port = 0;
    config.lineTime = true;
    zrsim::UdpEndpoint endpoint(sim, config);
    std::string error;
    NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
    TData data;
    VychoziData(&data);
    data.Rozhrani = ZR683_TYPE_LAN;
    data.IPAdresa = QStringLiteral("127.0.0.1");
    if (!endpoint.start(error)) {
        state.SkipWithError("no simulated converter");
        return;
    }
    data.UDPPort = endpoint.port();
    if (!NaplnParametry(data, 0) || !OtevriPripojeni(data, 9600, std::nullopt).Ok()) {
        state.SkipWithError("no connection to the simulator");
        return;
    }
    lan.OkruhMs = ZmerOkruh(data);
    lan.UdpTimeoutMs = data.UDPTimeout;
    for (auto _ : state)
        Skenuj(data, lan);
    KonecRozhrani(data.Rozhrani, data.Spojeni);
    state.counters["found"] = lan.Nalezeno;
    state.counters["round_trip_ms"] = lan.OkruhMs;
}

BENCHMARK(BM_SerialScan)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_LanScan)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// One line per rate and the whole scan: measured, floor, ratio, old time-outs.
void Tiskni(const char* cesta, const TMereni& m, double okruhMs) {
    if (!m.Hotovo) return;
    double podlaha = 0, stare = 0;
    for (const auto& [rychlost, sekund] : m.Sekund) {
        const double p = Podlaha(rychlost) + Adres * okruhMs / 1000.0;
        const double s = StaryLimit(rychlost, m.UdpTimeoutMs);
        std::printf("%s %6d Bd: %7.2f s, floor %7.2f s, ratio %.3f; old time-outs %7.2f s\n", cesta,
                    rychlost, sekund, p, sekund / p, s);
        podlaha += p;
        stare += s;
    }
    std::printf("%s nine rates: %.2f s (%d found), floor %.2f s, ratio %.3f (target <= %.1f); "
                "old time-outs %.2f s\n",
                cesta, m.Celkem, m.Nalezeno, podlaha, m.Celkem / podlaha, Cil, stare);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    Tiskni("serial", seriova, 0);
    if (lan.Hotovo)
        std::printf("LAN round trip %.3f ms (floor adds 256 x 9 of it); probes allowed %.0f ms, "
                    "UDP time-out %.0f ms\n",
                    lan.OkruhMs, lan.CestaMs, lan.UdpTimeoutMs);
    Tiskni("LAN   ", lan, lan.OkruhMs);
    benchmark::Shutdown();
    return 0;
}
