// The windows of the "Nástroje" menu end to end: the real LAN library
// against a simulated bus of three modules at two rates, over loopback UDP.
#include "Control.h"
#include "HledaniModulu.h"
#include "KonfiguraceModulu.h"
#include "NahraniKonfigurace.h"
#include "Otevreni.h"
#include "Pomocne.h"
#include "Simulator.h"
#include "SimulatorLAN.h"
#include "TriModuly.h"
#include "UdpEndpoint.h"
#include "UlozeniKonfigurace.h"
#include "ZalohovaniSbernice.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

class NastrojeE2E : public TTriModulyE2E {
protected:
    void SetUp() override {
        TTriModulyE2E::SetUp();
        ASSERT_TRUE(adresar.isValid());
    }
    // Runs a configuration window on the file up to its status text.
    template <class T> QString Spust(const QString& cesta, const char* tlacitko = "Button1") {
        T okno(data);
        okno.VolbaSouboru = [cesta](QWidget*, bool) { return cesta; };
        if constexpr (std::is_same_v<T, TNahraniKonfigurace>)
            okno.Potvrzeni = [](QWidget*, const QString&) { return true; };
        okno.show();
        Klikni(&okno, tlacitko);
        const QObject* o = &okno;
        if (o->findChild<QPushButton*>(QStringLiteral("Button4")) != nullptr) Klikni(o, "Button4");
        return Text(&okno, "StatusBar1Panel0");
    }

    QTemporaryDir adresar;
};

TEST_F(NastrojeE2E, NajdeTriModulyAPouzijeDruhy) {
    std::vector<TModulSbernice> posledniSken = {{200, 600}};
    THledaniModulu okno(data, posledniSken);
    okno.show();
    EXPECT_TRUE(okno.Rychlosti[4]->isChecked()); // the connection's 9600 Bd
    okno.Rychlosti[5]->setChecked(true);
    Napis(okno.Edit2, QStringLiteral("15"));
    Klikni(&okno, "Button1");
    EXPECT_EQ(Text(&okno, "StatusBar1Panel0"),
              QStringLiteral(" Nalezeno modulů: 3 (sond 32 z 32)"));
    ASSERT_EQ(okno.StringGrid1->rowCount(), 3);
    QStringList nalezene;
    for (int r = 0; r < 3; ++r)
        nalezene << okno.StringGrid1->item(r, 0)->text() + u'/' +
                        okno.StringGrid1->item(r, 1)->text() + u'/' +
                        okno.StringGrid1->item(r, 4)->text();
    EXPECT_EQ(nalezene, (QStringList{"1/9600/BUS-0001", "5/9600/BUS-0005", "9/19200/BUS-0009"}));
    EXPECT_EQ(okno.ListBox1->count(), 0);
    // The bus overview offers what this scan found.
    EXPECT_EQ(posledniSken, (std::vector<TModulSbernice>{{1, 9600}, {5, 9600}, {9, 19200}}));

    // A double click on the second uses it.
    QWidget* plocha = okno.StringGrid1->viewport();
    const QPoint bod = okno.StringGrid1->visualItemRect(okno.StringGrid1->item(1, 0)).center();
    QTest::mouseClick(plocha, Qt::LeftButton, {}, bod);
    QTest::mouseDClick(plocha, Qt::LeftButton, {}, bod);
    EXPECT_EQ(okno.result(), QDialog::Accepted);
    EXPECT_EQ(data.Adresa, 5);
    EXPECT_EQ(data.Rychlost, 9600);
    EXPECT_EQ(data.Modul, QStringLiteral("ZR-464   v.1.04"));
    EXPECT_EQ(data.ModulDoplnek, QStringLiteral("BUS-0005"));
    EXPECT_EQ(data.StavPripojeni, ZpravaProgramu(ZpravaVPoradku));
    // The connection talks to the chosen module.
    EXPECT_TRUE(IdentifikujModul(data.Rozhrani, data.Spojeni, data.Adresa).Ok());
}

