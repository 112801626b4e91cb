// The watchdog timer dialog against the fake driver library: the version
// rules, the validation, the five registers and their 16-bit times, and the
// sequence that processes no messages.
#include "CasovacWD.h"
#include "FakeModul.h"

#include <QGroupBox>
#include <QRadioButton>
#include <memory>

namespace {

const QString Kratky = QStringLiteral("Inicializační čas (1-255s)");
const QString Dlouhy = QStringLiteral("Inicializační čas (1-65535s)");
const QString Rozsah255 = QStringLiteral(" Čas musí být v rozsahu 1-255.");
const QString Rozsah65535 = QStringLiteral(" Čas musí být v rozsahu 1-65535.");
const QString Verze104 = QStringLiteral("ZR-464   v.1.04");

class WD : public SFakeModulem {
protected:
    TForm4& Otevri(const QString& modul = Verze104) {
        data.Modul = modul;
        dialog = std::make_unique<TForm4>(&data);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        stav = std::make_unique<ZaznamStavu>(dialog.get());
        return *dialog;
    }
    // Registers 0, 2, 3, 4, 1 read these values.
    void Registry(std::array<std::uint32_t, 5> hodnoty) {
        const std::array<std::uint32_t, 5> poradi = {0, 2, 3, 4, 1};
        for (std::size_t i = 0; i < poradi.size(); ++i)
            Registr(poradi[i], hodnoty[i]);
    }
    QString Stav() const { return Text(dialog.get(), "StatusBar1Panel0"); }
    bool Vypnut() const { return Prvek<QRadioButton>(dialog.get(), "RadioButton1")->isChecked(); }

