// The digital I/O and watchdog dialogs end to end: the real libraries
// against the module simulator, over loopback UDP (XZR1683) and over the
// simulator's pseudo-terminal (XCOM683). What was written is checked in the
// module itself: its registers, its inputs and outputs after a restart, and
// its watchdog's count-down.
#include "CasovacWD.h"
#include "NastavDIO.h"
#include "Pomocne.h"
#include "Prikazy.h"
#include "Pripojeni.h"
#include "PtyEndpoint.h"
#include "Simulator.h"
#include "UdpEndpoint.h"
#include "Xxxx683.h"

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

namespace {

enum class TCesta { LAN, COM };

void PrintTo(TCesta cesta, std::ostream* os) {
    *os << (cesta == TCesta::LAN ? "LAN" : "COM");
}

class KonfiguraceE2E : public ::testing::TestWithParam<TCesta> {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        VychoziData(&data);
        data.Rychlost = 19200;
        if (GetParam() == TCesta::LAN)
            PripravLAN();
        else
            PripravCOM();
        if (IsSkipped() || HasFatalFailure()) return;
        TForm2 pripojeni(&data);
        pripojeni.show();
        Napis(Prvek<QLineEdit>(&pripojeni, "Edit1"), QStringLiteral("5"));
        Klikni(&pripojeni, "Button1");
        ASSERT_TRUE(PripojeniPouzitelne(&data)) << Text(&pripojeni, "Panel1").toStdString();
    }
    void TearDown() override {
        if (PripojeniPouzitelne(&data)) KonecRozhrani(data.Rozhrani, data.Spojeni);
        if (pty) pty->stop();
        if (udp) udp->stop();
        NastavAdresarKnihoven(QString());
    }

    void PripravLAN() {
        udp = std::make_unique<zrsim::UdpEndpoint>(sim, zrsim::UdpEndpointConfig{"127.0.0.1", 0});
        std::string chyba;
        ASSERT_TRUE(udp->start(chyba)) << chyba;
        NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
        data.Rozhrani = 4;
        data.IPAdresa = QStringLiteral("127.0.0.1");
        data.UDPPort = udp->port();
    }
    // COM1 through the driver configuration file beside a copy of the
    // library, pointing at the simulator's pseudo-terminal.
    void PripravCOM() {
        ASSERT_TRUE(adresar.isValid());
        const QString zdroj = QStringLiteral(ZR_BIN_DIR "/XCOM683.so");
        if (!QFile::exists(zdroj)) GTEST_SKIP() << "no serial library built";
        ASSERT_TRUE(QFile::copy(zdroj, adresar.filePath(QStringLiteral("XCOM683.so"))));
        pty = std::make_unique<zrsim::PtyEndpoint>(
            sim, zrsim::PtyEndpointConfig{adresar.filePath(QStringLiteral("com1")).toStdString(),
                                          false});
        std::string chyba;
        ASSERT_TRUE(pty->start(chyba)) << chyba;
        QFile konfigurace(adresar.filePath(QStringLiteral("zr683-drivers.conf")));
        ASSERT_TRUE(konfigurace.open(QIODevice::WriteOnly));
        konfigurace.write("COM1 = com1\n");
        konfigurace.close();
        NastavAdresarKnihoven(adresar.path());
        data.Rozhrani = 0;
        data.CisloPortu = 1;
    }

    template <class TDialog> std::unique_ptr<TDialog> Otevri() {
        auto dialog = std::make_unique<TDialog>(&data);
        dialog->show();
        return dialog;
    }
    zrsim::ModuleView Modul() const { return *sim.view(0); }

    std::shared_ptr<zrsim::ManualClock> hodiny = std::make_shared<zrsim::ManualClock>();
    zrsim::Simulator sim{
        {{zrsim::ModuleSetup{{"ZR-464", "1.04", "SIM-0001"}, 5, 5}}, "", hodiny, 1}};
    std::unique_ptr<zrsim::UdpEndpoint> udp;
    std::unique_ptr<zrsim::PtyEndpoint> pty;
    QTemporaryDir adresar;
    TData data;
};

std::uint32_t Slovo(const std::array<std::uint8_t, 4>& b) {
    return b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t(b[3]) << 24;
}

// Sets the boxes of group g from a 32-bit mask.
void NastavPole(const TForm14& dialog, int g, std::uint32_t maska) {
    for (int n = 0; n < 32; ++n)
        dialog.CheckBox[std::size_t(32 * g + n)]->setChecked((maska >> n & 1) != 0);
}

std::uint32_t MaskaPoli(const TForm14& dialog, int g) {
    std::uint32_t maska = 0;
    for (int n = 0; n < 32; ++n)
        if (dialog.CheckBox[std::size_t(32 * g + n)]->isChecked()) maska |= 1u << n;
    return maska;
}

