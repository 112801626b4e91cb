// zr464-cli against a simulated bus of several modules at different
// addresses and rates, through the LAN library on a loopback port.
#include "Cli.h"
#include "Codes.h"
#include "LineTiming.h"
#include "Prikazy.h"
#include "PtyEndpoint.h"
#include "RucniPrikaz.h"
#include "Sbernice.h"
#include "Xxxx683.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <regex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using TModuly = std::set<std::pair<int, int>>; // address, rate

QJsonObject Json(const std::string& text) {
    QJsonParseError chyba;
    const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &chyba);
    EXPECT_EQ(chyba.error, QJsonParseError::NoError) << text;
    return doc.object();
}

TModuly Nalezene(const QJsonObject& json) {
    TModuly m;
    for (const QJsonValue& v : json[QStringLiteral("moduly")].toArray())
        m.insert({v[QStringLiteral("adresa")].toInt(), v[QStringLiteral("rychlost")].toInt()});
    return m;
}

struct TSken {
    const char* Nazev;
    std::vector<TSimulovanyModul> Moduly;
    std::vector<zrsim::LineFaultRule> Poruchy;
    std::string Adresy, Rychlosti;
    TModuly Ocekavane;
    bool Presne;                   // false: with faults, a module may be missed, never invented
    std::vector<int> JenPoskozene; // exactly: the unconfirmed addresses
};

std::vector<TSken> Skeny() {
    using zrsim::LineFault;
    return {
        {"ctyri_moduly_tri_rychlosti",
         {{1, 9600}, {5, 19200}, {9, 9600}, {200, 115200}},
         {},
         "0-9,200",
         "9600,19200,115200",
         {{1, 9600}, {5, 19200}, {9, 9600}, {200, 115200}},
         true,
         {}},
        {"dva_moduly_na_jedne_adrese",
         {{3, 9600}, {3, 9600}, {4, 9600}},
         {},
         "0-7",
         "9600",
         {{4, 9600}},
         true,
         {3}},
        {"poskozene_odpovedi",
         {{1, 9600}, {2, 9600}},
         {{LineFault::Corrupt, 0, 0.4, 0}},
         "0-7",
         "9600",
         {{1, 9600}, {2, 9600}},
         false,
         {}},
        {"cizi_odpovedi",
         {{1, 9600}, {2, 9600}},
         {{LineFault::Mismatch, 0, 0.4, 0}},
         "0-7",
         "9600",
         {{1, 9600}, {2, 9600}},
         false,
         {}},
    };
}

class Sken : public ::testing::TestWithParam<TSken> {};

} // namespace

TEST_P(Sken, NajdePraveModulyKtereTamJsou) {
    const TSken& p = GetParam();
    TSbernice bus(p.Moduly);
    for (const auto& r : p.Poruchy)
        bus.Sim.addFault(r);
    const TBeh beh = bus.Spust({"scan", "--addresses", p.Adresy, "--rates", p.Rychlosti, "--json"});
    EXPECT_EQ(beh.Kod, 0) << beh.Err;
    const QJsonObject json = Json(beh.Out);
    const TModuly nalezene = Nalezene(json);
    if (p.Presne) {
        EXPECT_EQ(nalezene, p.Ocekavane);
        std::vector<int> poskozene;
        for (const QJsonValue& v : json[QStringLiteral("nepotvrzene")].toArray())
            poskozene.push_back(v[QStringLiteral("adresa")].toInt());
        EXPECT_EQ(poskozene, p.JenPoskozene);
        EXPECT_EQ(beh.Err.find("možná kolize") != std::string::npos, !p.JenPoskozene.empty());
    } else {
        for (const auto& m : nalezene)
            EXPECT_TRUE(p.Ocekavane.count(m)) << "module reported at " << m.first;
    }
    // The scan goes on to the end whatever it met.
    EXPECT_EQ(json[QStringLiteral("sond")], json[QStringLiteral("celkem")]);
    EXPECT_FALSE(json[QStringLiteral("preruseno")].toBool());
}

INSTANTIATE_TEST_SUITE_P(Cli, Sken, ::testing::ValuesIn(Skeny()),
                         [](const auto& info) { return std::string(info.param.Nazev); });

namespace {

// Three modules at 9600 Bd besides others, the first with its own settings.
class Klonovani : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string vlastni = bus.Cesta("vlastni.cfm");
        QFile f(QString::fromStdString(vlastni));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("format = zr464-cfm 1\nadresa = 1\nrychlost = 9600\ninicializacni_cas = 300\n"
                "doba_vypnuti_rele = 7\naktivace_watchdogu = 0\nnegace_din = 0x0000FFFF\n"
                "negace_dout = 0x12345678\npocatecni_stav_dout = 0x80000001\n");
        f.close();
        ASSERT_EQ(bus.Spust({"config", "load", vlastni, "-a", "1", "-b", "9600"}).Kod, 0);
        ASSERT_EQ(bus.Spust({"config", "save", ulozeny, "-a", "1", "-b", "9600"}).Kod, 0);
    }

    TSbernice bus{{{1, 9600}, {5, 19200}, {7, 9600}, {9, 9600}, {11, 9600, "1.01"}}};
    const std::string ulozeny = bus.Cesta("modul1.cfm");
};

} // namespace

