// The .cfm file: what is written reads back the same, and every kind of bad
// file is refused whole, with the line named, before anything is sent.
#include "Cfm.h"
#include "PopisRozdilu.h"
#include "Sbernice.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const std::string Platny = "# komentar\n"
                           "format = zr464-cfm 1\n"
                           "adresa = 3\n"
                           "rychlost = 19200\n"
                           "inicializacni_cas = 300\n"
                           "doba_vypnuti_rele = 7\n"
                           "aktivace_watchdogu = 0\n"
                           "negace_din = 0x0000FFFF\n"
                           "negace_dout = 0xF0F0F0F0\n"
                           "pocatecni_stav_dout = 0x80000001\n";

std::string Nahrad(std::string text, const std::string& co, const std::string& cim) {
    text.replace(text.find(co), co.size(), cim);
    return text;
}

struct TSpatnySoubor {
    const char* Nazev;
    std::string Obsah;
    int Radek;
    const char* Zprava;
};

std::vector<TSpatnySoubor> SpatneSoubory() {
    std::string obrovsky;
    while (obrovsky.size() <= 70000)
        obrovsky += "# vypln\n";
    return {
        {"prazdny", "", 1, "soubor je prázdný"},
        {"useknuty_uprostred_radku", Platny.substr(0, Platny.size() - 6), 10, "useknutý"},
        {"useknuty_na_konci_radku", Platny.substr(0, Platny.rfind("pocatecni")), 9,
         "chybí klíč „pocatecni_stav_dout“"},
        {"binarni",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0\n",
                     11),
         1, "binární data"},
        {"ne_utf8", Nahrad(Platny, "# komentar", "# \xff\xfe"), 1, "UTF-8"},
        // A sequence cut off at the line's end would drop a digit's place.
        {"utf8_useknute_na_konci_radku", Nahrad(Platny, "0xF0F0F0F0", "0xF0F0F0F\xEC"), 9, "UTF-8"},
        {"utf8_useknute_pred_cr_lf", Nahrad(Platny, "= 7\n", "= 7\xC3\r\n"), 6, "UTF-8"},
        {"obrovsky", obrovsky, 8193, "delší než 65536 bajtů"},
        {"dvakrat_klic", Platny + "adresa = 4\n", 11,
         "„adresa“ je uveden podruhé (poprvé na řádku 3)"},
        {"neznamy_klic", Nahrad(Platny, "adresa = 3", "barva = 3"), 3, "neznámý klíč „barva“"},
        {"cas_mimo_rozsah", Nahrad(Platny, "= 300", "= 0"), 5, "mimo rozsah 1-65535"},
        {"rychlost_mimo_tabulku", Nahrad(Platny, "19200", "19201"), 4, "není jedna z"},
        {"maska_prilis_dlouha", Nahrad(Platny, "0x0000FFFF", "0x10000FFFF"), 8, "není číslo"},
        {"adresa_zaporna", Nahrad(Platny, "adresa = 3", "adresa = -1"), 3, "není číslo"},
        {"bez_rovnitka", Nahrad(Platny, "adresa = 3", "adresa 3"), 3, "klíč = hodnota"},
        {"jiny_format", Nahrad(Platny, "cfm 1", "cfm 2"), 2, "neznámý formát"},
    };
}

class SpatnySoubor : public ::testing::TestWithParam<TSpatnySoubor> {};

} // namespace

