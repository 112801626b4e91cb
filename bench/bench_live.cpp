// The digital inputs view TForm11 polling zr464-sim (a separate process)
// over XZR1683 on loopback, on the offscreen platform:
//   - achieved polls per second against the nominal 10 per second;
//   - delay from an input change in the simulator to the changed label,
//     95th percentile, against one interval plus one transaction (the
//     transaction time measured in the same run);
//   - the program's CPU time while the view polls, against an idle event
//     loop measured in the same run; target at most 2 % of one core.
//   - the input timeline's CPU time at 10 polls a second with an input
//     changing at every poll (the simulator walking its inputs every
//     50 ms), against the same idle loop; target at most 3 % of one core.
//   - the module panel (inputs 10 times a second, watchdog 5, status 2):
//     its CPU time, and the delay from an input change to its lamp, 95th
//     percentile, against one input interval plus one transaction;
//   - the bus overview polling three modules at two rates once a second:
//     its CPU time; target at most 3 % of one core for both.
// The simulator runs in its own process, so the process CPU time is the
// program's alone.
#include "ChildProcess.h"
#include "OkamDIN.h"
#include "PanelModulu.h"
#include "Pismo.h"
#include "PrehledModulu.h"
#include "Prikazy.h"
#include "PrubehVstupu.h"
#include "Xxxx683.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr int MereniMs = 3000; // each measure polls this long
constexpr int Zmen = 30;       // input changes for the delay

struct Vysledky {
    double dotazuZaSekundu = 0;
    double zpozdeniP95Ms = 0;
    double prikazMs = 0;
    double cpuProcent = 0;
    double cpuKlidProcent = 0;
    double cpuPrubehProcent = 0;
    double zmenPrubehu = 0; // input changes the timeline saw per poll
    double cpuPanelProcent = 0;
    double zpozdeniPaneluP95Ms = 0;
    double cpuPrehleduProcent = 0;
    double dotazuPrehleduZaSekundu = 0;
} vysledky;

double CpuSekund() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void Bez(int ms) {
    QEventLoop smycka;
    QTimer::singleShot(ms, &smycka, &QEventLoop::quit);
    smycka.exec();
}

// zr464-sim with one module at address 1, 9600 Bd, and a connection to it.
class Stend {
public:
    explicit Stend(std::vector<std::string> moduly = {})
        : sim("zr464-sim", Volby(std::move(moduly))) {
        NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
        const std::uint16_t port = udpPortOf(sim.line());
        VychoziData(&data);
        data.Rozhrani = 4;
        data.IPAdresa = QStringLiteral("127.0.0.1");
        data.UDPPort = port;
        data.Adresa = 1;
        pripojeno = port != 0 && ParametryLAN(data) &&
                    InitRozhrani(4, data.Spojeni, data.Parametry) == 0 &&
                    NastavRozhrani(4, data.Spojeni, 9600, 200, 2) == 0;
        data.Inicializovano = pripojeno;
    }
    ~Stend() {
        if (pripojeno) KonecRozhrani(4, data.Spojeni);
    }
    static std::vector<std::string> Volby(std::vector<std::string> moduly) {
        std::vector<std::string> volby = {"--port", "0", "--stdin-control"};
        for (std::string& m : moduly) {
            volby.push_back("--module");
            volby.push_back(std::move(m));
        }
        return volby;
    }
    bool Vstupy(std::uint32_t piny) {
        sim.write("inputs 0 " + std::to_string(piny) + "\n");
        return sim.line() == "ok";
    }
    bool Chuze(int ms) {
        sim.write("pattern 0 walk " + std::to_string(ms) + "\n");
        return sim.line() == "ok";
    }

    ChildProcess sim;
    TData data;
    bool pripojeno = false;
};