TEST_F(Klonovani, UlozeniANahraniDoDalsichModuluDavaShodu) {
    const TBeh load = bus.Spust({"config", "load", ulozeny, "--to", "7,9", "-b", "9600"});
    EXPECT_EQ(load.Kod, 0) << load.Err;
    EXPECT_NE(load.Out.find("adresa 7: zapsáno a ověřeno (17 registrů)"), std::string::npos);
    EXPECT_NE(load.Out.find("adresa 9: zapsáno a ověřeno (17 registrů)"), std::string::npos);
    for (const char* adresa : {"1", "7", "9"}) {
        const TBeh diff = bus.Spust({"config", "diff", ulozeny, "-a", adresa, "-b", "9600"});
        EXPECT_EQ(diff.Kod, 0) << adresa << diff.Out;
        EXPECT_EQ(diff.Out, "Bez rozdílů.\n");
    }
    // Address and rate are not written without --with-address.
    EXPECT_EQ(bus.Sim.view(2)->registers[Registr::Adresa], 7);
    EXPECT_EQ(bus.Sim.view(2)->registers[Registr::NegaceDOUT(0)], 0x78);
    // The module at another rate was not touched; it still differs.
    const TBeh jiny = bus.Spust({"config", "diff", ulozeny, "-a", "5", "-b", "19200"});
    EXPECT_EQ(jiny.Kod, 3);
    EXPECT_NE(
        jiny.Out.find("Negace DOUT: DOUT0-DOUT2, DOUT7, DOUT8, DOUT11, DOUT13, DOUT15-DOUT17, "
                      "DOUT19, DOUT22-DOUT24, DOUT26, DOUT27, DOUT29-DOUT31: soubor 0, modul 1\n"),
        std::string::npos)
        << jiny.Out;
}

TEST_F(Klonovani, StaryFirmwareNedostaneDelsiInicializacniCas) {
    // The saved file holds 300 s; firmware 1.01 takes 1-255 s only.
    const TBeh beh = bus.Spust({"config", "load", ulozeny, "--to", "11,7", "-b", "9600"});
    EXPECT_EQ(beh.Kod, 1);
    EXPECT_NE(beh.Out.find("adresa 11: zastaveno po 0 z 17 registrů: kontrola verze: modul verze "
                           "1.01 dovoluje inicializační čas 1-255 s, soubor udává 300 s"),
              std::string::npos)
        << beh.Out;
    EXPECT_NE(beh.Out.find("adresa 7: zapsáno a ověřeno"), std::string::npos);
    EXPECT_EQ(bus.Sim.view(4)->registers[Registr::NegaceDOUT(0)], 0xFF) << "nothing written";
}

TEST_F(Klonovani, HodnotuKterouSouborNepripustiUloziSVarovanim) {
    // A module whose relay switch-off time reads 0.
    bus.Sim.addFault(zrsim::RegisterFaultRule{0, Registr::DobaVypnutiReleL, 0});
    bus.Sim.addFault(zrsim::RegisterFaultRule{0, Registr::DobaVypnutiReleH, 0});
    const std::string nula = bus.Cesta("nula.cfm");
    const TBeh save = bus.Spust({"config", "save", nula, "-a", "1", "-b", "9600"});
    EXPECT_EQ(save.Kod, 0);
    EXPECT_NE(save.Err.find("varování: " + nula +
                            ", řádek 8: hodnota „0“ klíče "
                            "„doba_vypnuti_rele“ je mimo rozsah 1-65535"),
              std::string::npos)
        << save.Err;
    EXPECT_EQ(bus.Spust({"config", "load", nula, "--to", "7"}).Kod, 2);
}