TEST_F(NastrojeE2E, KlonujeKonfiguraciDoDalsihoModulu) {
    TKonfigurace vzor = VychoziKonfigurace();
    vzor.DobaVypnutiRele = 33;
    vzor.NegaceDIN = {1, 2, 3, 4};
    ASSERT_TRUE(ZapisKonfiguraci(data, vzor, false, {}).Ok());
    const QString cesta = adresar.filePath(QStringLiteral("modul1.cfm"));
    EXPECT_TRUE(
        Spust<TUlozeniKonfigurace>(cesta).startsWith(QStringLiteral(" Konfigurace uložena")));

    data.Adresa = 5;
    EXPECT_EQ(Spust<TNahraniKonfigurace>(cesta),
              QStringLiteral(" Konfigurace zapsána a ověřena (17 registrů)."));
    EXPECT_EQ(Spust<TPorovnaniKonfigurace>(cesta), QStringLiteral(" Bez rozdílů."));
    EXPECT_EQ(sim.view(1)->registers[3], 33);

    // One bad value: refused with its line, and the bus sees no request.
    QFile soubor(cesta);
    ASSERT_TRUE(soubor.open(QIODevice::ReadWrite));
    QByteArray text = soubor.readAll().replace("negace_din = 0x04030201", "negace_din = 0x1G");
    soubor.resize(0);
    soubor.write(text);
    soubor.close();
    const std::uint64_t pred = sim.requestCount();
    EXPECT_EQ(Spust<TNahraniKonfigurace>(cesta),
              QStringLiteral(" Soubor %1, řádek 9: hodnota „0x1G“ klíče „negace_din“ není číslo")
                  .arg(cesta));
    EXPECT_TRUE(Spust<TPorovnaniKonfigurace>(cesta).contains(QStringLiteral(", řádek 9: ")));
    EXPECT_EQ(sim.requestCount(), pred);
}

TEST_F(NastrojeE2E, NahraniJmenujeCilAJinyModulPotvrdiPodruhe) {
    data.Modul = QStringLiteral("XY-999   v.1.01"); // the file's "modul"
    const QString cesta = adresar.filePath(QStringLiteral("jiny.cfm"));
    Spust<TUlozeniKonfigurace>(cesta);
    data.Adresa = 5;
    for (const bool podruhe : {false, true}) {
        TNahraniKonfigurace okno(data);
        okno.VolbaSouboru = [cesta](QWidget*, bool) { return cesta; };
        QStringList otazky;
        okno.Potvrzeni = [&](QWidget*, const QString& otazka) {
            otazky << otazka;
            return otazky.size() == 1 || podruhe;
        };
        Klikni(&okno, "Button1");
        Klikni(&okno, "Button4");
        EXPECT_EQ(otazky.value(0), QStringLiteral("Zapsat konfiguraci ze souboru do modulu "
                                                  "ZR-464   v.1.04 na adrese 5, 9600 Bd?"));
        EXPECT_EQ(Text(&okno, "StatusBar1Panel0").endsWith(QStringLiteral("Nic nebylo zapsáno.")),
                  !podruhe);
    }
}

// The bus backed up by the window compares without differences; a register
// changed through the simulator's control names that module and value, and
// the line is back at the connection's rate.
TEST_F(NastrojeE2E, ZalohaSbernicePorovnaZmenenyRegistr) {
    data.Sbernice = {{1, 9600}, {5, 9600}, {9, 19200}};
    const QString slozka = adresar.filePath(QStringLiteral("sbernice"));
    ASSERT_TRUE(QDir().mkpath(slozka));
    EXPECT_TRUE(
        Spust<TZalohaSbernice>(slozka).startsWith(QStringLiteral(" Uloženo modulů: 3 z 3")));
    EXPECT_EQ(Spust<TPorovnaniSbernice>(slozka), QStringLiteral(" Bez rozdílů: 3 moduly."));
    zrsim::Control ovladani(sim);
    bool konec = false;
    ASSERT_EQ(ovladani.execute("fault register 33 5 2", konec), "ok\n"); // module 9
    TPorovnaniSbernice okno(data);
    okno.VolbaSouboru = [slozka](QWidget*, bool) { return slozka; };
    okno.show();
    Klikni(&okno, "Button1");
    ASSERT_EQ(okno.StringGrid1->rowCount(), 4);
    EXPECT_EQ(okno.StringGrid1->item(2, 0)->text(), QStringLiteral("adresa 9, 19200 Bd"));
    EXPECT_EQ(okno.StringGrid1->item(3, 1)->text(), QStringLiteral("Negace DIN: DIN1, DIN3-DIN7"));
    EXPECT_EQ(TRelaceModulu(data).Identifikuj().Ok(), true); // back at 9600 Bd
}

} // namespace
