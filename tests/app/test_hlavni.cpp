// The main window: start texts, the connection dialog from the menu, and the
// close sequence, with the settings file in a temporary directory.
#include "FakeOvladac.h"
#include "Hlavni.h"
#include "NastavAdr.h"
#include "Pomocne.h"
#include "Pripojeni.h"
#include "Sigterm.h"
#include "Xxxx683.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <csignal>
#include <memory>
#include <new>

namespace {

// The main window with its operator message caught instead of shown.
class Okno : public TForm1 {
public:
    using TForm1::TForm1;
    QStringList Zpravy;

protected:
    void ZpravaOperatorovi(const QString& text) override { Zpravy << text; }
};

class Hlavni : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(adresar.isValid());
        QApplication::setQuitOnLastWindowClosed(false);
        NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_DIR));
    }
    void TearDown() override { NastavAdresarKnihoven(QString()); }

    QString Cesta() const { return adresar.filePath(QStringLiteral("W_zr464.ini")); }
    void ZapisNastaveni(const QByteArray& obsah) {
        QFile soubor(Cesta());
        ASSERT_TRUE(soubor.open(QIODevice::WriteOnly));
        soubor.write(obsah);
    }
    std::unique_ptr<Okno> Vytvor(TForm1::TVytvoreniDat vytvoreni = {}) {
        auto okno = std::make_unique<Okno>(nullptr, Cesta(), std::move(vytvoreni));
        okno->show();
        return okno;
    }
    static QString Panel(const TForm1& okno, int i) { return okno.Panel(i)->text(); }

    QTemporaryDir adresar;
};

// Section [Připojení] with the address 7 at 19200 Bd, in Windows-1250.
const QByteArray NastaveniAdresa7 = "[P\xF8ipojen\xED]\r\nRozhran\xED=COMx\r\nAdresa=7\r\n"
                                    "Rychlost=19200\r\n";

TEST_F(Hlavni, ZacatekBezNastaveni) {
    auto okno = Vytvor();
    EXPECT_EQ(okno->windowTitle(), QStringLiteral(" ZR-464 (v.1.05) -  nastavení modulu"));
    EXPECT_EQ(Panel(*okno, 0), QStringLiteral(" Modul"));
    EXPECT_EQ(Panel(*okno, 1), QStringLiteral(" Adresa"));
    EXPECT_EQ(Panel(*okno, 2), QStringLiteral(" Rychlost"));
    EXPECT_EQ(Panel(*okno, 3), QString());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(okno->Panel(i)->toolTip(), Panel(*okno, i)) << "panel " << i;
    ASSERT_NE(okno->Data(), nullptr);
    EXPECT_EQ(okno->Data()->UDPPort, 5000) << "defaults applied";
    EXPECT_NE(okno->findChild<QStatusBar*>(QStringLiteral("StatusBar1")), nullptr);
}

// The four panels keep their widths in a bar much wider than their sum,
// before and after the connection dialog has set long texts.
TEST_F(Hlavni, SirkyPaneluPevne) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 2);
    fake.Odpoved(200, 0, -1, 0, {'Z', 'R', '-', '4'});
    fake.Odpoved(200, 1, -1, 0, {'6', '4', ' ', ' '});
    fake.Odpoved(200, 2, -1, 0, {'1', '.', '0', '4'});
    auto okno = Vytvor();
    QApplication::processEvents();
    const int sirky[] = {140, 80, 120, 50};
    auto zkontroluj = [&](const char* kdy) {
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(okno->Panel(i)->width(), sirky[i]) << "panel " << i << ' ' << kdy;
    };
    ASSERT_GT(okno->StatusBar1->width(), 140 + 80 + 120 + 50 + 100);
    zkontroluj("at start");
    PriModalnim([](QDialog* dialog) {
        Prvek<QComboBox>(dialog, "ComboBox2")->setCurrentIndex(2);
        Klikni(dialog, "Button1");
    });
    okno->Pipojen1->trigger();
    QApplication::processEvents();
    ASSERT_EQ(Panel(*okno, 0), QStringLiteral(" Modul  ZR-464   v.1.04"));
    zkontroluj("after connecting");
}

