// The counts of a connection: outcomes by result code, time-outs and damaged
// answers, round-trip percentiles (nearest rank; exact to 255 us, within
// 1/128 above), and the fresh start on a new connection and on reset.
#include "StatistikaSpojeni.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace std::chrono;
using TTransakce = std::pair<std::uint8_t, std::int64_t>; // result code, round trip in us

TZaznamPrikazu Zaznam(std::uint8_t kod, std::int64_t us) {
    TZaznamPrikazu z;
    z.Rozhrani = 4;
    z.Odpoved.Vysledek = kod;
    z.Trvani = microseconds(us);
    return z;
}

std::vector<TTransakce> Rada(std::int64_t od, std::int64_t do_, std::int64_t krok) {
    std::vector<TTransakce> rada;
    for (std::int64_t us = od; us <= do_; us += krok)
        rada.push_back({0, us});
    return rada;
}

struct TPripad {
    const char* Nazev;
    std::vector<TTransakce> Transakce;
    std::uint64_t Uspesnych, Vyprseni, Poskozenych;
    std::vector<TSouhrnSpojeni::TChyba> PodleKodu;
    double MinMs, MedianMs, P95Ms, MaxMs;
    double Tolerance = 0; // relative, for the percentiles above 255 us
};

const TPripad Pripady[] = {
    {"one success", {{0, 120}}, 1, 0, 0, {}, 0.12, 0.12, 0.12, 0.12},
    {"nearest rank of 1..4",
     {{0, 4}, {0, 1}, {0, 3}, {0, 2}},
     4,
     0,
     0,
     {},
     0.001,
     0.002,
     0.004,
     0.004},
    {"time-outs, damaged and a module's code",
     {{0, 100}, {6, 100000}, {7, 200}, {8, 210}, {6, 100000}, {22, 150}},
     1,
     2,
     2,
     {{6, 2}, {7, 1}, {8, 1}, {22, 1}},
     0.1,
     0.2,
     100.0,
     100.0},
    {"1..100 us: p95 is the 95th", Rada(1, 100, 1), 100, 0, 0, {}, 0.001, 0.050, 0.095, 0.100},
    {"1 ms to 100 ms in 1000 steps",
     Rada(100, 100000, 100),
     1000,
     0,
     0,
     {},
     0.1,
     50.0,
     95.0,
     100.0,
     1.0 / 128},
    {"a time beyond the histogram",
     {{0, 50}, {0, 10'000'000'000}},
     2,
     0,
     0,
     {},
     0.05,
     0.05,
     1.0e7,
     1.0e7,
     1.0 / 128},
    {"a negative duration counts as 0", {{0, -5}}, 1, 0, 0, {}, 0, 0, 0, 0},
};

void OcekavejMs(const std::optional<double>& ms, double ocekavano, double tolerance,
                const char* co) {
    ASSERT_TRUE(ms.has_value()) << co;
    EXPECT_NEAR(*ms, ocekavano, std::max(1e-9, ocekavano * tolerance)) << co;
}

TEST(Statistika, SouhrnPodleTabulky) {
    const auto cas = system_clock::time_point(seconds(1000));
    for (const TPripad& p : Pripady) {
        SCOPED_TRACE(p.Nazev);
        TStatistikaSpojeni s;
        for (std::size_t i = 0; i < p.Transakce.size(); ++i)
            s.Zaznamenej(Zaznam(p.Transakce[i].first, p.Transakce[i].second),
                         cas + seconds(static_cast<int>(i)), 1);
        const TSouhrnSpojeni souhrn = s.Souhrn();
        EXPECT_EQ(souhrn.Transakci, p.Transakce.size());
        EXPECT_EQ(souhrn.Uspesnych, p.Uspesnych);
        EXPECT_EQ(souhrn.Neuspesnych, p.Transakce.size() - p.Uspesnych);
        EXPECT_EQ(souhrn.Vyprseni, p.Vyprseni);
        EXPECT_EQ(souhrn.Poskozenych, p.Poskozenych);
        ASSERT_EQ(souhrn.PodleKodu.size(), p.PodleKodu.size());
        for (std::size_t i = 0; i < p.PodleKodu.size(); ++i) {
            EXPECT_EQ(souhrn.PodleKodu[i].Kod, p.PodleKodu[i].Kod);
            EXPECT_EQ(souhrn.PodleKodu[i].Pocet, p.PodleKodu[i].Pocet);
        }
        OcekavejMs(souhrn.MinMs, p.MinMs, 0, "min");
        OcekavejMs(souhrn.MedianMs, p.MedianMs, p.Tolerance, "median");
        OcekavejMs(souhrn.P95Ms, p.P95Ms, p.Tolerance, "p95");
        OcekavejMs(souhrn.MaxMs, p.MaxMs, 0, "max");
        EXPECT_EQ(souhrn.Od, cas);
        if (p.PodleKodu.empty()) {
            EXPECT_FALSE(souhrn.PosledniChyba.has_value());
        } else {
            EXPECT_EQ(souhrn.PosledniChyba, p.Transakce.back().first);
            EXPECT_EQ(souhrn.CasPosledniChyby,
                      cas + seconds(static_cast<int>(p.Transakce.size()) - 1));
        }
    }
}

// The counts belong to one connection: a new one starts them afresh, and so
// does "Vynulovat", which keeps the connection.
TEST(Statistika, NoveSpojeniAVynulovani) {
    const auto t0 = system_clock::time_point(seconds(50));
    TStatistikaSpojeni s;
    EXPECT_FALSE(s.Souhrn().MedianMs.has_value()) << "nothing before the first transaction";
    s.Zaznamenej(Zaznam(6, 100), t0, 1);
    s.Zaznamenej(Zaznam(0, 100), t0, 1);
    s.Spojeni(1);
    EXPECT_EQ(s.Souhrn().Transakci, 2u) << "the same connection keeps its counts";
    s.Spojeni(2);
    EXPECT_EQ(s.Souhrn().Transakci, 0u);
    EXPECT_FALSE(s.Souhrn().PosledniChyba.has_value());
    s.Zaznamenej(Zaznam(0, 300), t0 + seconds(5), 2);
    EXPECT_EQ(s.Souhrn().Od, t0 + seconds(5));
    s.Zaznamenej(Zaznam(0, 100), t0 + seconds(6), 3);
    EXPECT_EQ(s.Souhrn().Transakci, 1u) << "a transaction of a new connection";
    EXPECT_EQ(s.Souhrn().MaxMs, 0.1);
    s.Vynuluj(t0 + seconds(9));
    s.Zaznamenej(Zaznam(7, 200), t0 + seconds(10), 3);
    const TSouhrnSpojeni souhrn = s.Souhrn();
    EXPECT_EQ(souhrn.Transakci, 1u);
    EXPECT_EQ(souhrn.Poskozenych, 1u);
    EXPECT_EQ(souhrn.Od, t0 + seconds(9));
}

} // namespace
