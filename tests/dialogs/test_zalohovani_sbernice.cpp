// "Zálohovat sběrnici…" and "Porovnat sběrnici…" driven through their real
// widgets with the fake library as every module of the list: the folder
// written and compared, the line's rate per group and back, a failure
// part-way, a stop, and an empty list.
#include "FakeModul.h"
#include "RegistryKonfigurace.h"
#include "ZalohovaniSbernice.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

namespace {

// A module's steps of the progress bar (its identification, then every
// register read) and its commands (five for the identification).
constexpr int Kroku = 1 + 19, Prikazu = 5 + 19;

class ZalohovaniSbernice : public SFakeModulem {
protected:
    void SetUp() override {
        SFakeModulem::SetUp();
        ASSERT_TRUE(adresar.isValid());
        data.Rychlost = 19200;
        data.Sbernice = {{7, 19200}, {3, 9600}, {8, 19200}};
        Identifikace();
    }
    // Every module names itself "ZR-464 v.1.04"; its times read 30 s and
    // `rele` s (the other registers 0), values a file may hold.
    void Identifikace(std::uint32_t rele = 4) {
        fake.Odpoved(200, 0, -1, 0, {'Z', 'R', '-', '4'});
        fake.Odpoved(200, 1, -1, 0, {'6', '4', ' ', ' '});
        fake.Odpoved(200, 2, -1, 0, {'1', '.', '0', '4'});
        Registr(Registr::InicializacniCasL, 30);
        Registr(Registr::DobaVypnutiReleL, rele);
    }
    template <class T> T* Otevri() {
        auto* okno = new T(data);
        okno->VolbaSouboru = [this](QWidget*, bool) { return adresar.path(); };
        okno->show();
        aktualni.reset(okno);
        return okno;
    }
    QString Stav() const { return Text(aktualni.get(), "StatusBar1Panel0"); }
    QTableWidget* Tabulka() const { return Prvek<QTableWidget>(aktualni.get(), "StringGrid1"); }
    QString Bunka(int radek, int sloupec) const {
        const QTableWidgetItem* i = Tabulka()->item(radek, sloupec);
        return i != nullptr ? i->text() : QString();
    }
    QStringList Sloupec(int sloupec) const {
        QStringList texty;
        for (int r = 0; r < Tabulka()->rowCount(); ++r)
            texty << Bunka(r, sloupec);
        return texty;
    }
    std::vector<std::uint32_t> Rychlosti() const {
        std::vector<std::uint32_t> r;
        for (const FakeVolani& v : fake.Volani(FakeSetConfig))
            r.push_back(v.argumenty[0]);
        return r;
    }
    // Clicks "Zastavit" once the progress bar has passed `kroku` steps.
    void ZastavPo(int kroku) {
        auto* casovac = new QTimer(aktualni.get());
        QObject::connect(casovac, &QTimer::timeout, aktualni.get(), [this, casovac, kroku] {
            if (Prvek<QProgressBar>(aktualni.get(), "ProgressBar1")->value() < kroku) return;
            casovac->stop();
            Klikni(aktualni.get(), "Button2");
        });
        casovac->start(0);
    }
    QStringList Soubory() const { return QDir(adresar.path()).entryList(QDir::Files, QDir::Name); }
    void Zalohuj() {
        Otevri<TZalohaSbernice>();
        Klikni(aktualni.get(), "Button1");
        fake.Reset();
        Identifikace();
    }