TEST_P(KonfiguraceE2E, DigitalniVstupyVystupy) {
    constexpr std::uint32_t NegaceDIN = 0x0F0000A5, NegaceDOUT = 0x00FF0001, Pocatecni = 0x80000203;
    {
        auto dialog = Otevri<TForm14>();
        NastavPole(*dialog, 0, NegaceDIN);
        NastavPole(*dialog, 1, NegaceDOUT);
        NastavPole(*dialog, 2, Pocatecni);
        Klikni(dialog.get(), "Button1");
        ASSERT_EQ(Text(dialog.get(), "StatusBar1Panel0"), QStringLiteral(" Konfigurace zapsána."));
    }
    const zrsim::ModuleView zapsano = Modul();
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(zapsano.registers[Registr::NegaceDIN(n)], NegaceDIN >> 8 * n & 0xFF);
        EXPECT_EQ(zapsano.registers[Registr::NegaceDOUT(n)], NegaceDOUT >> 8 * n & 0xFF);
        EXPECT_EQ(zapsano.registers[Registr::PocatecniStavDOUT(n)], Pocatecni >> 8 * n & 0xFF);
    }
    {
        auto dialog = Otevri<TForm14>();
        ASSERT_EQ(MaskaPoli(*dialog, 0), 0xFFFFFFFFu) << "a fresh dialog shows the record";
        Klikni(dialog.get(), "Button2");
        EXPECT_EQ(Text(dialog.get(), "StatusBar1Panel0"), QStringLiteral(" Konfigurace přečtena."));
        EXPECT_EQ(MaskaPoli(*dialog, 0), NegaceDIN);
        EXPECT_EQ(MaskaPoli(*dialog, 1), NegaceDOUT);
        EXPECT_EQ(MaskaPoli(*dialog, 2), Pocatecni);
    }

    // After a restart the outputs start from the initial state, negated;
    // the inputs read negated.
    ASSERT_TRUE(sim.restart(0));
    constexpr std::uint32_t Vstupy = 0x12345678;
    ASSERT_TRUE(sim.setInputPins(0, Vstupy));
    const TOdpovedModulu vstupy = ProvedPrikaz(data, Prikaz::CtiVstupy, Prikaz::ParDIO, {});
    ASSERT_TRUE(vstupy.Ok());
    EXPECT_EQ(Slovo(vstupy.A), Vstupy ^ NegaceDIN);
    EXPECT_EQ(Modul().outputRegister, Pocatecni);
    EXPECT_EQ(Modul().outputPins, Pocatecni ^ NegaceDOUT);
}

TEST_P(KonfiguraceE2E, CasovacWatchdog) {
    ASSERT_EQ(data.Modul, QStringLiteral("ZR-464   v.1.04"));
    {
        auto dialog = Otevri<TForm4>();
        ASSERT_TRUE(dialog->Edit2->isVisible());
        Napis(dialog->Edit1, QStringLiteral("300"));
        Napis(dialog->Edit2, QStringLiteral("7"));
        Klikni(dialog.get(), "Button1");
        ASSERT_EQ(Text(dialog.get(), "StatusBar1Panel0"), QStringLiteral(" Konfigurace zapsána."));
    }
    const zrsim::ModuleView zapsano = Modul();
    EXPECT_EQ(zapsano.registers[0], 44);
    EXPECT_EQ(zapsano.registers[2], 1);
    EXPECT_EQ(zapsano.registers[3], 7);
    EXPECT_EQ(zapsano.registers[4], 0);
    EXPECT_EQ(zapsano.registers[1], 1);
    {
        auto dialog = Otevri<TForm4>();
        ASSERT_EQ(dialog->Edit1->text(), QStringLiteral("60"));
        Prvek<QRadioButton>(dialog.get(), "RadioButton1")->setChecked(true);
        Klikni(dialog.get(), "Button2");
        EXPECT_EQ(Text(dialog.get(), "StatusBar1Panel0"), QStringLiteral(" Konfigurace přečtena."));
        EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("300"));
        EXPECT_EQ(dialog->Edit2->text(), QStringLiteral("7"));
        EXPECT_TRUE(Prvek<QRadioButton>(dialog.get(), "RadioButton2")->isChecked());
    }

    // After a restart the watchdog counts down from the new time.
    ASSERT_TRUE(sim.restart(0));
    hodiny->advance(5000);
    const TOdpovedModulu cas = ProvedPrikaz(data, Prikaz::CtiStav, Prikaz::ParCasWatchdog, {});
    ASSERT_TRUE(cas.Ok());
    EXPECT_EQ(cas.A[0] | cas.A[1] << 8, 295);
    EXPECT_EQ(Modul().watchdogLeft, 295);
}

INSTANTIATE_TEST_SUITE_P(Cesty, KonfiguraceE2E, ::testing::Values(TCesta::LAN, TCesta::COM),
                         [](const auto& info) {
                             return std::string(info.param == TCesta::LAN ? "LAN" : "COM");
                         });

} // namespace
