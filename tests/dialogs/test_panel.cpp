// The module panel and the bus overview: the real windows on the offscreen
// platform, with the fake library (main paths, a failure part-way) and end
// to end over the real LAN library against a simulated bus of three modules
// at two rates.
#include "FakeModul.h"
#include "Otevreni.h"
#include "PanelModulu.h"
#include "PrehledModulu.h"
#include "Simulator.h"
#include "SimulatorLAN.h"
#include "TriModuly.h"
#include "UdpEndpoint.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

namespace {

// One request as the fake library got it: code, parameter, D1 to D5.
struct TPozadavek {
    std::uint32_t Kod, Parametr;
    TDataPrikazu D;
    bool operator==(const TPozadavek&) const = default;
};

void PrintTo(const TPozadavek& p, std::ostream* os) {
    *os << p.Kod << "/" << p.Parametr << " D " << int{p.D[0]} << "," << int{p.D[1]} << ","
        << int{p.D[2]} << "," << int{p.D[3]} << "," << int{p.D[4]};
}

bool Sviti(const QLabel* lampa) {
    return lampa->property("zapnuto").toBool();
}

class PanelFake : public SFakeModulem {
protected:
    // The requests since the last call; the fake starts afresh (script too).
    std::vector<TPozadavek> Pozadavky() {
        std::vector<TPozadavek> vse;
        for (const FakeVolani& v : fake.Volani(FakeSend)) {
            TPozadavek p{v.blok[1], v.blok[2], {}};
            for (std::size_t i = 0; i < 5; ++i)
                p.D[i] = static_cast<std::uint8_t>(v.blok[3 + i]);
            vse.push_back(p);
        }
        fake.Reset();
        return vse;
    }
    TStatistikaSpojeni statistika;
};

TEST_F(PanelFake, ZobraziHodnotyZapiseVystupyAVypadekZasediJenNeobnovene) {
    fake.Odpoved(0, 64, -1, 0, {0x01, 0x00, 0x00, 0x80}); // DIN0, DIN31
    fake.Odpoved(100, 0, -1, 0, {0x30, 0, 0, 0});         // PWR RST
    fake.Odpoved(100, 1, -1, 0, {42, 0, 0, 0});
    data.Modul = QStringLiteral("ZR-464 v.1.04");
    data.ModulDoplnek = QStringLiteral("SIM-0001");
    data.Rychlost = 19200;
    TPanelModulu okno(data, statistika);
    okno.show();
    EXPECT_EQ(okno.Label1->text(), QStringLiteral("ZR-464 v.1.04  SIM-0001, adresa 7, 19200 Bd"));
    // One poll a tick, each due one in turn.
    for (int i = 0; i < 4; ++i)
        okno.Timer1Timer();
    EXPECT_EQ(Pozadavky(), (std::vector<TPozadavek>{{0, 64, {}}, {100, 0, {}}, {100, 1, {}}}));
    std::vector<int> svitici;
    for (int n = 0; n < 32; ++n)
        if (Sviti(okno.Vstupy[static_cast<std::size_t>(n)])) svitici.push_back(n);
    EXPECT_EQ(svitici, (std::vector<int>{0, 31}));
    EXPECT_TRUE(Sviti(okno.BityStatusu[4]) && Sviti(okno.BityStatusu[5]));
    EXPECT_FALSE(Sviti(okno.BityStatusu[1]));
    EXPECT_EQ(okno.Label2->text(), QStringLiteral("0x00000030"));
    EXPECT_EQ(okno.Label3->text(), QStringLiteral("42 s"));
    EXPECT_TRUE(okno.Label5->text().startsWith(QStringLiteral("Transakcí ")));

    // Outputs: a switch writes the whole word, the hex field a word of its
    // own, "Vše vypnout" zero; the window shows what was written.
    EXPECT_EQ(okno.Label4->text(), QStringLiteral("z tohoto okna zatím nezapsáno"));
    EXPECT_TRUE(okno.findChild<QWidget*>(QStringLiteral("GroupBox2"))
                    ->toolTip()
                    .startsWith(QStringLiteral("Modul nemá příkaz ke čtení výstupů")));
    QTest::mouseClick(okno.Vystupy[3], Qt::LeftButton);
    Napis(okno.Edit1, QStringLiteral("0x80000001"));
    Klikni(&okno, "Button1");
    EXPECT_TRUE(okno.Vystupy[31]->isChecked() && okno.Vystupy[0]->isChecked());
    EXPECT_FALSE(okno.Vystupy[3]->isChecked());
    EXPECT_EQ(okno.Label4->text(), QStringLiteral("naposledy zapsáno 0x80000001"));
    Klikni(&okno, "Button2");
    Klikni(&okno, "Button3"); // Vynulovat
    okno.SpinEdit1->setValue(30);
    Klikni(&okno, "Button4"); // Nastavit
    EXPECT_EQ(Pozadavky(), (std::vector<TPozadavek>{{1, 64, DataSlova(0x8)},
                                                    {1, 64, DataSlova(0x80000001)},
                                                    {1, 64, DataSlova(0)},
                                                    {101, 0, {}},
                                                    {101, 1, DataSlova(30)}}));
    EXPECT_EQ(okno.Edit1->text(), QStringLiteral("0x00000000"));

    // The status and watchdog polls are due at once after their writes; the
    // line fails from then on: those values grey with their time, the inputs
    // (not polled yet) stay fresh, and the others go on.
    fake.SendVysledek(5);
    okno.Timer1Timer();
    okno.Timer1Timer();
    EXPECT_EQ(Pozadavky(), (std::vector<TPozadavek>{{100, 0, {}}, {100, 1, {}}}));
    EXPECT_FALSE(okno.Hodnoty[TPanelModulu::DotazStatusu]->isEnabled());
    EXPECT_FALSE(okno.Hodnoty[TPanelModulu::DotazWatchdogu]->isEnabled());
    EXPECT_TRUE(okno.Hodnoty[TPanelModulu::DotazVstupu]->isEnabled());
    EXPECT_TRUE(okno.Stari[TPanelModulu::DotazStatusu]->text().startsWith(
        QStringLiteral("nepřečteno, platí z ")));
    EXPECT_EQ(okno.Label3->text(), QStringLiteral("42 s")); // the old value stays
    EXPECT_EQ(Text(&okno, "StatusBar1Panel0"),
              QStringLiteral(" čtení času watchdogu: fake chyba 5"));
    // A failed write leaves the switches at the word last written.
    fake.SendVysledek(5); // Pozadavky() reset the script along with the record
    QTest::mouseClick(okno.Vystupy[1], Qt::LeftButton);
    EXPECT_FALSE(okno.Vystupy[1]->isChecked());
    EXPECT_EQ(Text(&okno, "StatusBar1Panel0"), QStringLiteral(" zápis výstupů: fake chyba 5"));
    fake.Reset();
    // The next poll that answers refreshes its values again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return okno.Hodnoty[1]->isEnabled(); }, 5000));
    EXPECT_TRUE(okno.Stari[TPanelModulu::DotazStatusu]->text().isEmpty());
}

TEST_F(PanelFake, BezPripojeniNicNeposila) {
    data.Inicializovano = false;
    TPanelModulu okno(data, statistika);
    okno.show();
    QTest::mouseClick(okno.Vystupy[0], Qt::LeftButton);
    Klikni(&okno, "Button3");
    EXPECT_FALSE(okno.Timer1->isActive());
    EXPECT_FALSE(okno.Vystupy[0]->isChecked());
    EXPECT_EQ(Text(&okno, "StatusBar1Panel0"), TextNeinicializovano());
    EXPECT_TRUE(Pozadavky().empty());
}

class SbernicE2E : public TTriModulyE2E {
protected:
    QString Bunka(const TPrehledModulu& okno, int radek, int sloupec) {
        return okno.StringGrid1->item(radek, sloupec)->text();
    }

