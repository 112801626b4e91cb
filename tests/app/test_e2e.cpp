// The connection dialog end to end: the real XZR1683 library against the
// module simulator on an ephemeral loopback port, and XCOM683 against the
// simulator's pseudo-terminal.
#include "Pomocne.h"
#include "Pripojeni.h"
#include "PtyEndpoint.h"
#include "Simulator.h"
#include "SimulatorLAN.h"
#include "UdpEndpoint.h"
#include "Xxxx683.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

namespace {

const QString Uspech = QStringLiteral("Připojení úspěšně inicializováno. Připojen modul   ");

class KonecKonci : public ::testing::Test {
protected:
    void SetUp() override {
        std::string chyba;
        ASSERT_TRUE(udp.start(chyba)) << chyba;
        DataProSimulator(data, udp.port());
        data.Rychlost = 19200;
        dialog = std::make_unique<TForm2>(&data);
        dialog->show();
    }
    void TearDown() override {
        dialog.reset();
        if (data.Inicializovano && data.Spojeni != 0) KonecRozhrani(data.Rozhrani, data.Spojeni);
        NastavAdresarKnihoven(QString());
        udp.stop();
    }
    void Stiskni(const QString& adresa) {
        Napis(Prvek<QLineEdit>(dialog.get(), "Edit1"), adresa);
        Klikni(dialog.get(), "Button1");
    }
    QString Stav() const { return Text(dialog.get(), "Panel1"); }

    zrsim::Simulator sim{
        {{zrsim::ModuleSetup{{"ZR-464", "1.04", "SIM-0001"}, 5, 5}}, "", nullptr, 1}};
    zrsim::UdpEndpoint udp{sim, {"127.0.0.1", 0}};
    TData data;
    std::unique_ptr<TForm2> dialog;
};

TEST_F(KonecKonci, IdentifikaceLAN) {
    Stiskni(QStringLiteral("5"));
    EXPECT_EQ(Stav(), Uspech + QStringLiteral("ZR-464   v.1.04"));
    EXPECT_EQ(data.Modul, QStringLiteral("ZR-464   v.1.04"));
    EXPECT_EQ(data.ModulDoplnek, QStringLiteral("SIM-0001"));
    EXPECT_TRUE(data.Inicializovano);
    EXPECT_NE(data.Spojeni, 0u);
    EXPECT_EQ(data.Adresa, 5);
    EXPECT_EQ(data.Rychlost, 19200);
    EXPECT_EQ(sim.requestCount(), 5u);

    // A second press closes the connection and opens a new one.
    Stiskni(QStringLiteral("5"));
    EXPECT_EQ(Stav(), Uspech + QStringLiteral("ZR-464   v.1.04"));
    EXPECT_EQ(sim.requestCount(), 10u);
}

TEST_F(KonecKonci, ZtracenaOdpovedJeTimeout) {
    sim.addFault(zrsim::LineFaultRule{zrsim::LineFault::Lose, 1, 0.0, 0});
    Stiskni(QStringLiteral("5"));
    EXPECT_EQ(Stav(), QStringLiteral("modul neodpověděl v časovém limitu"));
    EXPECT_FALSE(data.Inicializovano);
    EXPECT_EQ(data.Modul, QString());
    EXPECT_EQ(data.StavPripojeni, QStringLiteral("Připojení modulu dosud neinicializováno"));
    EXPECT_EQ(sim.requestCount(), 1u) << "the sequence stops at the first failure";

    // The dialog stays usable: the next press succeeds.
    Stiskni(QStringLiteral("5"));
    EXPECT_EQ(Stav(), Uspech + QStringLiteral("ZR-464   v.1.04"));
}

TEST_F(KonecKonci, ModulNaJineAdreseNeodpovi) {
    Stiskni(QStringLiteral("6"));
    EXPECT_EQ(Stav(), QStringLiteral("modul neodpověděl v časovém limitu"));
    EXPECT_FALSE(data.Inicializovano);
}

TEST_F(KonecKonci, TretiIdentifikacniPrikazSelze) {
    Stiskni(QStringLiteral("5"));
    ASSERT_TRUE(data.Inicializovano);
    sim.addFault(zrsim::CommandFaultRule{200, std::uint8_t{2}, 21, 1});
    Stiskni(QStringLiteral("5"));
    EXPECT_EQ(Stav(), QStringLiteral("modul: neplatný parametr příkazu"));
    EXPECT_FALSE(data.Inicializovano);
    EXPECT_EQ(data.Modul, QStringLiteral("ZR-464   v.1.04")) << "Modul keeps its old value";
    EXPECT_EQ(sim.requestCount(), 8u);
}

// COM port 1 through the driver configuration file beside the libraries,
// which points it at the simulator's pseudo-terminal.
TEST_F(KonecKonci, IdentifikaceCOMPresPseudoterminal) {
    QTemporaryDir adresar;
    ASSERT_TRUE(adresar.isValid());
    for (const char* soubor : {"XCOM683.so"}) {
        const QString zdroj = QStringLiteral(ZR_BIN_DIR "/") + QLatin1String(soubor);
        if (!QFile::exists(zdroj)) GTEST_SKIP() << "no serial library built";
        ASSERT_TRUE(QFile::copy(zdroj, adresar.filePath(QLatin1String(soubor))));
    }
    zrsim::PtyEndpoint pty(sim, {adresar.filePath(QStringLiteral("com1")).toStdString(), false});
    std::string chyba;
    ASSERT_TRUE(pty.start(chyba)) << chyba;
    QFile konfigurace(adresar.filePath(QStringLiteral("zr683-drivers.conf")));
    ASSERT_TRUE(konfigurace.open(QIODevice::WriteOnly));
    konfigurace.write("COM1 = com1\n");
    konfigurace.close();
    NastavAdresarKnihoven(adresar.path());

    Prvek<QComboBox>(dialog.get(), "ComboBox2")->setCurrentIndex(0);
    Napis(Prvek<QLineEdit>(dialog.get(), "Edit2"), QStringLiteral("1"));
    Stiskni(QStringLiteral("5"));
    EXPECT_EQ(Stav(), Uspech + QStringLiteral("ZR-464   v.1.04"));
    EXPECT_EQ(data.Rozhrani, 0);
    KonecRozhrani(data.Rozhrani, data.Spojeni);
    data.Inicializovano = false;
    pty.stop();
}

} // namespace