namespace {

struct TPoruchaZapisu {
    const char* Nazev;
    std::function<void(TSbernice&)> Priprava;
    const char* Radek; // the line of the module that did not succeed
    int Kod;
};

class PoruchaZapisu : public Klonovani, public ::testing::WithParamInterface<TPoruchaZapisu> {};

// After the sixth register command to module 7 (three registers written and
// read back) its answers stop coming.
void ModulZmizi(TSbernice& bus) {
    NastavPozorovatelePrikazu([&bus, pocet = 0](const TZaznamPrikazu& z) mutable {
        const bool registr = z.Kod == Prikaz::ZapisRegistr || z.Kod == Prikaz::CtiRegistr;
        if (z.Adresa == 7 && registr && ++pocet == 6)
            bus.Sim.addFault(zrsim::LineFaultRule{zrsim::LineFault::Lose, 1, 0.0, 0});
    });
}

void JinaHodnotaPriCteni(TSbernice& bus) {
    bus.Sim.addFault(zrsim::RegisterFaultRule{2, Registr::NegaceDIN(1), 0});
}

// Another writer changes a register of module 7 after its last register
// was written and read back (17 registers, each written and read).
void JinyZapisPoPoslednimRegistru(TSbernice& bus) {
    NastavPozorovatelePrikazu([&bus, pocet = 0](const TZaznamPrikazu& z) mutable {
        const bool registr = z.Kod == Prikaz::ZapisRegistr || z.Kod == Prikaz::CtiRegistr;
        if (z.Adresa == 7 && registr && ++pocet == 34)
            bus.Sim.addFault(zrsim::RegisterFaultRule{2, Registr::NegaceDIN(1), 0x0F});
    });
}

} // namespace

TEST_P(PoruchaZapisu, OstatniModulySeZapisou) {
    GetParam().Priprava(bus);
    const TBeh beh = bus.Spust({"config", "load", ulozeny, "--to", "1,7,9", "-b", "9600"});
    NastavPozorovatelePrikazu(nullptr);
    EXPECT_EQ(beh.Kod, GetParam().Kod);
    EXPECT_NE(beh.Out.find("adresa 1: zapsáno a ověřeno"), std::string::npos) << beh.Out;
    EXPECT_NE(beh.Out.find(GetParam().Radek), std::string::npos) << beh.Out;
    EXPECT_NE(beh.Out.find("adresa 9: zapsáno a ověřeno"), std::string::npos) << beh.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, PoruchaZapisu,
    ::testing::Values(
        TPoruchaZapisu{"modul_zmizi", ModulZmizi,
                       "adresa 7: zastaveno po 3 z 17 registrů: zápis, registr 41: modul "
                       "neodpověděl v časovém limitu (kód 6)",
                       1},
        TPoruchaZapisu{"jina_hodnota", JinaHodnotaPriCteni,
                       "adresa 7: zastaveno po 5 z 17 registrů: zápis, registr 36: Chyba zápisu "
                       "dat. (zapsáno 255, přečteno 0)",
                       3},
        TPoruchaZapisu{"jiny_zapis_po_poslednim_registru", JinyZapisPoPoslednimRegistru,
                       "adresa 7: zastaveno po 17 z 17 registrů: ověření, registr 36: modul nyní "
                       "drží 15 místo zapsané 255",
                       3}),
    [](const auto& info) { return std::string(info.param.Nazev); });

namespace {

// A subcommand with --json: the keys of its document and what it did to the
// module (index 0 at address 1).
struct TPodprikaz {
    const char* Nazev;
    std::vector<std::string> Argumenty;
    std::vector<const char*> Klice;
    std::function<void(TSbernice&)> Pred;
    std::function<void(const TSbernice&, const QJsonObject&)> Overeni;
};

void Nic(TSbernice&) {}

std::vector<TPodprikaz> Podprikazy() {
    return {
        {"identify",
         {"identify", "-a", "5", "-b", "19200"},
         {"adresa", "rychlost", "modul", "nazev", "verze", "doplnek"},
         Nic,
         [](const TSbernice&, const QJsonObject& j) {
             EXPECT_EQ(j["modul"].toString(), QStringLiteral("ZR-464   v.1.01"));
             EXPECT_EQ(j["doplnek"].toString(), QStringLiteral("MOD-0005"));
         }},
        {"inputs",
         {"inputs", "-a", "1"},
         {"adresa", "vstupy", "din"},
         [](TSbernice& b) { b.Sim.setInputPins(0, 0x0000FFFF); },
         [](const TSbernice&, const QJsonObject& j) {
             // The factory negation inverts every input.
             EXPECT_EQ(j["vstupy"].toInteger(), 0xFFFF0000);
             EXPECT_EQ(j["din"].toArray().size(), 32);
             EXPECT_EQ(j["din"][16].toInt(), 1);
         }},
        {"outputs",
         {"outputs", "--on", "0,9,16-17", "-a", "1"},
         {"adresa", "vystupy", "dout"},
         Nic,
         [](const TSbernice& b, const QJsonObject& j) {
             EXPECT_EQ(b.Sim.view(0)->outputRegister, 0x00030201u);
             EXPECT_EQ(j["vystupy"].toInteger(), 0x00030201);
         }},
        {"outputs_maska",
         {"outputs", "0x80000001", "-a", "1"},
         {"vystupy"},
         Nic,
         [](const TSbernice& b, const QJsonObject&) {
             EXPECT_EQ(b.Sim.view(0)->outputRegister, 0x80000001u);
         }},
        {"status_clear",
         {"status", "--clear", "-a", "1"},
         {"adresa", "vynulovano", "status", "bity", "nastavene"},
         Nic,
         [](const TSbernice& b, const QJsonObject& j) {
             EXPECT_EQ(b.Sim.view(0)->status, 0u) << "PWR of the start is cleared";
             EXPECT_EQ(j["status"].toInt(), 0);
         }},
        {"status",
         {"status", "-a", "1"},
         {"status", "nastavene"},
         Nic,
         [](const TSbernice&, const QJsonObject& j) {
             EXPECT_EQ(j["nastavene"].toArray(), QJsonArray{QStringLiteral("PWR")});
         }},
        {"watchdog_set",
         {"watchdog", "--set", "300", "-a", "1"},
         {"adresa", "nastaveno", "zbyva"},
         Nic,
         [](const TSbernice& b, const QJsonObject& j) {
             EXPECT_GE(b.Sim.view(0)->watchdogLeft, 298);
             EXPECT_GE(j["zbyva"].toInt(), 298);
         }},
        {"config_show",
         {"config", "show", "-a", "1"},
         {"adresa_pripojeni", "konfigurace"},
         Nic,
         [](const TSbernice&, const QJsonObject& j) {
             const QJsonObject k = j["konfigurace"].toObject();
             for (const char* klic :
                  {"adresa", "rychlost", "inicializacni_cas", "doba_vypnuti_rele",
                   "aktivace_watchdogu", "negace_din", "negace_dout", "pocatecni_stav_dout"})
                 EXPECT_TRUE(k.contains(QLatin1String(klic))) << klic;
             EXPECT_EQ(k["negace_din"].toInteger(), 0xFFFFFFFF);
             EXPECT_EQ(k["inicializacni_cas"].toInt(), 60);
         }},
        {"config_show_rychlost_mimo_tabulku",
         {"config", "show", "-a", "1"},
         {"konfigurace"},
         [](TSbernice& b) {
             b.Sim.addFault(zrsim::RegisterFaultRule{0, Registr::Rychlost, 12});
         },
         [](const TSbernice&, const QJsonObject& j) {
             const QJsonObject k = j["konfigurace"].toObject();
             EXPECT_TRUE(k["rychlost"].isNull()) << "the module never sent a rate of 0 Bd";
             EXPECT_EQ(k["rychlost_index"].toInt(), 12);
         }},
    };
}

class Podprikaz : public ::testing::TestWithParam<TPodprikaz> {};

} // namespace