TEST_F(Hlavni, MenuVPoradiSPopisky) {
    auto okno = Vytvor();
    const std::tuple<const char*, const char*, bool> polozky[] = {
        {"Pipojen1", "&Připojení", true},
        {"AdresaRychlost1", "Adresa, rychlost", true},
        {"NastavDIO1", "Digitální vstupy/výstupy", true},
        {"Kalibracevstup1", "Časovač watchdog", true},
        {"OkamAIN2", "Test watchdog", true},
        {"OkamDIN2", "Digitální vstupy", true},
        {"OkamDOUT1", "Digitální výstupy", true},
        {"Statusregistr1", "Status registr", true},
        {"PrubehVstupu1", "Průběh &vstupů…", true},
        {"DiagnostikaSpojeni1", "&Diagnostika spojení…", true},
        {"Konec2", "&Konec", true}};
    for (const auto& [jmeno, popisek, povolena] : polozky) {
        auto* akce = Prvek<QAction>(okno.get(), jmeno);
        ASSERT_NE(akce, nullptr);
        EXPECT_EQ(akce->text(), QString::fromUtf8(popisek)) << jmeno;
        EXPECT_EQ(akce->isEnabled(), povolena) << jmeno;
    }
    QStringList horni;
    for (QAction* akce : okno->menuBar()->actions())
        horni << akce->text();
    EXPECT_EQ(horni, (QStringList{QStringLiteral("&Připojení"), QStringLiteral("&Nastavení"),
                                  QStringLiteral("&Okamžité hodnoty"), QStringLiteral("Ná&stroje"),
                                  QStringLiteral("&Konec")}));
    EXPECT_EQ(Prvek<QMenu>(okno.get(), "Nastaven1")->actions().size(), 3);
    EXPECT_EQ(Prvek<QMenu>(okno.get(), "Okamithodnoty1")->actions().size(), 4);
}

TEST_F(Hlavni, PanelyPoZavreniDialogu) {
    ZapisNastaveni(NastaveniAdresa7);
    auto okno = Vytvor();
    EXPECT_EQ(Panel(*okno, 1), QStringLiteral(" Adresa"))
        << "settings do not change the start texts";
    auto nalezen = PriModalnim([](QDialog* dialog) {
        EXPECT_NE(dynamic_cast<TForm2*>(dialog), nullptr);
        Napis(Prvek<QLineEdit>(dialog, "Edit1"), QStringLiteral("55"));
        Klikni(dialog, "Button2");
    });
    okno->Pipojen1->trigger();
    EXPECT_TRUE(*nalezen);
    EXPECT_EQ(Panel(*okno, 0), QStringLiteral(" Modul  "));
    EXPECT_EQ(Panel(*okno, 1), QStringLiteral(" Adresa  7"));
    EXPECT_EQ(Panel(*okno, 2), QStringLiteral(" Rychlost  19200Bd"));
    EXPECT_TRUE(okno->findChildren<TForm2*>().isEmpty()) << "the dialog is destroyed";

    // A second opening is a fresh dialog: the typed 55 is gone.
    QString adresa;
    nalezen = PriModalnim([&adresa](QDialog* dialog) { adresa = Text(dialog, "Edit1"); });
    okno->Pipojen1->trigger();
    EXPECT_TRUE(*nalezen);
    EXPECT_EQ(adresa, QStringLiteral("7"));
}

