// The traffic log's ring: what it keeps when it wraps and when it is
// emptied, what the window's filter lets through, and the CSV of its rows.
#include "ZaznamKomunikace.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono;

// A transaction told apart by its address (and code, parameter, result).
TZaznamPrikazu Prikaz(std::uint8_t adresa, std::uint8_t kod = 0, std::uint8_t parametr = 64,
                      std::uint8_t vysledek = 0) {
    TZaznamPrikazu z;
    z.Rozhrani = 4;
    z.Adresa = adresa;
    z.Kod = kod;
    z.Parametr = parametr;
    z.Odeslano = {1, 2, 3, 4, 5};
    z.Odpoved.Vysledek = vysledek;
    z.Odpoved.S = 0x30;
    z.Odpoved.A = {0x5A, 0x52, 0x2D, 0x34};
    z.Trvani = microseconds(1250);
    return z;
}

std::vector<int> Adresy(const TZaznamKomunikace& z) {
    std::vector<int> a;
    for (std::uint64_t i = z.PrvniCislo(); i < z.DalsiCislo(); ++i)
        a.push_back(z.Radek(i).Adresa);
    return a;
}

TEST(ZaznamKomunikace, KruhPodleTabulky) {
    const struct {
        const char* nazev;
        std::size_t kapacita;
        int zaznamu;
        bool vymazat; // after the rows, then two more
        std::vector<int> adresy;
        std::uint64_t prvni, dalsi;
    } pripady[] = {
        {"empty", 3, 0, false, {}, 0, 0},
        {"below the capacity", 3, 2, false, {0, 1}, 0, 2},
        {"exactly full", 3, 3, false, {0, 1, 2}, 0, 3},
        {"wrapped twice over", 3, 8, false, {5, 6, 7}, 5, 8},
        {"emptied, numbers go on", 3, 4, true, {100, 101}, 4, 6},
        {"emptied while wrapped", 2, 5, true, {100, 101}, 5, 7},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        TZaznamKomunikace z(p.kapacita);
        for (int i = 0; i < p.zaznamu; ++i)
            z.Zaznamenej(Prikaz(static_cast<std::uint8_t>(i)), system_clock::now());
        if (p.vymazat) {
            z.Vymaz();
            EXPECT_EQ(z.Pocet(), 0u);
            for (std::uint8_t a : {100, 101})
                z.Zaznamenej(Prikaz(a), system_clock::now());
        }
        EXPECT_EQ(Adresy(z), p.adresy);
        EXPECT_EQ(z.PrvniCislo(), p.prvni);
        EXPECT_EQ(z.DalsiCislo(), p.dalsi);
    }
}

TEST(ZaznamKomunikace, FiltrPodleTabulky) {
    const TRadekKomunikace radky[] = {
        {0, 0, 4, 1, 0, 64, {}, 0, 0, {}},   {0, 0, 4, 1, 200, 0, {}, 6, 0, {}},
        {0, 0, 4, 2, 200, 0, {}, 0, 0, {}},  {0, 0, 4, 2, 200, 1, {}, 0, 0, {}},
        {0, 0, 4, 2, 102, 0, {}, 22, 0, {}},
    };
    using P = std::pair<std::uint8_t, std::uint8_t>;
    const struct {
        const char* nazev;
        TFiltrKomunikace filtr;
        std::vector<int> propusteno;
    } pripady[] = {
        {"nothing set", {}, {0, 1, 2, 3, 4}},
        {"address", {2, std::nullopt, false}, {2, 3, 4}},
        {"command and parameter", {std::nullopt, P{200, 0}, false}, {1, 2}},
        {"failures", {std::nullopt, std::nullopt, true}, {1, 4}},
        {"all three", {1, P{200, 0}, true}, {1}},
        {"an address nobody has", {9, std::nullopt, false}, {}},
    };
    for (const auto& p : pripady) {
        std::vector<int> propusteno;
        for (int i = 0; i < 5; ++i)
            if (p.filtr.Propusti(radky[i])) propusteno.push_back(i);
        EXPECT_EQ(propusteno, p.propusteno) << p.nazev;
    }
}

TEST(ZaznamKomunikace, CsvMaHlavickuARadekZaKazdouTransakci) {
    TZaznamKomunikace z(4);
    z.Zaznamenej(Prikaz(7, 0, 64), system_clock::now());
    z.Zaznamenej(Prikaz(7, 150, 3, 6), system_clock::now());
    std::vector<TRadekKomunikace> radky = {z.Radek(0), z.Radek(1)};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TTextyKodu texty;
    ASSERT_TRUE(ZapisCsvKomunikace(radky, texty, buffer));
    const QStringList radkyCsv = QString::fromUtf8(buffer.data()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(radkyCsv.size(), 3);
    EXPECT_EQ(radkyCsv[0], QStringLiteral("čas,adresa,kód,parametr,příkaz,D1,D2,D3,D4,D5,"
                                          "výsledek,text,S,A1,A2,A3,A4,doba ms"));
    // The time, then the fields after it.
    EXPECT_TRUE(radkyCsv[1].endsWith(QStringLiteral(",7,0,64,čtení vstupů,1,2,3,4,5,0,") +
                                     texty.Text(4, 0) + QStringLiteral(",30,5A,52,2D,34,1.25")))
        << radkyCsv[1].toStdString();
    // A command outside the set has no name.
    EXPECT_TRUE(radkyCsv[2].contains(QStringLiteral(",7,150,3,,1,2,3,4,5,6,")))
        << radkyCsv[2].toStdString();
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    EXPECT_FALSE(ZapisCsvKomunikace(radky, texty, buffer)) << "a device that refuses";
}

} // namespace