TEST_P(Podprikaz, JsonMaDokumentovaneKliceAModulDelaCoOkna) {
    const TPodprikaz& p = GetParam();
    TSbernice bus({{1, 9600}, {5, 19200, "1.01", "MOD-0005"}});
    p.Pred(bus);
    auto argumenty = p.Argumenty;
    argumenty.push_back("--json");
    const TBeh beh = bus.Spust(argumenty);
    ASSERT_EQ(beh.Kod, 0) << beh.Err;
    const QJsonObject json = Json(beh.Out);
    for (const char* klic : p.Klice)
        EXPECT_TRUE(json.contains(QLatin1String(klic))) << klic << " in " << beh.Out;
    p.Overeni(bus, json);
}

INSTANTIATE_TEST_SUITE_P(Cli, Podprikaz, ::testing::ValuesIn(Podprikazy()),
                         [](const auto& info) { return std::string(info.param.Nazev); });

TEST(CliSledovani, JsonLinesZaKazdeCteniATraceZaKazdyPrikaz) {
    TSbernice bus({{1, 9600}});
    const TBeh beh = bus.Spust(
        {"inputs", "-a", "1", "--watch", "--interval", "0", "--count", "3", "--json", "--trace"});
    EXPECT_EQ(beh.Kod, 0);
    const QList<QByteArray> radky = QByteArray::fromStdString(beh.Out).trimmed().split('\n');
    ASSERT_EQ(radky.size(), 3);
    for (const QByteArray& r : radky) {
        const QJsonObject j = Json(r.toStdString());
        EXPECT_TRUE(j.contains(QStringLiteral("cas")));
        EXPECT_TRUE(j.contains(QStringLiteral("vstupy")));
    }
    // One trace line per transaction, each a JSON object with the transaction.
    const QList<QByteArray> trace = QByteArray::fromStdString(beh.Err).trimmed().split('\n');
    ASSERT_EQ(trace.size(), 3);
    const QJsonObject t = Json(trace[0].toStdString());
    for (const char* klic :
         {"prikaz", "parametr", "adresa", "d", "vysledek", "text", "s", "a", "ms"})
        EXPECT_TRUE(t.contains(QLatin1String(klic))) << klic;
    EXPECT_EQ(t["parametr"].toInt(), 64);
}

namespace {

struct TText {
    const char* Nazev;
    std::vector<std::string> Argumenty;
    const char* Vzor; // the whole standard output
};

class Text : public ::testing::TestWithParam<TText> {};

} // namespace

