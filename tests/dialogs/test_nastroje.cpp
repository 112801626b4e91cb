// The windows of the "Nástroje" menu driven through their real widgets with
// the fake library as the module: the scan, saving, comparing and loading a
// configuration, each with a failure or a stop part-way.
#include "FakeModul.h"
#include "HledaniModulu.h"
#include "NahraniKonfigurace.h"
#include "RegistryKonfigurace.h"
#include "UlozeniKonfigurace.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace {

// A configuration a file may hold, unlike the fake's all-zero registers.
TKonfigurace Vzor() {
    TKonfigurace k = VychoziKonfigurace();
    k.Adresa = 7;
    k.Rychlost = 5;
    k.InicializacniCas = 300;
    k.DobaVypnutiRele = 4;
    k.AktivaceCasovace = 1;
    k.NegaceDIN = {1, 2, 3, 4};
    k.PocatecniStavDOUT = {0xF0, 0, 0, 0x80};
    return k;
}

constexpr int RegistruCteni = 19, RegistruZapisu = 17;

class Nastroje : public SFakeModulem {
protected:
    void SetUp() override {
        SFakeModulem::SetUp();
        ASSERT_TRUE(adresar.isValid());
        data.Rychlost = 19200;
    }
    // The module's registers hold `k`.
    void Modul(const TKonfigurace& k) {
        for (const auto& skupina :
             {std::span<const TRegistrKonfigurace>(RegistryKonfigurace::Adresa),
              std::span<const TRegistrKonfigurace>(RegistryKonfigurace::Watchdog),
              std::span<const TRegistrKonfigurace>(RegistryKonfigurace::DIO)})
            for (const TRegistrKonfigurace& r : skupina)
                Registr(r.Registr, BajtKonfigurace(k, r));
    }
    // Opens the window on the record; its file dialog answers `cesta`.
    template <class T> T* Otevri(const QString& cesta = QString()) {
        auto* okno = new T(data);
        okno->VolbaSouboru = [cesta, this](QWidget*, bool) {
            ++voleb;
            return cesta;
        };
        if constexpr (std::is_same_v<T, TNahraniKonfigurace>)
            okno->Potvrzeni = [](QWidget*, const QString&) { return true; };
        okno->show();
        aktualni.reset(okno);
        return okno;
    }
    QString Soubor(const char* nazev, const QByteArray& obsah) {
        const QString cesta = adresar.filePath(QLatin1String(nazev));
        QFile f(cesta);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(obsah);
        return cesta;
    }
    QString Stav() const { return Text(aktualni.get(), "StatusBar1Panel0"); }
    QTableWidget* Tabulka() const { return Prvek<QTableWidget>(aktualni.get(), "StringGrid1"); }
    QString Bunka(int radek, int sloupec) const {
        const QTableWidgetItem* i = Tabulka()->item(radek, sloupec);
        return i != nullptr ? i->text() : QString();
    }
    int Prubeh() const { return Prvek<QProgressBar>(aktualni.get(), "ProgressBar1")->value(); }
    // Clicks `tlacitko` of the window as soon as its event loop runs (the
    // first pause of the work started next).
    void KlikniPozdeji(const char* tlacitko) {
        QTimer::singleShot(0, aktualni.get(),
                           [this, tlacitko] { Klikni(aktualni.get(), tlacitko); });
    }
    std::vector<std::uint32_t> Rychlosti() const {
        std::vector<std::uint32_t> r;
        for (const FakeVolani& v : fake.Volani(FakeSetConfig))
            r.push_back(v.argumenty[0]);
        return r;
    }

    QTemporaryDir adresar;
    std::unique_ptr<QDialog> aktualni;
    int voleb = 0;
    QStringList Otazky;  // what the load window asked the operator
    bool Odpoved = true; // its answer
};

// Without a connection no window sends anything or asks for a file.
TEST_F(Nastroje, BezPripojeniNicNeposilaji) {
    KonecRozhrani(Typ, data.Spojeni);
    data.Inicializovano = false;
    fake.Reset();
    const struct {
        std::function<QDialog*()> okno;
        const char* tlacitko;
    } radky[] = {
        {[this] { return Otevri<THledaniModulu>(); }, "Button1"},
        {[this] { return Otevri<TUlozeniKonfigurace>(QStringLiteral("x.cfm")); }, "Button1"},
        {[this] { return Otevri<TPorovnaniKonfigurace>(QStringLiteral("x.cfm")); }, "Button1"},
        {[this] { return Otevri<TNahraniKonfigurace>(QStringLiteral("x.cfm")); }, "Button1"},
    };
    for (const auto& r : radky) {
        QDialog* okno = r.okno();
        Klikni(okno, r.tlacitko);
        EXPECT_EQ(Stav(), QStringLiteral(" Připojení k modulu není inicializováno."))
            << okno->objectName().toStdString();
    }
    EXPECT_TRUE(fake.Volani().empty());
    EXPECT_EQ(voleb, 0);
}