    TStatistikaSpojeni statistika;
};

TEST_F(SbernicE2E, PanelModulu5VstupyVystupyAStatus) {
    data.Adresa = 5;
    sim.setInputPattern(1, zrsim::InputPattern::Walk, 50);
    TPanelModulu okno(data, statistika);
    okno.show();
    // The walking inputs change the lamps.
    auto lampy = [&] {
        std::uint32_t v = 0;
        for (int n = 0; n < 32; ++n)
            if (Sviti(okno.Vstupy[static_cast<std::size_t>(n)])) v |= 1u << n;
        return v;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return lampy() != 0; }, 5000));
    const std::uint32_t prvni = lampy();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lampy() != prvni && lampy() != 0; }, 5000));
    // A switch reaches the module's outputs.
    QTest::mouseClick(okno.Vystupy[6], Qt::LeftButton);
    EXPECT_EQ(sim.view(1)->outputRegister, 1u << 6);
    EXPECT_EQ(sim.view(0)->outputRegister, 0u);
    // The status after the start holds PWR; "Vynulovat" clears it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Sviti(okno.BityStatusu[4]); }, 5000));
    EXPECT_NE(sim.view(1)->status, 0u);
    Klikni(&okno, "Button3");
    EXPECT_EQ(sim.view(1)->status, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Sviti(okno.BityStatusu[4]); }, 5000));
    EXPECT_EQ(okno.Label2->text(), QStringLiteral("0x00000000"));
}

