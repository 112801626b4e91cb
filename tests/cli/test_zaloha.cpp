// zr464-cli bus save / bus diff against a simulated bus of three modules at
// two rates: a saved folder compares without differences; a register changed
// through the simulator's control, a module gone from the bus and one not in
// the folder each give exit 3 and name the module; a faulty folder or list
// is a usage error before anything is sent.
#include "Cli.h"
#include "Control.h"
#include "Sbernice.h"
#include "ZalohaSbernice.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <gtest/gtest.h>

namespace {

const std::vector<TSimulovanyModul> Tri = {{1, 9600}, {5, 9600}, {9, 19200}};
const std::vector<std::string> Seznam = {"--addresses", "1,5,9", "--rates", "9600,9600,19200"};

QJsonObject Json(const std::string& text) {
    QJsonParseError chyba;
    const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &chyba);
    EXPECT_EQ(chyba.error, QJsonParseError::NoError) << text;
    return doc.object();
}

// "adresa:stav" of every module of a bus diff --json, in its order.
std::vector<std::string> Stavy(const QJsonObject& json) {
    std::vector<std::string> stavy;
    for (const QJsonValue& m : json[QStringLiteral("moduly")].toArray())
        stavy.push_back(std::to_string(m[QStringLiteral("adresa")].toInt()) + ":" +
                        m[QStringLiteral("stav")].toString().toStdString());
    return stavy;
}