TEST_F(Nastroje, HledaniChybyAZastaveni) {
    const struct {
        const char* nazev;
        std::function<void(THledaniModulu*)> priprav;
        QString stav;
        int nepotvrzenych;
    } radky[] = {
        // The first probe answers, every identification after it fails.
        {"unconfirmed answer", [this](THledaniModulu*) { fake.SendVysledekOd(2, 4); },
         QStringLiteral(" Nalezeno modulů: 0 (sond 8 z 8), nepotvrzených odpovědí: 1"), 1},
        // Only damaged answers at every address (a collision): each listed.
        {"only damaged answers", [this](THledaniModulu*) { fake.SendVysledek(7); },
         QStringLiteral(" Nalezeno modulů: 0 (sond 8 z 8), nepotvrzených odpovědí: 8"), 8},
        {"line refused", [this](THledaniModulu*) { fake.Vysledek(FakeSetConfig, 7); },
         QStringLiteral(" Nastavení rychlosti 19200 Bd: ") + TextKodu(Typ, 7), 0},
        {"stopped after the first probe", [this](THledaniModulu*) { KlikniPozdeji("Button2"); },
         QStringLiteral(" Nalezeno modulů: 1 (sond 1 z 8), přerušeno"), 0},
    };
    for (const auto& r : radky) {
        fake.Reset();
        auto* okno = Otevri<THledaniModulu>();
        Napis(okno->Edit1, QStringLiteral("10"));
        Napis(okno->Edit2, QStringLiteral("13"));
        okno->Rychlosti[6]->setChecked(true); // 38400 Bd after 19200 Bd
        r.priprav(okno);
        Klikni(okno, "Button1");
        EXPECT_EQ(Stav(), r.stav) << r.nazev;
        EXPECT_EQ(okno->ListBox1->count(), r.nepotvrzenych) << r.nazev;
        // The connection's rate is ticked, and the line is set back to it.
        EXPECT_EQ(Rychlosti().back(), 19200u) << r.nazev;
        EXPECT_TRUE(okno->Button1->isEnabled()) << r.nazev;
    }
}

// A relay time of 0 is saved as read, with a warning naming its line.
TEST_F(Nastroje, UlozeniSVarovanim) {
    TKonfigurace k = Vzor();
    k.DobaVypnutiRele = 0;
    Modul(k);
    const QString cesta = adresar.filePath(QStringLiteral("modul.cfm"));
    Otevri<TUlozeniKonfigurace>(cesta);
    Klikni(aktualni.get(), "Button1");
    EXPECT_TRUE(Stav().contains(QStringLiteral("Varování: řádek 7"))) << Stav().toStdString();
    EXPECT_EQ(Prubeh(), RegistruCteni);
    EXPECT_TRUE(QFile::exists(cesta));
}

TEST_F(Nastroje, CteniSelzeVPolovine) {
    Modul(Vzor());
    const QString platny = Soubor("platny.cfm", ZapisCfm(Vzor(), {}));
    const struct {
        const char* nazev;
        std::function<QDialog*()> okno;
    } radky[] = {
        {"save", [&] { return Otevri<TUlozeniKonfigurace>(adresar.filePath("novy.cfm")); }},
        {"compare", [&] { return Otevri<TPorovnaniKonfigurace>(platny); }},
        {"load", [&] { return Otevri<TNahraniKonfigurace>(platny); }},
    };
    for (const auto& r : radky) {
        fake.Reset();
        Modul(Vzor());
        fake.SendVysledekOd(6, 9);
        QDialog* okno = r.okno();
        Klikni(okno, "Button1");
        // Registers 63, 62, then 0, 2, 3, 4: the sixth command fails.
        EXPECT_EQ(Stav(), QStringLiteral(" Čtení konfigurace, registr 4: ") + TextKodu(Typ, 9))
            << r.nazev;
        EXPECT_EQ(Prubeh(), 5) << r.nazev;
        EXPECT_EQ(fake.Volani(FakeSend).size(), 6u) << r.nazev;
        const auto* tabulka = okno->findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
        EXPECT_TRUE(tabulka == nullptr || tabulka->rowCount() == 0) << r.nazev;
    }
    EXPECT_FALSE(QFile::exists(adresar.filePath("novy.cfm")));
}