TEST_P(Text, TextovyVystup) {
    TSbernice bus({{1, 9600}});
    const TBeh beh = bus.Spust(GetParam().Argumenty);
    EXPECT_EQ(beh.Kod, 0) << beh.Err;
    EXPECT_TRUE(std::regex_match(beh.Out, std::regex(GetParam().Vzor))) << beh.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, Text,
    ::testing::Values(
        // The module's name without the blanks that pad it to 8 characters.
        TText{"identify",
              {"identify", "-a", "1"},
              "Modul: ZR-464   v\\.1\\.04\nNázev: ZR-464\nVerze: 1\\.04\n"
              "Doplňková identifikace: SIM-0001\n"},
        // Each line of --watch begins with the time of its reading.
        TText{"watch",
              {"status", "--clear", "-a", "1", "--watch", "--count", "2", "--interval", "0"},
              "(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} Status registr[^\n]*\n){3}"}),
    [](const auto& info) { return std::string(info.param.Nazev); });

TEST(CliTrasovani, TextovyRadekSPrikazemDatyVysledkemACasem) {
    TSbernice bus({{1, 9600}});
    const TBeh beh = bus.Spust({"status", "--clear", "-a", "1", "--trace"});
    EXPECT_EQ(beh.Kod, 0);
    EXPECT_EQ(beh.Err.find("příkaz 101/0 adresa 1 D 0 0 0 0 0 -> výsledek 0 ("), 0u) << beh.Err;
    EXPECT_NE(beh.Err.find("\npříkaz 100/0 adresa 1 D 0 0 0 0 0 -> výsledek 0 ("),
              std::string::npos);
    EXPECT_NE(beh.Err.find(" ms\n"), std::string::npos);
}

// --stats: the summary of every transaction of the run at the end on
// standard error, as text lines or as one {"statistika": ...} object.
TEST(CliStatistika, SouhrnNaKonciTextemIJsonem) {
    for (const bool json : {false, true}) {
        SCOPED_TRACE(json ? "json" : "text");
        TSbernice bus({{1, 9600}});
        bus.Sim.addFault(zrsim::CommandFaultRule{0, 64, 25, 1});
        std::vector<std::string> argumenty = {"inputs", "-a",      "1", "--watch", "--interval",
                                              "0",      "--count", "3", "--stats"};
        if (json) argumenty.push_back("--json");
        const TBeh beh = bus.Spust(argumenty);
        EXPECT_EQ(beh.Kod, 1) << "one poll failed";
        const std::string konec = beh.Err.substr(beh.Err.find("statistika"));
        if (!json) {
            EXPECT_NE(konec.find(", úspěšných 2, neúspěšných 1 (vypršení času 0, poškozené "
                                 "odpovědi 0)\n"),
                      std::string::npos)
                << konec;
            EXPECT_NE(konec.find("statistika: doba odezvy ms: min "), std::string::npos);
            EXPECT_NE(konec.find("statistika: kód 25 ("), std::string::npos);
            EXPECT_NE(konec.find("statistika: poslední chyba: "), std::string::npos);
            continue;
        }
        const QJsonObject st = Json(beh.Err.substr(beh.Err.rfind("{\"statistika\"")))
                                   .value(QStringLiteral("statistika"))
                                   .toObject();
        EXPECT_EQ(st["neuspesnych"].toInt(), 1);
        EXPECT_EQ(st["uspesnych"].toInt(), st["transakci"].toInt() - 1);
        EXPECT_EQ(st["podle_kodu"].toArray().at(0).toObject()["kod"].toInt(), 25);
        EXPECT_GT(st["odezva_ms"].toObject()["max"].toDouble(), 0.0);
        EXPECT_EQ(st["posledni_chyba"].toObject()["kod"].toInt(), 25);
    }
}

// send: the answer of one command in words and as JSON; the exit code
// follows the result; --repeat ends with the summary.
TEST(CliPoslani, OdpovedJednohoPrikazuTextemIJsonem) {
    TSbernice bus({{1, 9600}});
    const TBeh json = bus.Spust({"send", "200", "0", "-a", "1", "--json"});
    ASSERT_EQ(json.Kod, 0) << json.Err;
    const QJsonObject j = Json(json.Out);
    EXPECT_EQ(j["vysledek"].toInt(), 0);
    EXPECT_EQ(j["znaky"].toString(), QStringLiteral("ZR-4"));
    EXPECT_EQ(j["a"].toArray(), (QJsonArray{90, 82, 45, 52}));
    EXPECT_EQ(j["nazev"].toString(), QStringLiteral("identifikace: název 1-4"));
    for (const char* klic : {"adresa", "prikaz", "parametr", "d", "text", "s", "s_bity", "ms"})
        EXPECT_TRUE(j.contains(QLatin1String(klic))) << klic;

    const TBeh text = bus.Spust({"send", "0", "64", "-a", "1"});
    ASSERT_EQ(text.Kod, 0) << text.Err;
    const std::array<std::uint8_t, 4> a = Bajty32(bus.Sim.view(0)->inputsRead);
    EXPECT_TRUE(std::regex_match(
        text.Out, std::regex("příkaz 0/64 \\(čtení vstupů\\), adresa 1, D 0 0 0 0 0\n"
                             "výsledek 0: [^\n]+\nS 0x[0-9A-F]{2}[^\n]*\n"
                             "A1-A4 " +
                             HexOdpovedi(a).toStdString() +
                             " \\| [0-9 ]+ \\| „[^\n]*“\n"
                             "doba [0-9]+\\.[0-9]{2} ms\n")))
        << text.Out;

    bus.Sim.addFault(zrsim::CommandFaultRule{0, 64, 25, 1});
    const TBeh chyba = bus.Spust({"send", "0", "64", "-a", "1", "--json"});
    EXPECT_EQ(chyba.Kod, 1);
    EXPECT_EQ(Json(chyba.Out)["vysledek"].toInt(), 25);
}

