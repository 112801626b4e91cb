// The live windows end to end: the real LAN library XZR1683 against the
// module simulator on an ephemeral loopback port. The simulator runs on a
// manual clock, so the watchdog counts down without waiting.
#include "Okna.h"
#include "Prikazy.h"
#include "Simulator.h"
#include "SimulatorLAN.h"
#include "UdpEndpoint.h"
#include "Xxxx683.h"

#include <QCheckBox>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr std::uint8_t AdresaModulu = 5;

class ZiveKonecKonci : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        std::string chyba;
        ASSERT_TRUE(udp.start(chyba)) << chyba;
        DataProSimulator(data, udp.port());
        data.UDPTimeout = 100; // with the wait of 19200 Bd: 300 ms per lost answer
        data.Rychlost = 19200;
        data.Adresa = AdresaModulu;
        ASSERT_TRUE(ParametryLAN(data));
        ASSERT_EQ(InitRozhrani(4, data.Spojeni, data.Parametry), 0u);
        ASSERT_EQ(NastavRozhrani(4, data.Spojeni, 19200, 200, 2), 0u);
        data.Inicializovano = true;
    }
    void TearDown() override {
        if (data.Inicializovano) KonecRozhrani(4, data.Spojeni);
        NastavAdresarKnihoven(QString());
        udp.stop();
    }

    std::unique_ptr<TZiveOkno> OtevriBezCasovace(TOkno druh) {
        auto okno = Otevri(druh, &data);
        if (auto* casovac = okno->findChild<QTimer*>(QStringLiteral("Timer1"))) casovac->stop();
        return okno;
    }
    // Writes one configuration register the way the dialogs do.
    void ZapisRegistr(std::uint8_t registr, std::uint8_t hodnota) {
        const TOdpovedModulu o = ProvedPrikaz(data, Prikaz::ZapisRegistr, Prikaz::ParRegistr,
                                              {0, registr, registr, hodnota, hodnota});
        ASSERT_TRUE(o.Ok()) << int(o.Vysledek);
    }
    zrsim::ModuleView Modul() const { return *sim.view(0); }

    std::shared_ptr<zrsim::ManualClock> hodiny = std::make_shared<zrsim::ManualClock>();
    zrsim::Simulator sim{
        {{zrsim::ModuleSetup{{"ZR-464", "1.04", "SIM-0001"}, AdresaModulu, 5}}, "", hodiny, 1}};
    zrsim::UdpEndpoint udp{sim, {"127.0.0.1", 0}};
    TData data;
};

// Pins through the input negation into the view, by the running timer too;
// lost answers show the time-out text, keep the values, and polling
// recovers by itself.
TEST_F(ZiveKonecKonci, VstupyPresNegaci) {
    ZapisRegistr(Registr::NegaceDIN(0), 0x0F); // the other three bytes stay 0xFF
    sim.setInputPins(0, 0x80000001);
    auto okno = OtevriBezCasovace(TOkno::Vstupy);
    okno->Timer1Timer();
    QString ocekavano = Bity({1,  2,  3,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                              18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30});
    EXPECT_EQ(Zobrazeno(okno.get()), ocekavano);
    EXPECT_EQ(StavOkna(okno.get()), QStringLiteral(" ") + TextKodu(4, 0));

    sim.addFault(zrsim::LineFaultRule{zrsim::LineFault::Lose, 2, 0, 0});
    sim.setInputPins(0, 0);
    for (int tik = 0; tik < 2; ++tik) {
        okno->Timer1Timer();
        EXPECT_EQ(StavOkna(okno.get()), QStringLiteral(" modul neodpověděl v časovém limitu"));
        EXPECT_EQ(Zobrazeno(okno.get()), ocekavano);
    }
    ocekavano = Bity({0,  1,  2,  3,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                      18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31});
    Prvek<QTimer>(okno.get(), "Timer1")->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Zobrazeno(okno.get()) == ocekavano; }, 5000));
    EXPECT_EQ(StavOkna(okno.get()), QStringLiteral(" ") + TextKodu(4, 0));
}

