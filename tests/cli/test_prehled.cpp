// The bus overview: its scheduler as a table on a clock of its own, its
// engine against a simulated bus of three modules at two rates, and
// zr464-cli bus watch end to end.
#include "Cli.h"
#include "Otevreni.h"
#include "PrehledSbernice.h"
#include "RelaceModulu.h"
#include "Rozvrh.h"
#include "Sbernice.h"
#include "SimulatorLAN.h"
#include "TextySbernice.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace std::chrono_literals;

// One call of the scheduler: at `Ted` ms the item it gives (-1: none), and
// how that item's poll went.
struct TKrok {
    int Ted;
    int Ocekavano;
    bool Uspech = true;
};

struct TPripadRozvrhu {
    const char* Nazev;
    std::vector<TPolozkaRozvrhu> Polozky;
    std::vector<TKrok> Kroky;
};

TEST(Rozvrh, PoradiSkupinyZalohaADohaneni) {
    const std::vector<TPolozkaRozvrhu> panel = {{100ms, 0}, {500ms, 0}, {200ms, 0}};
    const TPripadRozvrhu pripady[] = {
        {"all due at the start go in turn; round robin among the due",
         panel,
         {{0, 0},
          {0, 1},
          {0, 2},
          {0, -1},
          {99, -1},
          {100, 0},
          {150, -1},
          {200, 2},
          {200, 0},
          {300, 0},
          {400, 2},
          {400, 0},
          {500, 1},
          {500, 0}}},
        {"two failures make an item silent; it is asked after the back-off until it answers",
         panel,
         {{0, 0, false},
          {0, 1},
          {0, 2},
          {100, 0, false},
          {200, 2},
          {400, 2},
          {500, 1},
          {600, 2},
          {800, 2},
          {1000, 1},
          {1000, 2},
          {1099, -1},
          {1100, 0},
          {1200, 2},
          {1200, 0}}},
        {"one failure is no silence", {{100ms, 0}}, {{0, 0, false}, {100, 0}, {200, 0}}},
        {"a poll a whole period late starts again from now, without a burst",
         {{100ms, 0}},
         {{0, 0}, {350, 0}, {360, -1}, {449, -1}, {450, 0}}},
        {"items of one rate follow each other, the rates in ascending order",
         {{1000ms, 19200}, {1000ms, 9600}, {1000ms, 19200}, {1000ms, 9600}},
         {{0, 1}, {0, 3}, {0, 0}, {0, 2}, {0, -1}, {1000, 1}}},
    };
    for (const TPripadRozvrhu& p : pripady) {
        SCOPED_TRACE(p.Nazev);
        TRozvrh rozvrh(p.Polozky, 1000ms, 0ms);
        for (const TKrok& k : p.Kroky) {
            SCOPED_TRACE(k.Ted);
            const auto i = rozvrh.Dalsi(TCasRozvrhu(k.Ted));
            ASSERT_EQ(i ? static_cast<int>(*i) : -1, k.Ocekavano);
            if (i) rozvrh.Hotovo(*i, k.Uspech, TCasRozvrhu(k.Ted));
        }
    }
}

const std::vector<TSimulovanyModul> TriModuly = {{1, 9600}, {5, 9600}, {9, 19200}};
const std::vector<TModulSbernice> Seznam = {{9, 19200}, {1, 9600}, {5, 9600}};

class PrehledSbernice : public ::testing::Test {
protected:
    void SetUp() override {
        DataProSimulator(data, sbernice.Udp.port());
        data.UDPTimeout = 20;
        ASSERT_TRUE(ParametryLAN(data));
        ASSERT_TRUE(OtevriPripojeni(data, 9600, 1).Ok());
        data.Adresa = 1;
        data.Rychlost = 9600;
    }
    void TearDown() override { KonecRozhrani(data.Rozhrani, data.Spojeni); }

    // One step at `ms`: the address polled, or -1.
    int Krok(TPrehledSbernice& p, int ms) {
        const auto i = p.Krok(TCasRozvrhu(ms));
        return i ? p.Radky()[*i].Modul.Adresa : -1;
    }

    TSbernice sbernice{TriModuly};
    TData data;
};