TEST_F(SbernicE2E, PrehledVsechTriMlciciModulAPanelDvojklikem) {
    std::vector<TModulSbernice> sken = {{1, 9600}, {5, 9600}, {9, 19200}};
    data.PeriodaPrehledu = 100;
    TPrehledModulu okno(data, statistika, sken);
    std::vector<std::uint8_t> panely;
    okno.OtevriPanel = [&](TPrehledModulu&) { panely.push_back(data.Adresa); };
    okno.show();
    EXPECT_EQ(Text(&okno, "StatusBar1Panel0"),
              QStringLiteral(" Přidejte moduly: adresu a rychlost, nebo z posledního hledání."));
    // Two by hand (one twice), then the rest from the last scan.
    Napis(okno.Edit1, QStringLiteral("5"));
    Klikni(&okno, "Button1");
    Klikni(&okno, "Button1");
    Napis(okno.Edit1, QStringLiteral("300"));
    Klikni(&okno, "Button1");
    EXPECT_EQ(Text(&okno, "StatusBar1Panel0"),
              QStringLiteral(" Adresa modulu musí být v rozsahu 0-255."));
    Klikni(&okno, "Button2");
    EXPECT_EQ(data.Sbernice, (std::vector<TModulSbernice>{{5, 9600}, {1, 9600}, {9, 19200}}));
    ASSERT_EQ(okno.StringGrid1->rowCount(), 3);

    auto odpovida = [&](int radek) {
        return Bunka(okno, radek, TPrehledModulu::SloupecStav) == QStringLiteral("odpovídá");
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return odpovida(0) && odpovida(1) && odpovida(2); }, 5000));
    EXPECT_EQ(Bunka(okno, 2, TPrehledModulu::SloupecId), QStringLiteral("ZR-464 v.1.04, BUS-0009"));
    EXPECT_EQ(Bunka(okno, 2, TPrehledModulu::SloupecStatus), QStringLiteral("PWR"));
    EXPECT_EQ(Bunka(okno, 0, TPrehledModulu::SloupecVstupy), QStringLiteral("0xFFFFFFFF"));

    // Module 9 is marked within two rounds of going silent.
    sim.setSilent(9, true);
    const std::uint64_t dotazu1 = okno.Prehled()->Radky()[1].Dotazu;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !odpovida(2); }, 5000));
    EXPECT_LE(okno.Prehled()->Radky()[1].Dotazu - dotazu1, 2u);
    EXPECT_TRUE(Bunka(okno, 2, TPrehledModulu::SloupecChyba).contains(QStringLiteral("vstupů")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return okno.Prehled()->Radky()[2].Mlci; }, 5000));
    sim.setSilent(9, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return odpovida(2); }, 8000));

    // A double click takes module 9 as the program's and opens its panel.
    QWidget* plocha = okno.StringGrid1->viewport();
    const QPoint bod = okno.StringGrid1->visualItemRect(okno.StringGrid1->item(2, 0)).center();
    QTest::mouseClick(plocha, Qt::LeftButton, {}, bod);
    QTest::mouseDClick(plocha, Qt::LeftButton, {}, bod);
    EXPECT_EQ(panely, std::vector<std::uint8_t>{9});
    EXPECT_EQ(data.Adresa, 9);
    EXPECT_EQ(data.Rychlost, 19200);
    EXPECT_EQ(data.ModulDoplnek, QStringLiteral("BUS-0009"));
    // Removing a row; closing sets the line to the connection's rate.
    okno.StringGrid1->selectRow(0);
    Klikni(&okno, "Button3");
    EXPECT_EQ(data.Sbernice, (std::vector<TModulSbernice>{{1, 9600}, {9, 19200}}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return udp.converter().lineBaud() == 9600; }, 5000));
    Klikni(&okno, "Button5");
    EXPECT_EQ(udp.converter().lineBaud(), 19200u);
}

} // namespace