TEST_F(Nastroje, PorovnaniUkazeRozdily) {
    TKonfigurace modul = Vzor();
    modul.Adresa = 9;
    modul.NegaceDOUT = {0, 0, 0, 1};
    Modul(modul);
    Otevri<TPorovnaniKonfigurace>(Soubor("a.cfm", ZapisCfm(Vzor(), {})));
    Klikni(aktualni.get(), "Button1");
    EXPECT_EQ(Stav(), QStringLiteral(" Počet rozdílů: 1."));
    EXPECT_EQ(Prubeh(), RegistruCteni);
    ASSERT_EQ(Tabulka()->rowCount(), 1);
    EXPECT_EQ(Bunka(0, 0), QStringLiteral("Negace DOUT: DOUT0-DOUT23, DOUT25-DOUT31"));
    EXPECT_EQ(Bunka(0, 1), QStringLiteral("1"));
    EXPECT_EQ(Bunka(0, 2), QStringLiteral("0"));
    // The address is compared when asked, without another command.
    fake.Reset();
    Prvek<QCheckBox>(aktualni.get(), "CheckBox1")->setChecked(true);
    EXPECT_EQ(Tabulka()->rowCount(), 2);
    EXPECT_EQ(Bunka(0, 0), QStringLiteral("Adresa modulu"));
    EXPECT_TRUE(fake.Volani().empty());
}

TEST_F(Nastroje, NahraniZapiseAOveri) {
    data.Konfigurace = VychoziKonfigurace();
    const TKonfigurace ulozena = data.Konfigurace;
    const QString cesta = Soubor("b.cfm", ZapisCfm(Vzor(), {}));
    const struct {
        bool sAdresou;
        std::size_t zapisu;
        QString stav;
    } radky[] = {
        {false, RegistruZapisu, QStringLiteral(" Konfigurace zapsána a ověřena (17 registrů).")},
        {true, RegistruZapisu + 2,
         QStringLiteral(" Konfigurace zapsána a ověřena (19 registrů). Adresa a rychlost platí až "
                        "po příštím restartu modulu.")},
    };
    for (const auto& r : radky) {
        fake.Reset();
        Modul(Vzor());
        auto* okno = Otevri<TNahraniKonfigurace>(cesta);
        okno->CheckBox1->setChecked(r.sAdresou);
        EXPECT_FALSE(okno->Button4->isEnabled());
        Klikni(okno, "Button1");
        EXPECT_EQ(Stav(), QStringLiteral(" Bez rozdílů. Zapsat konfiguraci ze souboru do modulu?"));
        ASSERT_TRUE(okno->Button4->isEnabled());
        fake.Reset();
        Modul(Vzor());
        Klikni(okno, "Button4");
        EXPECT_EQ(Stav(), r.stav);
        EXPECT_EQ(Prubeh(), static_cast<int>(r.zapisu) + RegistruCteni);
        std::size_t zapisu = 0;
        bool adresa = false;
        for (const FakeVolani& v : fake.Volani(FakeSend)) {
            zapisu += v.blok[1] == 103;
            adresa |= v.blok[1] == 103 && v.blok[4] == 63;
        }
        EXPECT_EQ(zapisu, r.zapisu);
        EXPECT_EQ(adresa, r.sAdresou);
    }
    EXPECT_TRUE(PorovnejKonfigurace(data.Konfigurace, ulozena, true).empty());
}

TEST_F(Nastroje, NahraniSelzeNeboSeZastavi) {
    const QString cesta = Soubor("c.cfm", ZapisCfm(Vzor(), {}));
    const struct {
        const char* nazev;
        std::function<void()> priprav;
        QString stav;
    } radky[] = {
        // Identification (5 commands, as the initialisation time exceeds
        // one byte), write 32, its read-back, then the write of 35 fails.
        {"module stops answering", [this] { fake.SendVysledekOd(9, 9); },
         QStringLiteral(" Zápis konfigurace, registr 35: ") + TextKodu(Typ, 9) +
             QStringLiteral(" (zapsáno 1 z 17 registrů)")},
        {"stopped", [this] { KlikniPozdeji("Button2"); },
         QStringLiteral(" Zápis konfigurace: přerušeno. (zapsáno 0 z 17 registrů)")},
        {"read-back differs", [this] { Registr(32, 0x0F); },
         QStringLiteral(" Zápis konfigurace, registr 32: Chyba zápisu dat. (přečteno 15) "
                        "(zapsáno 0 z 17 registrů)")},
        // Escape ends the write after the command in progress and closes.
        {"closed",
         [this] {
             QTimer::singleShot(0, aktualni.get(),
                                [this] { QTest::keyClick(aktualni.get(), Qt::Key_Escape); });
         },
         QStringLiteral(" Zápis konfigurace: přerušeno. (zapsáno 0 z 17 registrů)")},
    };
    for (const auto& r : radky) {
        fake.Reset();
        Modul(Vzor());
        auto* okno = Otevri<TNahraniKonfigurace>(cesta);
        Klikni(okno, "Button1");
        fake.Reset();
        r.priprav(); // before the module's registers: the first answer scripted wins
        Modul(Vzor());
        Klikni(okno, "Button4");
        EXPECT_EQ(Stav(), r.stav) << r.nazev;
        EXPECT_EQ(okno->isVisible(), r.nazev != std::string("closed")) << r.nazev;
    }
}

} // namespace
