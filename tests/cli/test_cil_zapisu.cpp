// zr464-cli: the checks before a load, an interrupted load, the module's
// characters escaped, and a settings file it cannot use.
#include "Cli.h"
#include "Prikazy.h"
#include "Sbernice.h"
#include "Xxxx683.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

TEST(CliZapis, CilOverenPredZapisemAPreruseniUvadiRegistr) {
    TSbernice bus({{1, 9600}, {3, 9600, "1.04", "\x1B[2J\r\n", "XY-999"}, {7, 9600}, {9, 9600}});
    const std::string cfm = bus.Cesta("m.cfm");
    auto Ma = [](const TBeh& b, const std::string& t) {
        return (b.Out + b.Err).find(t) != std::string::npos;
    };
    auto nahraj = [&](std::vector<std::string> a) {
        a.insert(a.begin(), {"config", "load", cfm, "-b", "9600"});
        return bus.Spust(a);
    };
    ASSERT_EQ(bus.Spust({"config", "save", cfm, "-a", "3", "-b", "9600"}).Kod, 0);
    EXPECT_TRUE(Ma(bus.Spust({"identify", "-a", "3"}), "identifikace: \\x1B[2J\\x0D\\x0A\n"));
    EXPECT_EQ(nahraj({"--to", "3"}).Kod, 0) << "its own file loads again";
    const TBeh jiny = nahraj({"--to", "9"});
    EXPECT_EQ(jiny.Kod, 2);
    EXPECT_TRUE(Ma(jiny, "soubor je z modulu XY-999   v.1.04, cílový modul je ZR-464   v.1.04"));
    EXPECT_EQ(nahraj({"--to", "9", "--force"}).Kod, 0);
    const TBeh obsazena = nahraj({"--with-address", "-a", "9", "--force"});
    EXPECT_TRUE(Ma(obsazena, "adresa 3 při 9600 Bd je obsazena (modul XY-999   v.1.04)"));
    EXPECT_EQ(bus.Sim.view(3)->registers[Registr::Adresa], 9);
    // Ctrl-C between the write of module 7's third register and its read-back.
    NastavPozorovatelePrikazu([n = 0](const TZaznamPrikazu& z) mutable {
        if (z.Adresa == 7 && z.Kod != Prikaz::Identifikace && ++n == 5)
            PozadavekPreruseni().store(true);
    });
    const TBeh beh = nahraj({"--to", "1,7,9", "--json", "--force"});
    NastavPozorovatelePrikazu(nullptr);
    const QJsonArray m = QJsonDocument::fromJson(QByteArray::fromStdString(beh.Out))
                             .object()[QStringLiteral("moduly")]
                             .toArray();
    ASSERT_EQ(m.size(), 3) << beh.Out;
    EXPECT_EQ(m[1][QStringLiteral("registr")].toInt(), 38);
    EXPECT_EQ(m[1][QStringLiteral("chyba")][QStringLiteral("text")].toString(),
              QStringLiteral("přerušeno; registr 38 už může držet novou hodnotu"));
    EXPECT_TRUE(m[2][QStringLiteral("preruseno")].toBool());
    // A settings file that cannot be used is named before the defaults are.
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(bus.Cesta("W_zr464.ini"))));
    const TBeh id = bus.Spust({"identify", "--json", "-a", "1"});
    EXPECT_TRUE(Ma(id, "varování: soubor nastavení " + bus.Cesta("W_zr464.ini") +
                           " nelze použít (je to složka, ne soubor)"));
    EXPECT_TRUE(Ma(id, "\"varovani\":[\"soubor nastavení"));
}