void BM_DotazyZaSekundu(benchmark::State& state) {
    Stend stend;
    if (!stend.pripojeno) return state.SkipWithError("no connection to zr464-sim");
    for (auto _ : state) {
        TForm11 okno(&stend.data);
        okno.show();
        Bez(200); // settle
        // The rate over whole intervals: from the first tick to the last.
        std::vector<qint64> tiky;
        QElapsedTimer hodiny;
        hodiny.start();
        QTimer* casovac = okno.findChild<QTimer*>(QStringLiteral("Timer1"));
        QObject::connect(casovac, &QTimer::timeout, &okno,
                         [&] { tiky.push_back(hodiny.nsecsElapsed()); });
        Bez(MereniMs);
        if (tiky.size() < 2) return state.SkipWithError("no polls");
        vysledky.dotazuZaSekundu = static_cast<double>(tiky.size() - 1) * 1e9 /
                                   static_cast<double>(tiky.back() - tiky.front());
    }
    state.counters["polls_per_s"] = vysledky.dotazuZaSekundu;
}

// The median time of one input read; -1 if one fails.
double PrumernyPrikazMs(const TData& data) {
    std::vector<double> casy;
    for (int i = 0; i < 200; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!ProvedPrikaz(data, Prikaz::CtiVstupy, Prikaz::ParDIO, {}).Ok()) return -1;
        casy.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(casy.begin(), casy.end());
    return casy[casy.size() / 2];
}

// Each change comes at a random moment of the polling interval; the delay
// ends when the poll after it has changed the label of DIN0.
void BM_ZpozdeniZmeny(benchmark::State& state) {
    Stend stend;
    if (!stend.pripojeno) return state.SkipWithError("no connection to zr464-sim");
    vysledky.prikazMs = PrumernyPrikazMs(stend.data);
    if (vysledky.prikazMs < 0) return state.SkipWithError("transaction failed");
    for (auto _ : state) {
        TForm11 okno(&stend.data);
        okno.show();
        Bez(200);
        auto* din0 = okno.findChild<QLabel*>(QStringLiteral("Label33"));
        QTimer* casovac = okno.findChild<QTimer*>(QStringLiteral("Timer1"));
        std::mt19937 nahoda(1);
        std::vector<double> zpozdeni;
        std::chrono::steady_clock::time_point zmena;
        QString ocekavano;
        QEventLoop smycka;
        std::function<void()> dalsiZmena = [&] {
            const std::uint32_t piny = zpozdeni.size() % 2 == 0 ? 1u : 0u;
            ocekavano = QString::number((piny & 1u) ^ 1u); // inputs negated in a fresh module
            zmena = std::chrono::steady_clock::now();
            stend.Vstupy(piny);
        };
        // Connected after the window's own slot: runs right after each poll.
        QObject::connect(casovac, &QTimer::timeout, &okno, [&] {
            if (ocekavano.isEmpty() || din0->text() != ocekavano) return;
            zpozdeni.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - zmena)
                    .count());
            ocekavano.clear();
            if (static_cast<int>(zpozdeni.size()) == Zmen) return smycka.quit();
            QTimer::singleShot(50 + static_cast<int>(nahoda() % 100), &okno, dalsiZmena);
        });
        QTimer::singleShot(0, &okno, dalsiZmena);
        QTimer::singleShot(Zmen * 400, &smycka,
                           &QEventLoop::quit); // a bound, should a change be lost
        smycka.exec();
        if (zpozdeni.size() < Zmen) return state.SkipWithError("changes not seen");
        std::sort(zpozdeni.begin(), zpozdeni.end());
        vysledky.zpozdeniP95Ms = zpozdeni[static_cast<std::size_t>(0.95 * (Zmen - 1) + 0.5)];
    }
    state.counters["p95_ms"] = vysledky.zpozdeniP95Ms;
    state.counters["transaction_ms"] = vysledky.prikazMs;
}

double CpuProcentBehem(int ms) {
    const double cpu0 = CpuSekund();
    QElapsedTimer hodiny;
    hodiny.start();
    Bez(ms);
    return 100.0 * (CpuSekund() - cpu0) / (static_cast<double>(hodiny.elapsed()) / 1000.0);
}

