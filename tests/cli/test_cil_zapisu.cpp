// What zr464-cli checks before it writes a file into a module, what it says
// when it was stopped, and how it shows what a module sends.
#include "Cli.h"
#include "Prikazy.h"
#include "Sbernice.h"
#include "Xxxx683.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <sstream>

namespace {

QJsonObject Json(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

bool Obsahuje(const std::string& text, const std::string& co) {
    return text.find(co) != std::string::npos;
}

// Modules of two names at 9600 Bd; the file is saved from module 1.
class CilZapisu : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(bus.Spust({"config", "save", soubor, "-a", "1", "-b", "9600"}).Kod, 0);
    }
    std::uint8_t Registr(std::size_t modul, std::uint8_t r) const {
        return bus.Sim.view(modul)->registers[r];
    }
    TSbernice bus{{{1, 9600}, {3, 9600, "1.04", "SIM-0003", "XY-999"}, {7, 9600}, {9, 9600}}};
    const std::string soubor = bus.Cesta("modul1.cfm");
};

} // namespace

TEST_F(CilZapisu, ModulJinehoNazvuJenSForce) {
    const TBeh beh = bus.Spust({"config", "load", soubor, "--to", "3", "-b", "9600"});
    EXPECT_EQ(beh.Kod, 2);
    EXPECT_TRUE(Obsahuje(beh.Out, "adresa 3: zastaveno po 0 z 17 registrů: kontrola modulu: "
                                  "soubor je z modulu ZR-464   v.1.04, cílový modul je "
                                  "XY-999   v.1.04"))
        << beh.Out;
    const TBeh sForce = bus.Spust({"config", "load", soubor, "--to", "3", "--force", "-b", "9600"});
    EXPECT_EQ(sForce.Kod, 0) << sForce.Out;
}

TEST_F(CilZapisu, NovaAdresaObsazenaNicNezapise) {
    QFile f(QString::fromStdString(soubor));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray text = f.readAll();
    f.close();
    text.replace("adresa = 1\n", "adresa = 7\n");
    const std::string na7 = bus.Cesta("na7.cfm");
    QFile g(QString::fromStdString(na7));
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(text);
    g.close();
    const TBeh beh = bus.Spust({"config", "load", na7, "--with-address", "-a", "9", "-b", "9600"});
    EXPECT_EQ(beh.Kod, 1);
    EXPECT_TRUE(Obsahuje(beh.Out, "adresa 7 při 9600 Bd je obsazena (modul ZR-464   v.1.04)"))
        << beh.Out;
    EXPECT_EQ(Registr(3, Registr::Adresa), 9) << "nothing written";
    // A free address is written; the line is back at the connection's rate.
    text.replace("adresa = 7\n", "adresa = 20\n");
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(text);
    g.close();
    const TBeh volna =
        bus.Spust({"config", "load", na7, "--with-address", "-a", "9", "-b", "9600"});
    EXPECT_EQ(volna.Kod, 0) << volna.Out;
    EXPECT_EQ(Registr(3, Registr::Adresa), 20);
}

TEST_F(CilZapisu, PrerusenyZapisVJsonuUvadiVsechnyModuly) {
    // Ctrl-C after the fifth register command to module 7, between the
    // write of its third register and the read-back.
    NastavPozorovatelePrikazu([pocet = 0](const TZaznamPrikazu& z) mutable {
        const bool registr = z.Kod == Prikaz::ZapisRegistr || z.Kod == Prikaz::CtiRegistr;
        if (z.Adresa == 7 && registr && ++pocet == 5) PozadavekPreruseni().store(true);
    });
    const TBeh beh = bus.Spust({"config", "load", soubor, "--to", "1,7,9", "--json", "-b", "9600"});
    NastavPozorovatelePrikazu(nullptr);
    EXPECT_EQ(beh.Kod, 130);
    const QJsonArray moduly = Json(beh.Out)[QStringLiteral("moduly")].toArray();
    ASSERT_EQ(moduly.size(), 3) << beh.Out;
    EXPECT_TRUE(moduly[0][QStringLiteral("ok")].toBool());
    const QJsonObject preruseny = moduly[1].toObject();
    const int registr = preruseny[QStringLiteral("registr")].toInt();
    EXPECT_NE(registr, 0) << beh.Out;
    EXPECT_EQ(preruseny[QStringLiteral("zapsano")].toInt(), 2);
    EXPECT_TRUE(preruseny[QStringLiteral("chyba")][QStringLiteral("text")].toString().contains(
        QStringLiteral("registr %1 už může držet novou hodnotu").arg(registr)))
        << beh.Out;
    EXPECT_EQ(moduly[2][QStringLiteral("adresa")].toInt(), 9);
    EXPECT_TRUE(moduly[2][QStringLiteral("preruseno")].toBool());
    EXPECT_EQ(moduly[2][QStringLiteral("zapsano")].toInt(), 0);
}

TEST(CliZnakyModulu, IdentifikaceSeUkazeEscapovanaASouborSeNahraje) {
    TSbernice bus({{1, 9600, "1.04", "\x1B[2J\r\n", "ZR\x1B]0;x"}});
    const TBeh id = bus.Spust({"identify", "-a", "1", "-b", "9600"});
    EXPECT_TRUE(Obsahuje(id.Out, "Název: ZR\\x1B]0;x")) << id.Out;
    EXPECT_TRUE(Obsahuje(id.Out, "Doplňková identifikace: \\x1B[2J\\x0D\\x0A")) << id.Out;
    EXPECT_FALSE(Obsahuje(id.Out, "\x1B"));
    const TBeh json = bus.Spust({"identify", "--json", "-a", "1", "-b", "9600"});
    EXPECT_EQ(Json(json.Out)[QStringLiteral("nazev")].toString(), QStringLiteral("ZR\x1B]0;x "));
    const TBeh sken = bus.Spust({"scan", "--addresses", "1", "--rates", "9600"});
    EXPECT_FALSE(Obsahuje(sken.Out, "\x1B")) << sken.Out;

    const std::string soubor = bus.Cesta("modul.cfm");
    ASSERT_EQ(bus.Spust({"config", "save", soubor, "-a", "1", "-b", "9600"}).Kod, 0);
    const TBeh load = bus.Spust({"config", "load", soubor, "-a", "1", "-b", "9600"});
    EXPECT_EQ(load.Kod, 0) << load.Out << load.Err;
}

TEST(CliNastaveni, NepouzitelnySouborNastaveniOznami) {
    TSbernice bus({{1, 9600}});
    const QString slozka = QString::fromStdString(bus.Cesta("W_zr464.ini"));
    ASSERT_TRUE(QDir().mkdir(slozka));
    std::ostringstream out, err;
    const auto p = bus.Pripojeni();
    std::vector<std::string> argumenty = {"identify", "--json", "-a", "1", "-b", "9600"};
    argumenty.insert(argumenty.end(), p.begin(), p.end());
    EXPECT_EQ(SpustCli(argumenty, out, err, TProstredi{slozka, false}), 0) << err.str();
    const std::string varovani = "soubor nastavení " + slozka.toStdString() +
                                 " nelze použít (je to složka, ne soubor); platí výchozí "
                                 "připojení";
    EXPECT_TRUE(Obsahuje(err.str(), "varování: " + varovani)) << err.str();
    EXPECT_EQ(Json(out.str())[QStringLiteral("varovani")].toArray().first().toString(),
              QString::fromStdString(varovani));
}
