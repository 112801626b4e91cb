// The traffic log and the command window end to end: the main window, the
// connection dialog and the address dialog opened from its menu, the real
// XZR1683 library against the module simulator on a loopback port, and
// zr464-cli send against the same module.
#include "Cli.h"
#include "Hlavni.h"
#include "OknoKomunikace.h"
#include "Pomocne.h"
#include "PrikazModulu.h"
#include "Simulator.h"
#include "SimulatorLAN.h"
#include "UdpEndpoint.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <sstream>

namespace {

class KomunikaceE2E : public ::testing::Test {
protected:
    void SetUp() override {
        std::string chyba;
        ASSERT_TRUE(udp.start(chyba)) << chyba;
        ASSERT_TRUE(adresar.isValid());
        hlavni = std::make_unique<TForm1>(nullptr, adresar.filePath(QStringLiteral("W_zr464.ini")));
        DataProSimulator(*hlavni->Data(), udp.port());
        hlavni->Data()->Rychlost = 19200;
        hlavni->Data()->UDPTimeout = 20;
    }
    void TearDown() override {
        hlavni.reset();
        NastavAdresarKnihoven(QString());
        udp.stop();
    }
    // A menu item whose modal window `akce` works in.
    void VMenu(const char* polozka, std::function<void(QDialog*)> akce) {
        const auto nalezen = PriModalnim(std::move(akce));
        hlavni->findChild<QAction*>(QLatin1String(polozka))->trigger();
        EXPECT_TRUE(*nalezen) << polozka;
    }
    void Pripoj() {
        VMenu("Pipojen1", [](QDialog* d) {
            Napis(Prvek<QLineEdit>(d, "Edit1"), QStringLiteral("5"));
            Klikni(d, "Button1");
        });
    }
    void CtiAdresu() {
        VMenu("AdresaRychlost1", [](QDialog* d) { Klikni(d, "Button2"); });
    }
    TOknoKomunikace* Zaznam() {
        hlavni->findChild<QAction*>(QStringLiteral("ZaznamKomunikace1"))->trigger();
        auto* okno = hlavni->findChild<TOknoKomunikace*>();
        if (okno != nullptr) okno->Obnov();
        return okno;
    }
    QStringList Sloupec(TOknoKomunikace* okno, TSloupecKomunikace s) {
        QStringList texty;
        for (int r = 0; r < okno->Model->rowCount(); ++r)
            texty << okno->Model->index(r, static_cast<int>(s)).data().toString();
        return texty;
    }

    zrsim::Simulator sim{
        {{zrsim::ModuleSetup{{"ZR-464", "1.04", "SIM-0001"}, 5, 5}}, "", nullptr, 1}};
    zrsim::UdpEndpoint udp{sim, {"127.0.0.1", 0}};
    QTemporaryDir adresar;
    std::unique_ptr<TForm1> hlavni;
};

TEST_F(KomunikaceE2E, ZaznamUkazeKazdouTransakciIChybu) {
    TOknoKomunikace* okno = Zaznam(); // open beside the main window from the start
    ASSERT_NE(okno, nullptr);
    Pripoj();
    ASSERT_TRUE(PripojeniPouzitelne(hlavni->Data()));
    CtiAdresu();
    okno->Obnov();
    const QString id = QStringLiteral("identifikace: ");
    EXPECT_EQ(Sloupec(okno, TSloupecKomunikace::Nazev),
              (QStringList{id + "název 1-4", id + "název 5-8", id + "verze", id + "doplněk 1-4",
                           id + "doplněk 5-8", "čtení registru", "čtení registru"}));
    const QString ok = QStringLiteral("0: ") + TextKodu(4, 0);
    EXPECT_EQ(Sloupec(okno, TSloupecKomunikace::Vysledek), QStringList(7, ok));
    EXPECT_EQ(Sloupec(okno, TSloupecKomunikace::Data).mid(5),
              (QStringList{"0 63 63 0 0", "0 62 62 0 0"}));

    // An answer the simulator loses: a failed row.
    sim.addFault(zrsim::LineFaultRule{zrsim::LineFault::Lose, 1, 0.0, 0});
    CtiAdresu();
    okno->Obnov();
    ASSERT_EQ(okno->Model->rowCount(), 8);
    EXPECT_FALSE(okno->Model->Radky().back().Ok());
    EXPECT_TRUE(okno->Model->index(7, 0).data(Qt::BackgroundRole).isValid());
    okno->CheckBox1->setChecked(true);
    EXPECT_EQ(okno->Model->rowCount(), 1);
    okno->CheckBox1->setChecked(false);

    // The CSV holds the same rows.
    const QString cesta = adresar.filePath(QStringLiteral("komunikace.csv"));
    ASSERT_TRUE(okno->UlozCsv(cesta));
    QFile csv(cesta);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList radky = QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(radky.size(), 9);
    for (int r = 0; r < 8; ++r) {
        const QStringList pole = radky[r + 1].split(u',');
        EXPECT_EQ(pole[4], Sloupec(okno, TSloupecKomunikace::Nazev)[r]);
        EXPECT_EQ(pole[10],
                  QString::number(okno->Model->Radky()[static_cast<std::size_t>(r)].Vysledek));
    }
}

TEST_F(KomunikaceE2E, KonzoleACliDajiStejnouOdpoved) {
    Pripoj();
    ASSERT_TRUE(PripojeniPouzitelne(hlavni->Data()));
    sim.setInputPins(0, 0x00A5F00F);
    THistoriePrikazu historie;
    TPrikazModulu konzole(*hlavni->Data(), historie);
    konzole.show();
    Klikni(&konzole, "Button1"); // 200 0, as the window opens
    EXPECT_EQ(konzole.Odpoved[4]->text(), QStringLiteral("„ZR-4“"));
    const QString znaky = konzole.Odpoved[2]->text();

    Napis(konzole.Edit2, QStringLiteral("0"));
    Napis(konzole.Edit3, QStringLiteral("64"));
    Klikni(&konzole, "Button1");
    EXPECT_EQ(konzole.Odpoved[2]->text(), HexOdpovedi(Bajty32(sim.view(0)->inputsRead)));

    // The log follows the command window's traffic too.
    TOknoKomunikace* okno = Zaznam();
    ASSERT_NE(okno, nullptr);
    EXPECT_EQ(Sloupec(okno, TSloupecKomunikace::Prikaz).mid(5), (QStringList{"200/0", "0/64"}));

    std::ostringstream out, err;
    const int kod =
        SpustCli({"send", "200", "0", "--json", "-i", "lan", "--ip", "127.0.0.1", "--udp-port",
                  std::to_string(udp.port()), "-a", "5", "-b", "19200"},
                 out, err, TProstredi{adresar.filePath(QStringLiteral("zadny.ini")), false});
    ASSERT_EQ(kod, 0) << err.str();
    const QJsonObject j = QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
    EXPECT_EQ(j[QStringLiteral("znaky")].toString(), QStringLiteral("ZR-4"));
    std::array<std::uint8_t, 4> a{};
    for (std::size_t i = 0; i < a.size(); ++i)
        a[i] = static_cast<std::uint8_t>(
            j[QStringLiteral("a")].toArray()[static_cast<int>(i)].toInt());
    EXPECT_EQ(HexOdpovedi(a), znaky);
}

} // namespace