void BM_ProcesorBehemDotazovani(benchmark::State& state) {
    Stend stend;
    if (!stend.pripojeno) return state.SkipWithError("no connection to zr464-sim");
    for (auto _ : state) {
        vysledky.cpuKlidProcent = CpuProcentBehem(MereniMs);
        TForm11 okno(&stend.data);
        okno.show();
        Bez(200);
        vysledky.cpuProcent = CpuProcentBehem(MereniMs);
    }
    state.counters["cpu_percent"] = vysledky.cpuProcent;
    state.counters["idle_cpu_percent"] = vysledky.cpuKlidProcent;
}

// The timeline polls every 100 ms while the simulator moves its inputs
// every 50 ms, so every poll brings a change to draw.
void BM_ProcesorPrubehuVstupu(benchmark::State& state) {
    Stend stend;
    if (!stend.pripojeno || !stend.Chuze(50))
        return state.SkipWithError("no connection to zr464-sim");
    for (auto _ : state) {
        if (vysledky.cpuKlidProcent == 0) vysledky.cpuKlidProcent = CpuProcentBehem(MereniMs);
        TPrubehVstupu okno(&stend.data);
        okno.show();
        Bez(200);
        const std::uint64_t dotazu = okno.Zaznam().Dotazu();
        std::uint64_t zmen = 0;
        for (int n = 0; n < 32; ++n)
            zmen += okno.Zaznam().Zmeny(n);
        vysledky.cpuPrubehProcent = CpuProcentBehem(MereniMs);
        std::uint64_t zmenPo = 0;
        for (int n = 0; n < 32; ++n)
            zmenPo += okno.Zaznam().Zmeny(n);
        const std::uint64_t dotazuPo = okno.Zaznam().Dotazu() - dotazu;
        vysledky.zmenPrubehu =
            dotazuPo == 0 ? 0 : static_cast<double>(zmenPo - zmen) / static_cast<double>(dotazuPo);
    }
    state.counters["cpu_percent"] = vysledky.cpuPrubehProcent;
    state.counters["changes_per_poll"] = vysledky.zmenPrubehu;
}

// The panel's CPU time, then the delay from an input change to the lamp of
// DIN0 (checked after every tick of the panel's one timer).
void BM_PanelModulu(benchmark::State& state) {
    Stend stend;
    if (!stend.pripojeno) return state.SkipWithError("no connection to zr464-sim");
    if (vysledky.prikazMs == 0) vysledky.prikazMs = PrumernyPrikazMs(stend.data);
    for (auto _ : state) {
        if (vysledky.cpuKlidProcent == 0) vysledky.cpuKlidProcent = CpuProcentBehem(MereniMs);
        TStatistikaSpojeni statistika;
        TPanelModulu okno(stend.data, statistika);
        okno.show();
        Bez(200);
        vysledky.cpuPanelProcent = CpuProcentBehem(MereniMs);
        std::mt19937 nahoda(2);
        std::vector<double> zpozdeni;
        std::chrono::steady_clock::time_point zmena;
        std::optional<bool> ocekavano;
        QEventLoop smycka;
        std::function<void()> dalsiZmena = [&] {
            const std::uint32_t piny = zpozdeni.size() % 2 == 0 ? 1u : 0u;
            ocekavano = (piny & 1u) == 0; // inputs negated in a fresh module
            zmena = std::chrono::steady_clock::now();
            stend.Vstupy(piny);
        };
        QObject::connect(okno.Timer1, &QTimer::timeout, &okno, [&] {
            if (!ocekavano || okno.Vstupy[0]->property("zapnuto").toBool() != *ocekavano) return;
            zpozdeni.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - zmena)
                    .count());
            ocekavano.reset();
            if (static_cast<int>(zpozdeni.size()) == Zmen) return smycka.quit();
            QTimer::singleShot(50 + static_cast<int>(nahoda() % 100), &okno, dalsiZmena);
        });
        QTimer::singleShot(0, &okno, dalsiZmena);
        QTimer::singleShot(Zmen * 400, &smycka, &QEventLoop::quit);
        smycka.exec();
        if (zpozdeni.size() < Zmen) return state.SkipWithError("changes not seen");
        std::sort(zpozdeni.begin(), zpozdeni.end());
        vysledky.zpozdeniPaneluP95Ms = zpozdeni[static_cast<std::size_t>(0.95 * (Zmen - 1) + 0.5)];
    }
    state.counters["cpu_percent"] = vysledky.cpuPanelProcent;
    state.counters["p95_ms"] = vysledky.zpozdeniPaneluP95Ms;
}