TEST_F(PrehledSbernice, KoloPodleRychlostiMlciciModulAZpetNaRychlostSpojeni) {
    sbernice.Sim.setInputPins(1, 0x0000A5A5);
    TPrehledSbernice p(data, Seznam, 1000, 0ms);
    // The 9600 Bd modules first, at the rate the line runs at; then 19200.
    EXPECT_EQ(Krok(p, 0), 1);
    EXPECT_EQ(p.Linka(), 9600);
    EXPECT_EQ(Krok(p, 0), 5);
    EXPECT_EQ(Krok(p, 0), 9);
    EXPECT_EQ(p.Linka(), 19200);
    EXPECT_EQ(Krok(p, 0), -1);
    const TRadekPrehledu& r5 = p.Radky()[2];
    EXPECT_TRUE(r5.Odpovida);
    EXPECT_EQ(TextIdentifikaceModulu(r5), QStringLiteral("ZR-464 v.1.04, SIM-0001"));
    EXPECT_EQ(TextSlova(r5.Vstupy), QStringLiteral("0xFFFF5A5A")); // inputs negated
    EXPECT_EQ(TextBituStatusu(r5.Status), QStringLiteral("PWR"));
    EXPECT_TRUE(r5.Watchdog.has_value());
    EXPECT_TRUE(r5.MedianMs.has_value());

    // Module 9 stops answering: the first failed poll is marked, the second
    // makes it silent, and it is asked only every few seconds.
    sbernice.Sim.setSilent(9, true);
    const TRadekPrehledu& r9 = p.Radky()[0];
    for (int kolo = 1; kolo <= 2; ++kolo) {
        EXPECT_EQ(Krok(p, 1000 * kolo), 1);
        EXPECT_EQ(Krok(p, 1000 * kolo), 5);
        EXPECT_EQ(Krok(p, 1000 * kolo), 9);
        EXPECT_FALSE(r9.Odpovida);
        EXPECT_EQ(r9.Mlci, kolo == 2);
    }
    EXPECT_EQ(TextStavuModulu(r9), QStringLiteral("neodpovídá, dotaz jednou za 5 s"));
    ASSERT_TRUE(r9.PosledniChyba.has_value());
    EXPECT_EQ(r9.PosledniChyba->Krok, QStringLiteral("čtení vstupů"));
    EXPECT_EQ(TextZdraviModulu(r9).left(22), QStringLiteral("dotazů 3, chyb 67 %, m"));
    // The next rounds go without it; the line stays at 9600 Bd.
    EXPECT_EQ(Krok(p, 3000), 1);
    EXPECT_EQ(Krok(p, 3000), 5);
    EXPECT_EQ(Krok(p, 3000), -1);
    EXPECT_EQ(p.Linka(), 9600);
    sbernice.Sim.setSilent(9, false);
    // Its turn comes after 5, as in every round.
    EXPECT_EQ(Krok(p, 8000), 9);
    EXPECT_EQ(Krok(p, 8000), 1);
    EXPECT_EQ(Krok(p, 8000), 5);
    EXPECT_TRUE(r9.Odpovida);
    EXPECT_FALSE(r9.Mlci);
    EXPECT_EQ(TextStavuModulu(r9), QStringLiteral("odpovídá"));
    EXPECT_EQ(r9.Dotazu, 4u);
    EXPECT_EQ(r9.Neuspesnych, 2u);

    // Back at the connection's rate: module 1 answers there again.
    EXPECT_EQ(Krok(p, 9000), 9);
    EXPECT_EQ(p.Linka(), 19200);
    EXPECT_FALSE(TRelaceModulu(data).CtiVstupy().Ok());
    EXPECT_EQ(p.ObnovLinku(), 0u);
    EXPECT_EQ(p.Linka(), 9600);
    TRelaceModulu relace(data);
    EXPECT_TRUE(relace.CtiVstupy().Ok());
}

std::vector<QJsonObject> RadkyJson(const std::string& text) {
    std::vector<QJsonObject> radky;
    std::istringstream vstup(text);
    for (std::string radek; std::getline(vstup, radek);)
        radky.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(radek)).object());
    return radky;
}

TEST(BusWatch, RadkyPrehleduJakoJsonLines) {
    TSbernice sbernice(TriModuly);
    const std::string seznam = sbernice.Cesta("moduly.txt");
    QFile soubor(QString::fromStdString(seznam));
    ASSERT_TRUE(soubor.open(QIODevice::WriteOnly));
    soubor.write("1:9600\n5:9600\n9:19200\n");
    soubor.close();
    TBeh beh = sbernice.Spust(
        {"bus", "watch", "--from", seznam, "--period", "10", "--count", "6", "--json"});
    EXPECT_EQ(beh.Kod, KodUkonceni::Uspech) << beh.Err;
    std::vector<QJsonObject> radky = RadkyJson(beh.Out);
    ASSERT_EQ(radky.size(), 6u) << beh.Out;
    for (std::size_t i = 0; i < radky.size(); ++i) {
        const QJsonObject& r = radky[i];
        constexpr std::array adresy = {1, 5, 9};
        EXPECT_EQ(r[QStringLiteral("adresa")].toInt(), adresy[i % 3]);
        EXPECT_EQ(r[QStringLiteral("stav")].toString(), QStringLiteral("odpovida"));
        EXPECT_EQ(r[QStringLiteral("doplnek")].toString(), QStringLiteral("SIM-0001"));
        EXPECT_EQ(r[QStringLiteral("nastavene")].toArray().size(), 1);
        EXPECT_EQ(r[QStringLiteral("dotazu")].toInt(), static_cast<int>(i / 3 + 1));
        EXPECT_TRUE(r.contains(QStringLiteral("vstupy")));
    }

    // A silent module: its row says so with the error, and the exit code.
    sbernice.Sim.setSilent(5, true);
    beh = sbernice.Spust({"bus", "watch", "--modules", "1:9600,5:9600", "--count", "2"});
    EXPECT_EQ(beh.Kod, KodUkonceni::ChybaModulu);
    EXPECT_NE(beh.Out.find("adresa 1, 9600 Bd: odpovídá; vstupy 0xFFFFFFFF; status PWR"),
              std::string::npos)
        << beh.Out;
    EXPECT_NE(beh.Out.find("adresa 5, 9600 Bd: poslední dotaz selhal; dotazů 1, chyb 100 %"),
              std::string::npos)
        << beh.Out;

    for (const std::vector<std::string>& chybne :
         std::vector<std::vector<std::string>>{{"bus", "watch", "--modules", "1:9601"},
                                               {"bus", "watch", "--from", seznam + ".x"},
                                               {"bus", "watch", "--period", "0"},
                                               {"bus", "watch"},
                                               {"bus"}})
        EXPECT_EQ(sbernice.Spust(chybne).Kod, KodUkonceni::ChybaPouziti) << chybne.back();
}

} // namespace