TEST_F(Hlavni, PripojeniZMenuAZavreniUkonciKnihovnuJednou) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 2);
    fake.Spojeni(42, 0);
    fake.Odpoved(200, 0, -1, 0, {'Z', 'R', '-', '4'});
    fake.Odpoved(200, 1, -1, 0, {'6', '4', ' ', ' '});
    fake.Odpoved(200, 2, -1, 0, {'1', '.', '0', '5'});
    auto okno = Vytvor();
    auto nalezen = PriModalnim([](QDialog* dialog) {
        Prvek<QComboBox>(dialog, "ComboBox2")->setCurrentIndex(2);
        Napis(Prvek<QLineEdit>(dialog, "Edit1"), QStringLiteral("3"));
        Klikni(dialog, "Button1");
    });
    okno->Pipojen1->trigger();
    ASSERT_TRUE(*nalezen);
    EXPECT_EQ(Panel(*okno, 0), QStringLiteral(" Modul  ZR-464   v.1.05"));
    EXPECT_EQ(Panel(*okno, 1), QStringLiteral(" Adresa  3"));
    EXPECT_EQ(Panel(*okno, 2), QStringLiteral(" Rychlost  9600Bd"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(okno->Panel(i)->toolTip(), Panel(*okno, i)) << "panel " << i;
    EXPECT_TRUE(fake.Volani(FakeDone).empty());

    okno->Konec2->trigger();
    EXPECT_FALSE(okno->isVisible());
    EXPECT_EQ(okno->Data(), nullptr);
    ASSERT_EQ(fake.Volani(FakeDone).size(), 1u);
    EXPECT_EQ(fake.Volani(FakeDone)[0].spojeni, 42u) << "the connection's own handle";
    okno->close();
    EXPECT_EQ(fake.Volani(FakeDone).size(), 1u) << "a second close does nothing";
    QFile soubor(Cesta());
    ASSERT_TRUE(soubor.open(QIODevice::ReadOnly));
    EXPECT_TRUE(soubor.readAll().contains("KC-1683"));
    EXPECT_TRUE(okno->Zpravy.isEmpty());
}

TEST_F(Hlavni, VnejsiRozmerNaStreduObrazovky) {
    auto okno = Vytvor();
    QApplication::processEvents();
    EXPECT_EQ(okno->frameGeometry().size(), QSize(600, 400));
    const QPoint stred = okno->screen()->availableGeometry().center();
    EXPECT_LE((okno->frameGeometry().center() - stred).manhattanLength(), 2);
}

// "Adresa, rychlost" opens a fresh modal address dialog on the record,
// centred on the screen wherever the main window is; "Ok" stores into the
// record, and the next opening shows it.
TEST_F(Hlavni, AdresaRychlostOtevreDialog) {
    auto okno = Vytvor();
    QApplication::processEvents();
    okno->move(0, 0);
    auto nalezen = PriModalnim([&okno](QDialog* dialog) {
        EXPECT_NE(dynamic_cast<TForm12*>(dialog), nullptr);
        EXPECT_EQ(dialog->parent(), okno.get());
        EXPECT_TRUE(dialog->isModal());
        const QPoint stred = dialog->screen()->availableGeometry().center();
        EXPECT_LE((dialog->frameGeometry().center() - stred).manhattanLength(), 2);
        EXPECT_EQ(Text(dialog, "Edit1"), QStringLiteral("1"));
        Napis(Prvek<QLineEdit>(dialog, "Edit1"), QStringLiteral("7"));
        Klikni(dialog, "Button3");
    });
    okno->AdresaRychlost1->trigger();
    EXPECT_TRUE(*nalezen);
    EXPECT_EQ(okno->Data()->Konfigurace.Adresa, 7);
    EXPECT_TRUE(okno->findChildren<TForm12*>().isEmpty()) << "the dialog is destroyed";

    QString adresa;
    nalezen = PriModalnim([&adresa](QDialog* dialog) { adresa = Text(dialog, "Edit1"); });
    okno->AdresaRychlost1->trigger();
    EXPECT_TRUE(*nalezen);
    EXPECT_EQ(adresa, QStringLiteral("7"));
    EXPECT_EQ(Panel(*okno, 1), QStringLiteral(" Adresa")) << "the connection is not touched";
}

// The file keeps the interface of the last press and the address and rate of
// the last successful one.
TEST_F(Hlavni, NastaveniPoNeuspesnemStisku) {
    FakeOvladac pci(ZR_FAKELIB_DIR, 2);
    FakeOvladac com(ZR_FAKELIB_DIR, 0);
    com.Vysledek(FakeInit, 4);
    auto okno = Vytvor();
    {
        TForm2 dialog(okno->Data(), okno.get());
        dialog.show();
        Prvek<QComboBox>(&dialog, "ComboBox2")->setCurrentIndex(2);
        Napis(Prvek<QLineEdit>(&dialog, "Edit1"), QStringLiteral("3"));
        Prvek<QComboBox>(&dialog, "ComboBox1")->setCurrentIndex(8);
        Klikni(&dialog, "Button1");
        ASSERT_TRUE(okno->Data()->Inicializovano);
        Prvek<QComboBox>(&dialog, "ComboBox2")->setCurrentIndex(0);
        Napis(Prvek<QLineEdit>(&dialog, "Edit2"), QStringLiteral("6"));
        Napis(Prvek<QLineEdit>(&dialog, "Edit1"), QStringLiteral("9"));
        Prvek<QComboBox>(&dialog, "ComboBox1")->setCurrentIndex(0);
        Klikni(&dialog, "Button1");
        ASSERT_FALSE(okno->Data()->Inicializovano);
    }
    EXPECT_EQ(pci.Volani(FakeDone).size(), 1u) << "the second press closed the first connection";
    okno->close();
    EXPECT_TRUE(com.Volani(FakeDone).empty());
    TData zpet;
    VychoziData(&zpet);
    ASSERT_TRUE(NactiNastaveni(&zpet, Cesta()));
    EXPECT_EQ(zpet.Rozhrani, 0);
    EXPECT_EQ(zpet.CisloPortu, 6);
    EXPECT_EQ(zpet.Adresa, 3);
    EXPECT_EQ(zpet.Rychlost, 115200);
}

TEST_F(Hlavni, ZavreniBezPripojeniNevolaKnihovnu) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 0);
    {
        auto okno = Vytvor();
        okno->close();
        EXPECT_TRUE(QFile::exists(Cesta()));
    }
    EXPECT_TRUE(fake.Volani().empty());

    // After a failed initialisation the library is not called at close either.
    fake.Vysledek(FakeInit, 4);
    auto okno = Vytvor();
    {
        TForm2 dialog(okno->Data(), okno.get());
        dialog.show();
        Klikni(&dialog, "Button1");
    }
    fake.Reset();
    okno->close();
    EXPECT_TRUE(fake.Volani().empty());
}