    QTemporaryDir adresar;
    std::unique_ptr<QDialog> aktualni;
};

const QString Uloz7 = QStringLiteral("uloženo do modul-007-19200.cfm (ZR-464   v.1.04)");

TEST_F(ZalohovaniSbernice, ZalohaPoSkupinachRychlosti) {
    Otevri<TZalohaSbernice>();
    Klikni(aktualni.get(), "Button1");
    // The connection's rate first, then 9600 Bd, then back.
    EXPECT_EQ(Sloupec(0), (QStringList{"7", "8", "3"}));
    EXPECT_EQ(Bunka(0, 3), Uloz7);
    EXPECT_EQ(Rychlosti(), (std::vector<std::uint32_t>{9600, 19200}));
    EXPECT_EQ(fake.Volani(FakeSend).size(), 3u * Prikazu);
    EXPECT_EQ(Soubory(), (QStringList{"modul-003-9600.cfm", "modul-007-19200.cfm",
                                      "modul-008-19200.cfm", "zaloha.json"}));
    EXPECT_TRUE(Stav().startsWith(QStringLiteral(" Uloženo modulů: 3 z 3 do složky ")))
        << Stav().toStdString();
}

TEST_F(ZalohovaniSbernice, SelhaniAZastaveniVPolovine) {
    const struct {
        const char* nazev;
        std::function<void()> priprav;
        QStringList vysledky;
        QString souhrn;
        std::vector<std::uint32_t> rychlosti;
        QStringList soubory = {"modul-007-19200.cfm", "zaloha.json"};
    } radky[] = {
        // The second module's third register fails, and so does all after it;
        // the line goes to 9600 Bd for the third and back.
        {"failure",
         [this] { fake.SendVysledekOd(Prikazu + 5 + 3, 9); },
         {Uloz7, QStringLiteral("čtení konfigurace, registr 0: ") + TextKodu(Typ, 9),
          QStringLiteral("neodpovídá: ") + TextKodu(Typ, 9)},
         QStringLiteral(" Uloženo modulů: 1 z 3"),
         {9600, 19200}},
        // Stopped in the 19200 Bd group: the line never left it.
        {"stop",
         [this] { ZastavPo(Kroku + 2); },
         {Uloz7, QStringLiteral("neuloženo (přerušeno)"), QStringLiteral("neuloženo (přerušeno)")},
         QStringLiteral(" Uloženo modulů: 1 z 3"),
         {}},
        // 9600 Bd refused: the third module is not reached; the line is set
        // back all the same.
        {"line refused",
         [this] { fake.Vysledek(FakeSetConfig, 7); },
         {Uloz7, QStringLiteral("uloženo do modul-008-19200.cfm (ZR-464   v.1.04)"),
          QStringLiteral("neuloženo (linku nelze nastavit na 9600 Bd)")},
         QStringLiteral(" Uloženo modulů: 2 z 3"),
         {9600, 19200},
         {"modul-007-19200.cfm", "modul-008-19200.cfm", "zaloha.json"}},
    };
    for (const auto& r : radky) {
        fake.Reset();
        Identifikace();
        QDir(adresar.path()).removeRecursively();
        QDir().mkpath(adresar.path());
        Otevri<TZalohaSbernice>();
        r.priprav();
        Klikni(aktualni.get(), "Button1");
        EXPECT_EQ(Sloupec(3), r.vysledky) << r.nazev;
        EXPECT_TRUE(Stav().startsWith(r.souhrn)) << r.nazev << Stav().toStdString();
        EXPECT_EQ(Soubory(), r.soubory) << r.nazev;
        EXPECT_EQ(Rychlosti(), r.rychlosti) << r.nazev;
        EXPECT_TRUE(Prvek<QPushButton>(aktualni.get(), "Button1")->isEnabled()) << r.nazev;
    }
}

TEST_F(ZalohovaniSbernice, PorovnaniNajdeZmenenouHodnotu) {
    Zalohuj();
    fake.Reset();
    Identifikace(6);
    Otevri<TPorovnaniSbernice>();
    Klikni(aktualni.get(), "Button1");
    // Each module's row, then its differences.
    EXPECT_EQ(Sloupec(0), (QStringList{"adresa 7, 19200 Bd", "", "adresa 8, 19200 Bd", "",
                                       "adresa 3, 9600 Bd", ""}));
    EXPECT_EQ(Bunka(0, 1), QStringLiteral("rozdílů: 1"));
    EXPECT_EQ(Bunka(1, 1), QStringLiteral("Doba vypnutí relé"));
    EXPECT_EQ(Bunka(1, 2), QStringLiteral("4 s"));
    EXPECT_EQ(Bunka(1, 3), QStringLiteral("6 s"));
    EXPECT_EQ(Stav(), QStringLiteral(" Moduly: s rozdíly 3 moduly."));
    EXPECT_EQ(Rychlosti(), (std::vector<std::uint32_t>{9600, 19200}));
}

TEST_F(ZalohovaniSbernice, PorovnaniChybyASeznam) {
    Zalohuj();
    const struct {
        const char* nazev;
        std::function<void()> priprav;
        QStringList stavy; // column 1 of the module rows
        QString souhrn;
    } radky[] = {
        {"same",
         [] {},
         {"bez rozdílů", "bez rozdílů", "bez rozdílů"},
         QStringLiteral(" Bez rozdílů: 3 moduly.")},
        // The second module does not answer its identification.
        {"missing",
         [this] { fake.SendVysledekOd(Prikazu + 1, 5); },
         {"bez rozdílů", QStringLiteral("chybí na sběrnici (neodpovídá: ") + TextKodu(Typ, 5) + ")",
          QStringLiteral("chybí na sběrnici (neodpovídá: ") + TextKodu(Typ, 5) + ")"},
         QStringLiteral(" Moduly: bez rozdílů 1 modul, chybí na sběrnici 2 moduly.")},
        // Module 3 is not in the folder any more; it answers.
        {"not in folder",
         [this] {
             QFile::remove(QDir(adresar.path()).filePath(QStringLiteral("zaloha.json")));
             data.Sbernice = {{7, 19200}, {8, 19200}};
             Zalohuj();
             data.Sbernice.push_back({3, 9600});
         },
         {"bez rozdílů", "bez rozdílů", "není v záloze (ZR-464   v.1.04)"},
         QStringLiteral(" Moduly: bez rozdílů 2 moduly, mimo zálohu 1 modul.")},
    };
    for (const auto& r : radky) {
        r.priprav();
        Otevri<TPorovnaniSbernice>();
        Klikni(aktualni.get(), "Button1");
        EXPECT_EQ(Sloupec(1), r.stavy) << r.nazev;
        EXPECT_EQ(Stav(), r.souhrn) << r.nazev;
        fake.Reset();
        Identifikace();
    }
}

// An empty list: the backup says where the list is made and sends nothing;
// a folder without a backup is refused before anything is sent.
TEST_F(ZalohovaniSbernice, PrazdnySeznamAChybnaSlozka) {
    data.Sbernice.clear();
    auto* zaloha = Otevri<TZalohaSbernice>();
    EXPECT_TRUE(zaloha->Label1->text().contains(QStringLiteral("Přehled sběrnice")));
    Klikni(zaloha, "Button1");
    EXPECT_TRUE(Stav().contains(QStringLiteral("Přehled sběrnice"))) << Stav().toStdString();
    Otevri<TPorovnaniSbernice>();
    Klikni(aktualni.get(), "Button1");
    EXPECT_TRUE(Stav().startsWith(QStringLiteral(" Záloha nelze použít: ")))
        << Stav().toStdString();
    EXPECT_TRUE(fake.Volani(FakeSend).empty());
    EXPECT_TRUE(Soubory().isEmpty());
}

} // namespace