// The overview of three modules at two rates, each polled once a second.
void BM_PrehledSbernice(benchmark::State& state) {
    Stend stend({"1:9600", "5:9600", "9:19200"});
    if (!stend.pripojeno) return state.SkipWithError("no connection to zr464-sim");
    for (auto _ : state) {
        if (vysledky.cpuKlidProcent == 0) vysledky.cpuKlidProcent = CpuProcentBehem(MereniMs);
        stend.data.Sbernice = {{1, 9600}, {5, 9600}, {9, 19200}};
        stend.data.PeriodaPrehledu = 1000;
        stend.data.Rychlost = 9600;
        TStatistikaSpojeni statistika;
        const std::vector<TModulSbernice> sken;
        TPrehledModulu okno(stend.data, statistika, sken);
        okno.show();
        Bez(200);
        const auto dotazu = [&] {
            std::uint64_t n = 0;
            for (const TRadekPrehledu& r : okno.Prehled()->Radky())
                n += r.Odpovida ? r.Dotazu : 0;
            return n;
        };
        const std::uint64_t pred = dotazu();
        QElapsedTimer hodiny;
        hodiny.start();
        vysledky.cpuPrehleduProcent = CpuProcentBehem(MereniMs);
        vysledky.dotazuPrehleduZaSekundu =
            static_cast<double>(dotazu() - pred) * 1000.0 / static_cast<double>(hodiny.elapsed());
    }
    state.counters["cpu_percent"] = vysledky.cpuPrehleduProcent;
    state.counters["module_polls_per_s"] = vysledky.dotazuPrehleduZaSekundu;
}

BENCHMARK(BM_DotazyZaSekundu)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZpozdeniZmeny)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcesorBehemDotazovani)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcesorPrubehuVstupu)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanelModulu)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrehledSbernice)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplikace(argc, argv);
    NastavPismoProgramu();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const Vysledky& v = vysledky;
    std::printf("polls per second      %6.2f   nominal 10.00, target within 2 %% (%+.1f %%)\n",
                v.dotazuZaSekundu, (v.dotazuZaSekundu / 10.0 - 1.0) * 100.0);
    std::printf("change to label, p95  %6.1f ms  target <= %.1f ms (interval 100 ms + "
                "transaction %.2f ms); ratio %.2f\n",
                v.zpozdeniP95Ms, 100.0 + v.prikazMs, v.prikazMs,
                v.zpozdeniP95Ms / (100.0 + v.prikazMs));
    std::printf("CPU while polling     %6.2f %%  of one core, target <= 2 %% (idle event loop "
                "%.2f %%)\n",
                v.cpuProcent, v.cpuKlidProcent);
    std::printf(
        "CPU input timeline    %6.2f %%  of one core, target <= 3 %% (10 polls/s, %.1f input "
        "changes per poll; idle event loop %.2f %%)\n",
        v.cpuPrubehProcent, v.zmenPrubehu, v.cpuKlidProcent);
    std::printf("CPU module panel      %6.2f %%  of one core, target <= 3 %% (inputs 10/s, "
                "watchdog 5/s, status 2/s)\n",
                v.cpuPanelProcent);
    std::printf("panel change to lamp, p95 %6.1f ms  target <= %.1f ms (interval 100 ms + "
                "transaction %.2f ms); ratio %.2f\n",
                v.zpozdeniPaneluP95Ms, 100.0 + v.prikazMs, v.prikazMs,
                v.zpozdeniPaneluP95Ms / (100.0 + v.prikazMs));
    std::printf("CPU bus overview      %6.2f %%  of one core, target <= 3 %% (3 modules at 2 "
                "rates, %.2f module polls/s, nominal 3)\n",
                v.cpuPrehleduProcent, v.dotazuPrehleduZaSekundu);
    benchmark::Shutdown();
    return 0;
}