    std::unique_ptr<TForm4> dialog;
    std::unique_ptr<ZaznamStavu> stav;
};

TEST_F(WD, VychoziZobrazeni) {
    const TForm4& okno = Otevri();
    EXPECT_EQ(okno.windowTitle(), QStringLiteral("Časovač watchdog"));
    EXPECT_EQ(Text(&okno, "Edit1"), QStringLiteral("60"));
    EXPECT_EQ(Text(&okno, "Edit2"), QStringLiteral("10"));
    EXPECT_TRUE(Prvek<QRadioButton>(&okno, "RadioButton2")->isChecked());
    EXPECT_FALSE(Vypnut());
    EXPECT_EQ(Prvek<QRadioButton>(&okno, "RadioButton2")->text(),
              QStringLiteral("watchdog aktivován"));
    EXPECT_EQ(Prvek<QGroupBox>(&okno, "GroupBox1")->title(), QStringLiteral(" Aktivace časovače "));
    EXPECT_EQ(Text(&okno, "Label2"), QStringLiteral("Doba vypnutí relé (1-65535s)"));
    // The activation on the left, the two times on the right, the time
    // of initialisation above the relay's.
    EXPECT_LT(okno.GroupBox1->geometry().right(), okno.Edit1->x());
    EXPECT_LT(okno.Edit1->y(), okno.Edit2->y());
    EXPECT_LT(okno.Edit2->geometry().bottom(), okno.Button1->y());
    EXPECT_EQ(Stav(), QStringLiteral(" "));
    EXPECT_TRUE(Odeslane().empty());
}

// The version text decides the caption, the relay time's visibility and the
// range of the initialisation time; odd texts fall to the general rule.
TEST_F(WD, VerzeARozsah) {
    const struct {
        const char* modul;
        const char* verze;
        bool kratky, rele;
    } radky[] = {
        {"ZR-464   v.1.04", "1.04", false, true},
        {"ZR-464   v.1.00", "1.00", true, false},
        {"ZR-464   v.1.01", "1.01", true, false},
        {"ZR-464   v.1.02", "1.02", true, false},
        {"ZR-464   v.1.03", "1.03", false, false},
        {"ZR-464   v.1.05", "1.05", false, false},
        {"", "    ", false, false},
        {"ZR-464   v.1.0", "1.0 ", false, false},
        {"ZR-464   v.abcd", "abcd", false, false},
        {"ZR-464   v.1.04b", "1.04", false, true},
        {"ZR-464   V.1.0A", "1.0A", false, false},
        {"ZR-464   v.ěš\u00A0ř", "ěš\u00A0ř", false, false},
        {"ZR", "    ", false, false},
    };
    const struct {
        const char* text;
        int hodnota; // 0: does not convert
    } vstupy[] = {{"1", 1},         {"255", 255}, {"256", 256}, {"0", 0},
                  {"65535", 65535}, {"65536", 0}, {"12ab", 0},  {"", 0}};
    for (const auto& r : radky) {
        SCOPED_TRACE(r.modul);
        Otevri(QString::fromUtf8(r.modul));
        EXPECT_EQ(dialog->VerzeFirmwaru(), QString::fromUtf8(r.verze));
        EXPECT_EQ(Text(dialog.get(), "Label1"), r.kratky ? Kratky : Dlouhy);
        EXPECT_EQ(dialog->Label2->isVisible(), r.rele);
        EXPECT_EQ(dialog->Edit2->isVisible(), r.rele);
        const int nejvic = r.kratky ? 255 : 65535;
        for (const auto& v : vstupy) {
            SCOPED_TRACE(v.text);
            fake.Reset();
            Napis(dialog->Edit1, QString::fromUtf8(v.text));
            Klikni(dialog.get(), "Button1");
            const std::vector<TOdeslano> odeslane = Odeslane();
            if (v.hodnota >= 1 && v.hodnota <= nejvic) {
                ASSERT_FALSE(odeslane.empty());
                EXPECT_EQ(odeslane[0], Zapis(0, std::uint32_t(v.hodnota) & 0xFF));
            } else {
                EXPECT_EQ(Stav(), r.kratky ? Rozsah255 : Rozsah65535);
                EXPECT_TRUE(odeslane.empty());
            }
        }
    }
}

// Registers 0, 2, 3, 4, 1 read into the window; a failure at register 2
// leaves the initialisation time with register 0 alone.
TEST_F(WD, CteniRegistru) {
    const struct {
        const char* nazev;
        std::array<std::uint32_t, 5> registry;
        std::uint32_t selzeOd; // _Send number that fails, 0: none
        const char* edit1;
        const char* edit2;
        bool vypnut;
        std::uint8_t aktivace;
    } radky[] = {
        {"300 s, 10 s, off", {44, 1, 10, 0, 0}, 0, "300", "10", true, 0},
        {"fails at register 2", {44, 1, 10, 0, 0}, 2, "44", "7", false, 1},
        {"activation 5 shows as on", {60, 0, 10, 0, 5}, 0, "60", "10", false, 5},
        {"fresh module's zero times", {0, 0, 0, 0, 1}, 0, "0", "0", false, 1},
        {"largest times", {255, 255, 255, 255, 1}, 0, "65535", "65535", false, 1},
    };
    for (const auto& r : radky) {
        SCOPED_TRACE(r.nazev);
        fake.Reset();
        Registry(r.registry);
        if (r.selzeOd != 0) fake.SendVysledekOd(r.selzeOd, 6);
        data.Konfigurace = VychoziKonfigurace();
        data.Konfigurace.InicializacniCas = 300;
        data.Konfigurace.DobaVypnutiRele = 7;
        Otevri();
        stav->Texty.clear();
        Klikni(dialog.get(), "Button2");
        EXPECT_EQ(Text(dialog.get(), "Edit1"), QLatin1String(r.edit1));
        EXPECT_EQ(Text(dialog.get(), "Edit2"), QLatin1String(r.edit2));
        EXPECT_EQ(Vypnut(), r.vypnut);
        EXPECT_EQ(dialog->PracovniKopie().AktivaceCasovace, r.aktivace);
        if (r.selzeOd == 0) {
            EXPECT_EQ(Odeslane(),
                      (std::vector<TOdeslano>{Cteni(0), Cteni(2), Cteni(3), Cteni(4), Cteni(1)}));
            EXPECT_EQ(stav->Texty, TextyPrubehu(false, {0, 20, 40, 60, 80, 100}));
        } else {
            EXPECT_EQ(Odeslane().size(), 2u);
            EXPECT_EQ(Stav(), TextChybyFake(6));
        }
    }
}

// Ten commands, each request carrying register and value twice; the
// activation read as 5 goes back as 1, by "Zapsat" and by "Ok".
TEST_F(WD, ZapisAAktivace5) {
    Registry({60, 0, 10, 0, 5});
    Otevri();
    Klikni(dialog.get(), "Button2");
    ASSERT_EQ(dialog->PracovniKopie().AktivaceCasovace, 5);
    fake.Reset();
    Registry({44, 1, 10, 0, 1});
    Napis(dialog->Edit1, QStringLiteral("300"));
    stav->Texty.clear();
    Klikni(dialog.get(), "Button1");
    EXPECT_EQ(Odeslane(), (std::vector<TOdeslano>{
                              Zapis(0, 44), Cteni(0, 44), Zapis(2, 1), Cteni(2, 1), Zapis(3, 10),
                              Cteni(3, 10), Zapis(4, 0), Cteni(4, 0), Zapis(1, 1), Cteni(1, 1)}));
    EXPECT_EQ(stav->Texty,
              QStringList{QStringLiteral(" ")} + TextyPrubehu(true, {0, 20, 40, 60, 80, 100}));

    fake.Reset();
    Registry({60, 0, 10, 0, 5});
    Otevri();
    Klikni(dialog.get(), "Button2");
    Klikni(dialog.get(), "Button3");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(data.Konfigurace.AktivaceCasovace, 1);
    EXPECT_EQ(data.Konfigurace.InicializacniCas, 60);
}

// A relay time of 0 refuses "Zapsat" and "Ok" also while it is hidden.
TEST_F(WD, SkrytyEdit2SNulou) {
    Registry({60, 0, 0, 0, 1});
    Otevri(QStringLiteral("ZR-464   v.1.03"));
    Klikni(dialog.get(), "Button2");
    ASSERT_FALSE(dialog->Edit2->isVisible());
    ASSERT_EQ(dialog->Edit2->text(), QStringLiteral("0"));
    fake.Reset();
    Klikni(dialog.get(), "Button1");
    EXPECT_EQ(Stav(), Rozsah65535);
    EXPECT_TRUE(Odeslane().empty());
    Klikni(dialog.get(), "Button3");
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(data.Konfigurace.DobaVypnutiRele, 10) << "not stored";
    EXPECT_EQ(data.Konfigurace.InicializacniCas, 60);
}

} // namespace