TEST(CliPoslani, OpakovaniKonciSouhrnem) {
    for (const bool porucha : {false, true}) {
        SCOPED_TRACE(porucha ? "one failure" : "all well");
        TSbernice bus({{1, 9600}});
        if (porucha) bus.Sim.addFault(zrsim::CommandFaultRule{100, 0, 25, 1});
        const TBeh beh = bus.Spust(
            {"send", "100", "0", "-a", "1", "--repeat", "3", "--interval", "0", "--json"});
        EXPECT_EQ(beh.Kod, porucha ? 1 : 0) << beh.Err;
        const QList<QByteArray> radky = QByteArray::fromStdString(beh.Out).trimmed().split('\n');
        ASSERT_EQ(radky.size(), 4);
        EXPECT_EQ(Json(radky[2].toStdString())["poradi"].toInt(), 3);
        const QJsonObject souhrn = Json(radky[3].toStdString())["souhrn"].toObject();
        EXPECT_EQ(souhrn["odeslano"].toInt(), 3);
        EXPECT_EQ(souhrn["neuspesnych"].toInt(), porucha ? 1 : 0);
        EXPECT_GT(souhrn["odezva_ms"].toObject()["max"].toDouble(), 0.0);
        EXPECT_EQ(bus.Sim.requestCount(), 3u);
    }
}