std::vector<std::string> S(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ZalohaSbernice : public ::testing::Test {
protected:
    void SetUp() override {
        slozka = bus.Cesta("zaloha");
        const TBeh beh = bus.Spust(S({"bus", "save", slozka, "--json"}, Seznam));
        ASSERT_EQ(beh.Kod, 0) << beh.Out << beh.Err;
        ulozeni = Json(beh.Out);
    }

public:
    void Ovladani(const std::string& prikaz) {
        zrsim::Control c(bus.Sim);
        bool konec = false;
        ASSERT_EQ(c.execute(prikaz, konec), "ok\n");
    }

    TSbernice bus{Tri};
    std::string slozka;
    QJsonObject ulozeni;
};

// The folder: a file per module named by address and rate, the index with
// every module's identification.
TEST_F(ZalohaSbernice, SlozkaMaSouborKazdehoModuluASeznam) {
    EXPECT_EQ(ulozeni[QStringLiteral("ulozeno")].toInt(), 3);
    QDir d(QString::fromStdString(slozka));
    EXPECT_EQ(d.entryList(QDir::Files, QDir::Name),
              (QStringList{"modul-001-9600.cfm", "modul-005-9600.cfm", "modul-009-19200.cfm",
                           "zaloha.json"}));
    QFile f(d.filePath(QStringLiteral("zaloha.json")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject index = QJsonDocument::fromJson(f.readAll()).object();
    const QJsonArray moduly = index[QStringLiteral("moduly")].toArray();
    ASSERT_EQ(moduly.size(), 3);
    EXPECT_EQ(moduly[2][QStringLiteral("soubor")].toString(),
              QStringLiteral("modul-009-19200.cfm"));
    EXPECT_EQ(moduly[2][QStringLiteral("modul")].toString(), QStringLiteral("ZR-464   v.1.04"));
    EXPECT_EQ(moduly[2][QStringLiteral("doplnek")].toString(), QStringLiteral("SIM-0001"));
    EXPECT_FALSE(index[QStringLiteral("cas")].toString().isEmpty());
    EXPECT_TRUE(index[QStringLiteral("uplna")].toBool());
}

struct TPripad {
    const char* Nazev;
    std::function<void(ZalohaSbernice&)> Priprava;
    bool SeSeznamem; // the bus's three modules given as the list
    int Kod;
    std::vector<std::string> Stavy;
    const char* Radek; // a line of the text output
};

class PripadyZalohy : public ZalohaSbernice, public ::testing::WithParamInterface<TPripad> {};

TEST_P(PripadyZalohy, PorovnaniSbernice) {
    const TPripad& p = GetParam();
    if (p.Priprava) p.Priprava(*this);
    const auto volby = p.SeSeznamem ? Seznam : std::vector<std::string>{};
    const TBeh json = bus.Spust(S({"bus", "diff", slozka, "--json"}, volby));
    EXPECT_EQ(json.Kod, p.Kod) << json.Out << json.Err;
    EXPECT_EQ(Stavy(Json(json.Out)), p.Stavy);
    EXPECT_EQ(Json(json.Out)[QStringLiteral("shoda")].toBool(), p.Kod == 0);
    const TBeh text = bus.Spust(S({"bus", "diff", slozka}, volby));
    EXPECT_EQ(text.Kod, p.Kod);
    EXPECT_NE(text.Out.find(p.Radek), std::string::npos) << text.Out;
}

void ZmenRegistr(ZalohaSbernice& t) {
    // Module index 2 is address 9: its relay switch-off time reads 7 s.
    t.Ovladani("fault register 3 7 2");
}

// The folder without module 5; the bus still has it.
void BezModulu5(ZalohaSbernice& t) {
    const TBeh beh =
        t.bus.Spust({"bus", "save", t.slozka, "--addresses", "1,9", "--rates", "9600,19200"});
    ASSERT_EQ(beh.Kod, 0) << beh.Err;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, PripadyZalohy,
    ::testing::Values(TPripad{"stejne",
                              nullptr,
                              true,
                              0,
                              {"1:shoda", "5:shoda", "9:shoda"},
                              "Bez rozdílů: 3 moduly."},
                      TPripad{"bez_seznamu_jen_slozka",
                              nullptr,
                              false,
                              0,
                              {"1:shoda", "5:shoda", "9:shoda"},
                              "adresa 9, 19200 Bd: bez rozdílů"},
                      TPripad{"zmeneny_registr",
                              ZmenRegistr,
                              true,
                              3,
                              {"1:shoda", "5:shoda", "9:rozdily"},
                              "  Doba vypnutí relé: soubor "},
                      TPripad{"modul_mimo_zalohu",
                              BezModulu5,
                              true,
                              3,
                              {"1:shoda", "5:mimo_zalohu", "9:shoda"},
                              "adresa 5, 9600 Bd: není v záloze (ZR-464   v.1.04)"}),
    [](const auto& info) { return std::string(info.param.Nazev); });

TEST_F(ZalohaSbernice, ZmenenyRegistrPojmenujeModulAHodnotu) {
    ZmenRegistr(*this);
    const QJsonObject json = Json(bus.Spust({"bus", "diff", slozka, "--json"}).Out);
    const QJsonObject m9 = json[QStringLiteral("moduly")].toArray()[2].toObject();
    ASSERT_EQ(m9[QStringLiteral("adresa")].toInt(), 9);
    const QJsonArray rozdily = m9[QStringLiteral("rozdily")].toArray();
    ASSERT_EQ(rozdily.size(), 1);
    EXPECT_EQ(rozdily[0][QStringLiteral("klic")].toString(), QStringLiteral("doba_vypnuti_rele"));
    EXPECT_EQ(rozdily[0][QStringLiteral("modul")].toString(), QStringLiteral("7"));
}

// A module of the folder that no longer answers is missing from the bus.
TEST(ZalohaSbernice2, ModulChybiNaSbernici) {
    TSbernice puvodni(Tri);
    const std::string slozka = puvodni.Cesta("zaloha");
    ASSERT_EQ(puvodni.Spust(S({"bus", "save", slozka}, Seznam)).Kod, 0);
    TSbernice bez5({{1, 9600}, {9, 19200}});
    const TBeh beh = bez5.Spust({"bus", "diff", slozka, "--json"});
    EXPECT_EQ(beh.Kod, 3) << beh.Out;
    EXPECT_EQ(Stavy(Json(beh.Out)),
              (std::vector<std::string>{"1:shoda", "5:chybi_na_sbernici", "9:shoda"}));
}

// Faulty input ends with exit 2 before the bus is asked; a module that does
// not answer while saving is a module error, the others are saved.
TEST_F(ZalohaSbernice, ChybnyVstupANeodpovidajiciModul) {
    const std::string prazdna = bus.Cesta("prazdna");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(prazdna)));
    const std::string seznam = bus.Cesta("seznam.txt");
    QFile f(QString::fromStdString(seznam));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("# moduly\n1:9600\n12:9600, 9:19200\n");
    f.close();
    const struct {
        std::vector<std::string> Argumenty;
        int Kod;
        const char* Text; // in standard output and error
    } radky[] = {
        {{"bus", "diff", prazdna}, 2, "zaloha.json"},
        {{"bus", "save", slozka, "--addresses", "1,5", "--rates", "9600,9600,19200"}, 2, "--rates"},
        {{"bus", "save", slozka, "--rates", "9600"}, 2, "--addresses"},
        {{"bus", "save", bus.Cesta("jina"), "--from", seznam}, 1, "adresa 12, 9600 Bd: neodpovídá"},
        {{"bus", "save", bus.Cesta("nic")}, 2, "seznam modulů"},
    };
    for (const auto& r : radky) {
        const TBeh beh = bus.Spust(r.Argumenty);
        EXPECT_EQ(beh.Kod, r.Kod) << r.Argumenty[1] << beh.Out << beh.Err;
        EXPECT_NE((beh.Out + beh.Err).find(r.Text), std::string::npos) << beh.Out << beh.Err;
    }
    EXPECT_TRUE(QFile::exists(QString::fromStdString(bus.Cesta("jina/modul-009-19200.cfm"))));
}

// The index is checked whole: a file name with a folder part (which would
// read outside the folder), a module twice, an address or rate outside the
// bus's, another format.
TEST(IndexZalohy, KontrolaCelehoSeznamu) {
    auto index = [](const char* moduly, int format = 1) {
        return QStringLiteral(R"({"format":%1,"moduly":[%2]})")
            .arg(format)
            .arg(QString::fromUtf8(moduly))
            .toUtf8();
    };
    const char* m5 = R"({"adresa":5,"rychlost":19200,"soubor":"modul-005-19200.cfm"})";
    const struct {
        const char* Nazev;
        QByteArray Text;
        bool Ok;
    } radky[] = {
        {"ok", index(m5), true},
        {"empty", index(""), true},
        {"folder part", index(R"({"adresa":5,"rychlost":19200,"soubor":"../x.cfm"})"), false},
        {"absolute", index(R"({"adresa":5,"rychlost":19200,"soubor":"/etc/x.cfm"})"), false},
        {"parent", index(R"({"adresa":5,"rychlost":19200,"soubor":".."})"), false},
        {"twice", index((QByteArray(m5) + "," + m5).constData()), false},
        {"rate", index(R"({"adresa":5,"rychlost":19201,"soubor":"a.cfm"})"), false},
        {"address", index(R"({"adresa":256,"rychlost":9600,"soubor":"a.cfm"})"), false},
        {"format", index(m5, 2), false},
        {"no JSON", "moduly", false},
    };
    for (const auto& r : radky) {
        QString chyba;
        EXPECT_EQ(PrectiIndexZalohy(r.Text, chyba).has_value(), r.Ok) << r.Nazev;
        EXPECT_EQ(chyba.isEmpty(), r.Ok) << r.Nazev << chyba.toStdString();
    }
}

// Each module once, the connection's rate first, then the rates as they
// first come.
TEST(PoradiModulu, PodleRychlosti) {
    using M = std::vector<TModulSbernice>;
    const struct {
        M Seznam;
        std::int32_t Prvni;
        M Poradi;
    } radky[] = {
        {{{1, 9600}, {9, 19200}, {5, 9600}}, 9600, {{1, 9600}, {5, 9600}, {9, 19200}}},
        {{{1, 9600}, {9, 19200}, {5, 9600}}, 19200, {{9, 19200}, {1, 9600}, {5, 9600}}},
        {{{3, 600}, {1, 9600}, {3, 600}, {2, 115200}}, 19200, {{3, 600}, {1, 9600}, {2, 115200}}},
        {{{4, 9600}, {4, 19200}}, 9600, {{4, 9600}, {4, 19200}}},
        {{}, 9600, {}},
    };
    for (const auto& r : radky)
        EXPECT_EQ(PodleRychlosti(r.Seznam, r.Prvni), r.Poradi);
}

} // namespace