// Ticked boxes through the output negation onto the simulated pins.
TEST_F(ZiveKonecKonci, VystupyPresNegaci) {
    ZapisRegistr(Registr::NegaceDOUT(1), 0x00); // DOUT8-15 not negated, the rest negated
    auto okno = Otevri(TOkno::Vystupy, &data);
    for (const char* jmeno : {"CheckBox1", "CheckBox10", "CheckBox32"})
        Prvek<QCheckBox>(okno.get(), jmeno)->setChecked(true);
    Klikni(okno.get(), "Button1");
    EXPECT_EQ(StavOkna(okno.get()), QStringLiteral(" Data zapsána"));
    EXPECT_EQ(Modul().outputRegister, 0x80000201u);
    EXPECT_EQ(Modul().outputPins, 0x80000201u ^ 0xFFFF00FFu);
}

// A raised status bit shows; "Vynulovat" clears it with one command.
TEST_F(ZiveKonecKonci, StatusAVynulovani) {
    sim.setSupplyOk(0, false);
    sim.setSupplyOk(0, true); // ERR24 stays latched until cleared
    auto okno = OtevriBezCasovace(TOkno::Status);
    okno->Timer1Timer();
    EXPECT_EQ(Zobrazeno(okno.get()), Bity({4, 6})) << "PWR after the start, ERR24";
    const auto pred = sim.requestCount();
    Klikni(okno.get(), "Button2");
    EXPECT_EQ(sim.requestCount(), pred + 1);
    EXPECT_EQ(Modul().status, 0u);
    okno->Timer1Timer();
    EXPECT_EQ(Zobrazeno(okno.get()), Bity({}));
}

// The simulated watchdog counts down in the window; "Zápis času 10s" sets it
// to 10 seconds.
TEST_F(ZiveKonecKonci, WatchdogOdpocet) {
    auto okno = OtevriBezCasovace(TOkno::Watchdog);
    EXPECT_EQ(Zobrazeno(okno.get()), QStringLiteral("  0"));
    hodiny->advance(3000);
    okno->Timer1Timer();
    EXPECT_EQ(Zobrazeno(okno.get()), QStringLiteral("  57"));
    hodiny->advance(1000);
    okno->Timer1Timer();
    EXPECT_EQ(Zobrazeno(okno.get()), QStringLiteral("  56"));
    Klikni(okno.get(), "Button1");
    EXPECT_EQ(StavOkna(okno.get()), QStringLiteral(" Nový čas zapsán"));
    EXPECT_EQ(Modul().watchdogLeft, 10);
    okno->Timer1Timer();
    EXPECT_EQ(Zobrazeno(okno.get()), QStringLiteral("  10"));
    hodiny->advance(2000);
    okno->Timer1Timer();
    EXPECT_EQ(Zobrazeno(okno.get()), QStringLiteral("  8"));
}

// A module that does not answer: every poll blocks for the 300 ms time-out.
// "Cancel" or the close button pressed during a poll closes the window when
// that poll ends, and no poll follows.
TEST_F(ZiveKonecKonci, ZavreniBehemTimeoutu) {
    sim.addFault(zrsim::LineFaultRule{zrsim::LineFault::Lose, 0, 1.0, 0});
    const std::pair<TOkno, const char*> okna[] = {
        {TOkno::Vstupy, "Button1"}, {TOkno::Status, "Button1"}, {TOkno::Watchdog, "Button2"}};
    for (const auto& [druh, cancel] : okna) {
        for (bool tlacitkem : {true, false}) {
            SCOPED_TRACE(cancel);
            const auto pred = sim.requestCount();
            auto okno = Otevri(druh, &data);
            okno->hide(); // run modally, as the main window does
            auto* tlacitko = Prvek<QPushButton>(okno.get(), cancel);
            QDialog* dialog = okno.get();
            std::atomic<bool> odeslano{false};
            // The UI thread is blocked inside the poll; this thread presses
            // the button (or closes the window) meanwhile.
            std::thread operator_([&] {
                const auto konec = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (sim.requestCount() == pred && std::chrono::steady_clock::now() < konec)
                    std::this_thread::yield();
                if (tlacitkem)
                    QMetaObject::invokeMethod(tlacitko, &QPushButton::click, Qt::QueuedConnection);
                else
                    QMetaObject::invokeMethod(dialog, &QWidget::close, Qt::QueuedConnection);
                odeslano = true;
            });
            okno->exec();
            operator_.join();
            EXPECT_TRUE(odeslano);
            EXPECT_EQ(StavOkna(okno.get()), QStringLiteral(" modul neodpověděl v časovém limitu"));
            EXPECT_FALSE(Prvek<QTimer>(okno.get(), "Timer1")->isActive());
            okno.reset();
            EXPECT_EQ(sim.requestCount(), pred + 1) << "one poll, none after closing";
        }
    }
}

} // namespace