TEST(CliPripojeni, BezVolebPouzijeSouborNastaveni) {
    TSbernice bus({{5, 19200}});
    TData data;
    VychoziData(&data);
    data.Rozhrani = 4;
    data.IPAdresa = QStringLiteral("127.0.0.1");
    data.UDPPort = bus.Udp.port();
    data.UDPTimeout = 20;
    data.Adresa = 5;
    data.Rychlost = 19200;
    const QString ini = QString::fromStdString(bus.Cesta("W_zr464.ini"));
    ASSERT_TRUE(UlozNastaveni(&data, ini));
    QFile::copy(ini, ini + QStringLiteral(".puvodni"));

    std::ostringstream out, err;
    const int kod = SpustCli({"identify"}, out, err, TProstredi{ini, false});
    EXPECT_EQ(kod, 0) << err.str();
    EXPECT_NE(out.str().find("Modul: ZR-464   v.1.04"), std::string::npos);
    // The program never writes the file.
    QFile a(ini), b(ini + QStringLiteral(".puvodni"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
}

namespace {

struct TPouziti {
    const char* Nazev;
    std::vector<std::string> Argumenty; // "@name": a path in the test's directory
    int Kod;
    const char* Text; // in standard output (help) or error
};

class Pouziti : public ::testing::TestWithParam<TPouziti> {};

// Words of the option parser's own English texts.
const std::regex AnglickaSlova(
    "\\b(Usage|OPTIONS|Options|SUBCOMMANDS?|Subcommands?|Positionals|REQUIRED|required|FILE|MASK|"
    "TEXT|INT|arguments|expected|received|convert|such|file|directory|not|is|was)\\b");

} // namespace

TEST_P(Pouziti, NapovedaAChybnePouzitiNicNeposlou) {
    TSbernice bus({{1, 9600}});
    // A FIFO and a link to it: nothing may wait on them or replace them.
    const std::string roura = bus.Cesta("roura");
    ASSERT_EQ(::mkfifo(roura.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(roura.c_str(), bus.Cesta("odkaz").c_str()), 0);
    auto argumenty = GetParam().Argumenty;
    for (std::string& a : argumenty)
        if (a.starts_with('@')) a = bus.Cesta(a.substr(1));
    auto beh = std::async(std::launch::async, [&] { return bus.Spust(argumenty); });
    if (beh.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "waits on the FIFO";
        ::close(::open(roura.c_str(), O_WRONLY | O_NONBLOCK));
    }
    const TBeh b = beh.get();
    EXPECT_EQ(b.Kod, GetParam().Kod);
    EXPECT_NE((b.Out + b.Err).find(GetParam().Text), std::string::npos) << b.Out << b.Err;
    EXPECT_EQ(bus.Sim.requestCount(), 0u);
    const std::string vse = b.Out + b.Err;
    std::smatch slovo;
    EXPECT_FALSE(std::regex_search(vse, slovo, AnglickaSlova)) << slovo.str() << vse;
    // With --json the error is a JSON document too.
    if (b.Kod != 0 && std::find(argumenty.begin(), argumenty.end(), "--json") != argumenty.end()) {
        EXPECT_TRUE(Json(b.Out).contains(QStringLiteral("chyba"))) << b.Out;
    }
    struct stat st {};
    ASSERT_EQ(::lstat(roura.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was replaced";
    ASSERT_EQ(::lstat(bus.Cesta("odkaz").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced";
}

INSTANTIATE_TEST_SUITE_P(
    Cli, Pouziti,
    ::testing::Values(
        TPouziti{"napoveda_load", {"config", "load", "--help"}, 0, "--with-address"},
        TPouziti{"napoveda_scan", {"scan", "--help"}, 0, "--rates"},
        TPouziti{"adresa_pro_vice_modulu",
                 {"config", "load", "x.cfm", "--to", "1,2", "--with-address"},
                 2,
                 "jen pro jeden modul"},
        TPouziti{"vystupy_bez_masky", {"outputs"}, 2, "MASK"},
        TPouziti{"spatna_rychlost", {"scan", "--rates", "9601"}, 2, "9601"},
        TPouziti{"spatny_seznam", {"config", "load", "x.cfm", "--to", "5-2"}, 2, "5-2"},
        TPouziti{"adresa_mimo_rozsah", {"identify", "-a", "256"}, 2, "0-255"},
        TPouziti{"bez_podprikazu", {}, 2, "chybné použití"},
        TPouziti{"napoveda", {"--help"}, 0, "PODPŘÍKAZ"},
        TPouziti{"napoveda_config", {"config", "--help"}, 0, "PODPŘÍKAZ"},
        TPouziti{"napoveda_save", {"config", "save", "--help"}, 0, "SOUBOR"},
        TPouziti{"napoveda_outputs", {"outputs", "--help"}, 0, "MASKA"},
        TPouziti{"napoveda_watchdog", {"watchdog", "--help"}, 0, "SEKUNDY"},
        TPouziti{"napoveda_send", {"send", "--help"}, 0, "--repeat"},
        TPouziti{"send_kod_mimo_rozsah", {"send", "256", "0"}, 2, "0-255"},
        TPouziti{"send_data_mimo_rozsah", {"send", "1", "64", "0", "0x100"}, 2, "D2"},
        TPouziti{
            "send_sest_dat", {"send", "1", "64", "1", "2", "3", "4", "5", "6"}, 2, "nejvýše pět"},
        TPouziti{"send_bez_parametru", {"send", "200"}, 2, "PARAMETR"},
        TPouziti{"send_interval_bez_repeat",
                 {"send", "0", "64", "--interval", "5"},
                 2,
                 "jen s --repeat"},
        TPouziti{"send_repeat_nula", {"send", "0", "64", "--repeat", "0"}, 2, "aspoň 1"},
        TPouziti{"neznamy_podprikaz", {"bla"}, 2, "neznámý podpříkaz: bla"},
        TPouziti{"chybi_soubor", {"config", "diff"}, 2, "chybí povinný"},
        TPouziti{"dvakrat_adresa", {"identify", "-a", "1", "-a", "2"}, 2, "nejvýše"},
        TPouziti{"hodnota_prepinace", {"inputs", "--json=x"}, 2, "nebere hodnotu"},
        TPouziti{"argumenty_v_poradi",
                 {"identify", "--", "a", "b", "c"},
                 2,
                 "nečekané argumenty: a b c"},
        TPouziti{"json", {"identify", "-a", "256", "--json"}, 2, "0-255"},
        TPouziti{"count_bez_watch", {"inputs", "--count", "2"}, 2, "jen s --watch"},
        TPouziti{"prazdne_cile", {"config", "load", "x.cfm", "--to", ""}, 2, "prázdný"},
        TPouziti{"prazdne_adresy", {"scan", "--addresses", ""}, 2, "prázdný"},
        TPouziti{"prazdne_rychlosti", {"scan", "--addresses", "1", "--rates", " "}, 2, "prázdný"},
        TPouziti{"prazdny_seznam_vystupu", {"outputs", "--on", ""}, 2, "prázdný"},
        TPouziti{"soubor_neexistuje", {"config", "load", "@chybi.cfm"}, 2, "soubor neexistuje"},
        TPouziti{"nahrani_z_roury", {"config", "load", "@roura"}, 2, "roura (FIFO)"},
        TPouziti{"porovnani_s_rourou", {"config", "diff", "@roura"}, 2, "roura"},
        TPouziti{"nahrani_ze_zarizeni", {"config", "load", "/dev/null"}, 2, "ale zařízení"},
        TPouziti{"ulozeni_do_roury", {"config", "save", "@roura"}, 2, "roura (FIFO)"},
        TPouziti{"ulozeni_pres_odkaz",
                 {"config", "save", "@odkaz", "--json"},
                 2,
                 "odkaz nevede na obyčejný soubor, ale na: roura"}),
    [](const auto& info) { return std::string(info.param.Nazev); });

namespace {

// zr464-cli scan over COM1: the serial library copied beside its own driver
// configuration file, which points COM1 at the simulator's pseudo-terminal.
TBeh SkenPresCOM(zrsim::Simulator& sim, bool casLinky, const std::vector<std::string>& argumenty) {
    QTemporaryDir adresar;
    const std::filesystem::path dir = adresar.path().toStdString();
    std::filesystem::copy_file(std::filesystem::path(ZR_BIN_DIR) / "XCOM683.so",
                               dir / "XCOM683.so");
    QFile conf(adresar.filePath(QStringLiteral("zr683-drivers.conf")));
    EXPECT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("COM1 = line\n");
    conf.close();
    zrsim::PtyEndpoint pty(sim, {(dir / "line").string(), casLinky});
    std::string chyba;
    EXPECT_TRUE(pty.start(chyba)) << chyba;
    NastavAdresarKnihoven(adresar.path());
    std::vector<std::string> vse = {"scan", "-i", "com", "--com", "1"};
    vse.insert(vse.end(), argumenty.begin(), argumenty.end());
    std::ostringstream out, err;
    TBeh beh;
    beh.Kod = SpustCli(vse, out, err, TProstredi{adresar.filePath(QStringLiteral("x.ini")), false});
    NastavAdresarKnihoven(QString());
    beh.Out = out.str();
    beh.Err = err.str();
    return beh;
}

} // namespace

TEST(CliPripojeni, SkenPresCOMAPseudoterminal) {
    zrsim::SimulatorConfig config;
    config.modules = {{{}, 3, 5}, {{}, 4, 4}};
    zrsim::Simulator sim(config);
    const TBeh beh =
        SkenPresCOM(sim, false, {"--addresses", "2-5", "--rates", "9600,19200", "--json"});
    EXPECT_EQ(beh.Kod, 0) << beh.Err;
    EXPECT_EQ(Nalezene(Json(beh.Out)), (TModuly{{3, 19200}, {4, 9600}}));
}

// The probes wait for an answer's first character only as long as the
// module's turnaround allows: with the line's time emulated on the serial
// line and on the converter's, a module that answers at the latest
// turnaround is found at each rate, one that answers later is not.
TEST(CliPripojeni, SkenNajdeModulDoKonceObratu) {
    const struct {
        const char* Nazev;
        bool Lan;
        std::int32_t Rychlost;
        std::uint32_t ZpozdeniMs;
        bool Nalezen;
    } radky[] = {
        {"com_nejpozdeji", false, 9600, zrbus::kTurnaroundMs, true},
        {"com_pozde", false, 9600, zrbus::kTurnaroundMs + 40, false},
        {"com_nejpozdeji_2400", false, 2400, zrbus::kTurnaroundMs, true},
        {"lan_nejpozdeji", true, 9600, zrbus::kTurnaroundMs, true},
        {"lan_pozde", true, 9600, zrbus::kTurnaroundMs + 40, false},
        {"lan_nejpozdeji_2400", true, 2400, zrbus::kTurnaroundMs, true},
    };
    for (const auto& r : radky) {
        SCOPED_TRACE(r.Nazev);
        const std::vector<std::string> argumenty = {"--addresses", "2-4", "--rates",
                                                    std::to_string(r.Rychlost), "--json"};
        std::vector<std::string> lan = {"scan"};
        lan.insert(lan.end(), argumenty.begin(), argumenty.end());
        const zrsim::LineFaultRule zpozdeni{zrsim::LineFault::Delay, 0, 1.0, r.ZpozdeniMs};
        const TModuly ocekavane = r.Nalezen ? TModuly{{3, r.Rychlost}} : TModuly{};
        TBeh beh;
        if (r.Lan) {
            TSbernice bus({{3, r.Rychlost}}, false, true);
            bus.Sim.addFault(zpozdeni);
            beh = bus.Spust(lan);
        } else {
            zrsim::SimulatorConfig config;
            config.modules = {{{}, 3, RychlostNaIndex(r.Rychlost)}};
            zrsim::Simulator sim(config);
            sim.addFault(zpozdeni);
            beh = SkenPresCOM(sim, true, argumenty);
        }
        EXPECT_EQ(beh.Kod, 0) << beh.Err;
        EXPECT_EQ(Nalezene(Json(beh.Out)), ocekavane) << beh.Out << beh.Err;
    }
}
