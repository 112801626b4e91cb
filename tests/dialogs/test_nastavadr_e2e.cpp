// The address and baud-rate dialog end to end: the connection dialog and
// the real XZR1683 library against the module simulator on an ephemeral
// loopback port.
#include "NastavAdr.h"
#include "Pomocne.h"
#include "Prikazy.h"
#include "Pripojeni.h"
#include "Simulator.h"
#include "SimulatorLAN.h"
#include "Sledovac.h"
#include "UdpEndpoint.h"
#include "Xxxx683.h"

#include <QComboBox>
#include <memory>

namespace {

const QString Pripojen =
    QStringLiteral("Připojení úspěšně inicializováno. Připojen modul   ZR-464   v.1.04");
const QString Timeout = QStringLiteral(" modul neodpověděl v časovém limitu");

class NastavAdrE2E : public ::testing::Test {
protected:
    void SetUp() override {
        std::string chyba;
        ASSERT_TRUE(udp.start(chyba)) << chyba;
        DataProSimulator(data, udp.port());
    }
    void TearDown() override {
        if (PripojeniPouzitelne(&data)) KonecRozhrani(data.Rozhrani, data.Spojeni);
        NastavAdresarKnihoven(QString());
        udp.stop();
    }
    // The connection dialog with this address and baud-rate index.
    QString Pripoj(const char* adresa, int rychlost) {
        TForm2 pripojeni(&data);
        pripojeni.show();
        Prvek<QComboBox>(&pripojeni, "ComboBox1")->setCurrentIndex(rychlost);
        Napis(Prvek<QLineEdit>(&pripojeni, "Edit1"), QString::fromUtf8(adresa));
        Klikni(&pripojeni, "Button1");
        return Text(&pripojeni, "Panel1");
    }
    TOdpovedModulu CtiAdresu() {
        return ProvedPrikaz(data, Prikaz::CtiRegistr, Prikaz::ParRegistr,
                            {0, Registr::Adresa, Registr::Adresa, 0, 0});
    }

    zrsim::Simulator sim{
        {{zrsim::ModuleSetup{{"ZR-464", "1.04", "SIM-0001"}, 5, 5}}, "", nullptr, 1}};
    zrsim::UdpEndpoint udp{sim, {"127.0.0.1", 0}};
    TData data;
};

} // namespace

TEST_F(NastavAdrE2E, NovaAdresaARychlostPlatiPoRestartu) {
    ASSERT_EQ(Pripoj("5", 5), Pripojen);
    const std::uint32_t spojeni = data.Spojeni;
    TForm12 dialog(&data);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* panel = Prvek<QLabel>(&dialog, "StatusBar1Panel0");

    // A module that stops answering after the first register: the library's
    // time-out text, the address read kept, the dialog usable at once.
    Sledovac sledovac(panel);
    sledovac.Pri("c50", [this] { sim.addFault(zrsim::LineFaultRule{zrsim::LineFault::Lose, 1}); });
    Klikni(&dialog, "Button2");
    EXPECT_EQ(panel->text(), Timeout);
    EXPECT_EQ(Text(&dialog, "Edit1"), QStringLiteral("5"));
    EXPECT_EQ(Prvek<QComboBox>(&dialog, "ComboBox1")->currentIndex(), 4) << "not read";
    Klikni(&dialog, "Button2");
    EXPECT_EQ(panel->text(), QStringLiteral(" Konfigurace přečtena."));
    EXPECT_EQ(Prvek<QComboBox>(&dialog, "ComboBox1")->currentText(), QStringLiteral("19200 Bd"));

    Napis(Prvek<QLineEdit>(&dialog, "Edit1"), QStringLiteral("7"));
    Prvek<QComboBox>(&dialog, "ComboBox1")->setCurrentIndex(6);
    sledovac.Znovu();
    Klikni(&dialog, "Button1");
    EXPECT_EQ(sledovac.Text(), "- z0 z50 z100 zapsano");
    const auto modul = sim.view(0);
    ASSERT_TRUE(modul);
    EXPECT_EQ(modul->registers[63], 7);
    EXPECT_EQ(modul->registers[62], 6);
    EXPECT_TRUE(modul->restartPending);

    // The program's connection is unchanged and still reaches the module at
    // its old address until the module restarts.
    EXPECT_EQ(data.Adresa, 5);
    EXPECT_EQ(data.Rychlost, 19200);
    EXPECT_EQ(data.Spojeni, spojeni);
    EXPECT_EQ(data.Konfigurace.Adresa, 1) << "only Ok stores";
    const TOdpovedModulu stara = CtiAdresu();
    EXPECT_TRUE(stara.Ok());
    EXPECT_EQ(stara.A[2], 7);
    sim.restart(0);
    const TOdpovedModulu poRestartu = CtiAdresu();
    EXPECT_EQ(QStringLiteral(" ") + TextKodu(data.Rozhrani, poRestartu.Vysledek), Timeout);

    // A new connection at the new address and rate identifies the module.
    EXPECT_EQ(Pripoj("7", 6), Pripojen);
    EXPECT_EQ(data.Adresa, 7);
    EXPECT_EQ(data.Rychlost, 38400);
    EXPECT_TRUE(CtiAdresu().Ok());
}