TEST(Cfm, ZapsanySouborSePrecteStejne) {
    TChybaCfm chyba;
    const auto k = PrectiCfm(QByteArray::fromStdString(Platny), chyba);
    ASSERT_TRUE(k) << chyba.Radek << ": " << chyba.Text.toStdString();
    EXPECT_EQ(k->Adresa, 3);
    EXPECT_EQ(k->Rychlost, 5);
    EXPECT_EQ(k->InicializacniCas, 300);
    EXPECT_EQ(k->NegaceDIN, (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(k->PocatecniStavDOUT, (std::array<std::uint8_t, 4>{1, 0, 0, 0x80}));
    const auto znovu = PrectiCfm(ZapisCfm(*k, {QStringLiteral("hlavička")}), chyba);
    ASSERT_TRUE(znovu);
    EXPECT_EQ(ZapisCfm(*znovu, {}), ZapisCfm(*k, {}));
    // LF, CR LF and CR line ends read alike.
    for (const char* konec : {"\r\n", "\r"}) {
        const auto jiny = PrectiCfm(QByteArray::fromStdString(Platny).replace("\n", konec), chyba);
        ASSERT_TRUE(jiny) << chyba.Radek << ": " << chyba.Text.toStdString();
        EXPECT_EQ(ZapisCfm(*jiny, {}), ZapisCfm(*k, {}));
    }
}

TEST_P(SpatnySoubor, OdmitnutCelyANicSeNeposle) {
    const TSpatnySoubor& p = GetParam();
    TSbernice bus({{1, 9600}, {7, 9600}});
    const std::string cesta = bus.Cesta("spatny.cfm");
    QFile f(QString::fromStdString(cesta));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(p.Obsah.data(), static_cast<qint64>(p.Obsah.size()));
    f.close();

    const TBeh beh = bus.Spust({"config", "load", cesta, "--to", "1,7"});
    EXPECT_EQ(beh.Kod, 2);
    EXPECT_NE(beh.Err.find("řádek " + std::to_string(p.Radek) + ": "), std::string::npos)
        << beh.Err;
    EXPECT_NE(beh.Err.find(p.Zprava), std::string::npos) << beh.Err;
    EXPECT_EQ(beh.Out, "");
    EXPECT_EQ(bus.Sim.requestCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cfm, SpatnySoubor, ::testing::ValuesIn(SpatneSoubory()),
                         [](const auto& info) { return std::string(info.param.Nazev); });

// The differences as the windows and `config diff` show them: the words of
// the configuration windows, a mask as its channels in either direction.
TEST(PopisRozdilu, NastaveniSlovyOkenAMaskaPoKanalech) {
    using K = TKonfigurace&;
    struct Radek {
        const char* Nazev;
        void (*Zmen)(K soubor, K modul);
        bool SAdresou;
        QStringList Radky;
    };
    const Radek radky[] = {
        {"shoda", [](K, K) {}, true, {}},
        {"casy",
         [](K s, K m) {
             s.InicializacniCas = 300;
             m.DobaVypnutiRele = 9;
         },
         false,
         {"Inicializační čas: soubor 300 s, modul 60 s",
          "Doba vypnutí relé: soubor 10 s, modul 9 s"}},
        {"aktivace",
         [](K s, K m) { s.AktivaceCasovace = 1, m.AktivaceCasovace = 0; },
         false,
         {"Aktivace časovače: soubor watchdog aktivován, modul watchdog vypnut"}},
        {"aktivace_jiny_nenulovy_bajt",
         [](K s, K m) { s.AktivaceCasovace = 1, m.AktivaceCasovace = 5; },
         false,
         {}},
        {"dva_kanaly",
         [](K s, K) { s.NegaceDIN[0] ^= 0x88; },
         false,
         {"Negace DIN: DIN3, DIN7: soubor 0, modul 1"}},
        {"oba_smery_a_rozsah",
         [](K s, K m) {
             s.PocatecniStavDOUT = {0xFF, 0, 0, 0x80};
             m.PocatecniStavDOUT = {0, 0x04, 0, 0x80};
         },
         false,
         {"Počáteční stav DOUT: DOUT0-DOUT7: soubor 1, modul 0",
          "Počáteční stav DOUT: DOUT10: soubor 0, modul 1"}},
        {"adresa_jen_na_pozadani", [](K s, K m) { s.Adresa = 7, m.Rychlost = 5; }, false, {}},
        {"adresa_a_rychlost",
         [](K s, K m) {
             s.Adresa = 7;
             m.Rychlost = 5;
             s.Rychlost = 11;
         },
         true,
         {"Adresa modulu: soubor 7, modul 1",
          "Komunikační rychlost: soubor index 11, modul 19200 Bd"}},
    };
    for (const Radek& r : radky) {
        TKonfigurace soubor = VychoziKonfigurace(), modul = VychoziKonfigurace();
        soubor.InicializacniCas = modul.InicializacniCas = 60;
        soubor.DobaVypnutiRele = modul.DobaVypnutiRele = 10;
        r.Zmen(soubor, modul);
        QStringList texty;
        for (const TPopisRozdilu& p : PopisRozdilu(soubor, modul, r.SAdresou))
            texty << TextRozdilu(p);
        EXPECT_EQ(texty, r.Radky) << r.Nazev << ": " << texty.join(u'|').toStdString();
    }
}