TEST_F(Hlavni, NeulozeneNastaveniOhlasiAPresToZavre) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 0);
    const QString cesta = adresar.filePath(QStringLiteral("chybi/W_zr464.ini"));
    Okno okno(nullptr, cesta);
    okno.show();
    {
        TForm2 dialog(okno.Data(), &okno);
        dialog.show();
        Klikni(&dialog, "Button1");
        ASSERT_TRUE(okno.Data()->Inicializovano);
    }
    okno.close();
    ASSERT_EQ(okno.Zpravy.size(), 1);
    EXPECT_TRUE(okno.Zpravy[0].contains(cesta)) << okno.Zpravy[0].toStdString();
    EXPECT_EQ(fake.Volani(FakeDone).size(), 1u);
    EXPECT_EQ(okno.Data(), nullptr);
    EXPECT_FALSE(okno.isVisible());
}

TEST_F(Hlavni, ZaznamNelzeVytvorit) {
    auto okno = Vytvor([]() -> std::unique_ptr<TData> { throw std::bad_alloc(); });
    EXPECT_EQ(okno->Data(), nullptr);
    EXPECT_EQ(Panel(*okno, 3), QStringLiteral(" Nelze vytvořit datové struktury programu"));
    EXPECT_EQ(okno->Panel(3)->toolTip(), Panel(*okno, 3)) << "the cut-off text in full";
    auto nalezen = PriModalnim([](QDialog*) {});
    okno->Pipojen1->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(*nalezen) << "no dialog without a record";
    EXPECT_EQ(Panel(*okno, 0), QStringLiteral(" Modul"));
    okno->Konec2->trigger();
    EXPECT_FALSE(okno->isVisible());
    EXPECT_FALSE(QFile::exists(Cesta()));
    EXPECT_TRUE(okno->Zpravy.isEmpty());
}

} // namespace

TEST_F(Hlavni, SigtermSNeulozitelnymNastavenimKonciHned) {
    ASSERT_TRUE(QDir().mkdir(Cesta())); // the settings file cannot be saved
    ASSERT_TRUE(ZachytSigterm());
    TForm1 okno(nullptr, Cesta());
    QStringList hlaseni;
    ZavriPriSigterm(okno, [&] { okno.ZpravaBezOkna = [&](const QString& t) { hlaseni << t; }; });
    okno.show();
    ::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return hlaseni.size() == 1 && !okno.isVisible(); }, 1000));
}
