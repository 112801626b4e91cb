// The live windows through the scriptable fake driver on the offscreen
// platform: what each poll shows, the commands the buttons send, the
// connection check, failures, closing, and the main window's menu items.
#include "FakeOvladac.h"
#include "Hlavni.h"
#include "Okna.h"
#include "Xxxx683.h"

#include <QAction>
#include <QCheckBox>
#include <QScreen>
#include <QTemporaryDir>
#include <vector>

namespace {

const QString Neinicializovano = QStringLiteral(" Připojení k modulu není inicializováno.");

using TBajty = std::array<std::uint32_t, 4>;
using TData5 = std::array<std::uint32_t, 5>;

class Zive : public SpojeniNaFake {
protected:
    // A shown window whose timer the test drives itself.
    std::unique_ptr<TZiveOkno> OtevriBezCasovace(TOkno druh) {
        auto okno = Otevri(druh, &data);
        if (auto* casovac = okno->findChild<QTimer*>(QStringLiteral("Timer1"))) casovac->stop();
        return okno;
    }
    std::vector<FakeVolani> Odeslane() const { return fake.Volani(FakeSend); }
    static QString TextKodu4(std::uint32_t kod) { return QStringLiteral(" ") + TextKodu(4, kod); }
};

void OcekavejPrikaz(const FakeVolani& v, std::uint32_t adresa, std::uint32_t kod,
                    std::uint32_t parametr, const TData5& d) {
    EXPECT_EQ(v.blok[0], adresa);
    EXPECT_EQ(v.blok[1], kod);
    EXPECT_EQ(v.blok[2], parametr);
    for (std::size_t i = 0; i < d.size(); ++i)
        EXPECT_EQ(v.blok[3 + i], d[i]) << "D" << i + 1;
}

struct TDotaz {
    const char* Nazev;
    TOkno Druh;
    std::uint32_t Kod, Parametr;
    TBajty A;
    QString Ocekavano;
};

const TDotaz Dotazy[] = {
    {"DIN0 a DIN31", TOkno::Vstupy, 0, 64, {1, 0, 0, 128}, Bity({0, 31})},
    {"A2 = 165", TOkno::Vstupy, 0, 64, {0, 165, 0, 0}, Bity({8, 10, 13, 15})},
    {"FN PWR RST ERR24", TOkno::Status, 100, 0, {114, 0, 0, 0}, Bity({1, 4, 5, 6})},
    {"PRF", TOkno::Status, 100, 0, {4, 0, 0, 0}, Bity({2})},
    {"7 s", TOkno::Watchdog, 100, 1, {7, 0, 0, 0}, QStringLiteral("  7")},
    {"300 s", TOkno::Watchdog, 100, 1, {44, 1, 0, 0}, QStringLiteral("  300")},
};

// One poll to the address of the moment of show, and what it shows.
TEST_F(Zive, DotazZobraziOdpoved) {
    for (const TDotaz& d : Dotazy) {
        SCOPED_TRACE(d.Nazev);
        fake.Reset();
        data.Adresa = 7;
        auto okno = OtevriBezCasovace(d.Druh);
        data.Adresa = 9; // seen by the next opening only
        fake.Odpoved(d.Kod, d.Parametr, -1, 0, d.A);
        okno->Timer1Timer();
        EXPECT_EQ(Zobrazeno(okno.get()), d.Ocekavano);
        EXPECT_EQ(StavOkna(okno.get()), TextKodu4(0));
        const auto odeslane = Odeslane();
        ASSERT_EQ(odeslane.size(), 1u);
        OcekavejPrikaz(odeslane[0], 7, d.Kod, d.Parametr, {0, 0, 0, 0, 0});
    }
}

TEST_F(Zive, PopiskyBitu) {
    QStringList status(32, QStringLiteral("---"));
    status[1] = QStringLiteral("FN");
    status[2] = QStringLiteral("PRF");
    status[4] = QStringLiteral("PWR");
    status[5] = QStringLiteral("RST");
    status[6] = QStringLiteral("ERR24");
    QStringList vstupy;
    for (int n = 0; n < 32; ++n)
        vstupy << QStringLiteral("DIN%1").arg(n);
    for (const auto& [druh, popisky] :
         {std::pair{TOkno::Vstupy, vstupy}, {TOkno::Status, status}}) {
        auto okno = OtevriBezCasovace(druh);
        QStringList zobrazene;
        for (int k = 1; k <= 32; ++k)
            zobrazene << Text(okno.get(), QStringLiteral("Label%1").arg(k).toLatin1().constData());
        EXPECT_EQ(zobrazene, popisky);
    }
}

// A failing poll after good ones keeps the values; the next good one
// updates them again.
TEST_F(Zive, ChybaPonechaHodnoty) {
    const TDotaz* radky[] = {&Dotazy[0], &Dotazy[2], &Dotazy[5]};
    for (const TDotaz* d : radky) {
        SCOPED_TRACE(d->Nazev);
        fake.Reset();
        auto okno = OtevriBezCasovace(d->Druh);
        const QString nuly = Zobrazeno(okno.get());
        fake.Odpoved(d->Kod, d->Parametr, -1, 0, d->A);
        okno->Timer1Timer();
        okno->Timer1Timer();
        fake.SendVysledek(5);
        okno->Timer1Timer();
        EXPECT_EQ(Zobrazeno(okno.get()), d->Ocekavano);
        EXPECT_EQ(StavOkna(okno.get()), TextKodu4(5));
        fake.SendVysledek(0);
        fake.Odpoved(d->Kod, d->Parametr, -1, 0, {0, 0, 0, 0});
        okno->Timer1Timer();
        EXPECT_EQ(Zobrazeno(okno.get()), nuly) << "recovers by itself";
        EXPECT_EQ(StavOkna(okno.get()), TextKodu4(0));
        EXPECT_EQ(Odeslane().size(), 4u);
    }
}

// Without a usable connection the running timer brings the message, and
// nothing is sent.
TEST_F(Zive, BezPripojeniZpravaOdCasovace) {
    data.Inicializovano = false;
    for (TOkno druh : {TOkno::Vstupy, TOkno::Status, TOkno::Watchdog}) {
        auto okno = Otevri(druh, &data);
        const QString pocatek = Zobrazeno(okno.get());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return StavOkna(okno.get()) == Neinicializovano; }, 5000));
        EXPECT_EQ(pocatek, druh == TOkno::Watchdog ? QStringLiteral("  0") : Bity({}));
        EXPECT_EQ(Zobrazeno(okno.get()), pocatek);
    }
    EXPECT_TRUE(Odeslane().empty());
}

struct TTlacitko {
    const char* Nazev;
    TOkno Druh;
    const char* Tlacitko;
    std::uint32_t Kod, Parametr;
    TData5 D;
    QString Uspech; // status text after success; empty: left as it was
};

const TTlacitko Tlacitka[] = {
    {"Vynulovat", TOkno::Status, "Button2", 101, 0, {0, 0, 0, 0, 0}, QString()},
    {"Zápis času 10s",
     TOkno::Watchdog,
     "Button1",
     101,
     1,
     {0, 10, 0, 0, 0},
     QStringLiteral(" Nový čas zapsán")},
    {"Zapsat", TOkno::Vystupy, "Button1", 1, 64, {0, 0, 0, 0, 0}, QStringLiteral(" Data zapsána")},
};

// Each button sends exactly one command, shows the failure text when it
// fails, and without a connection sends nothing; a running timer stays
// running.
TEST_F(Zive, TlacitkoPosleJedenPrikaz) {
    for (const TTlacitko& t : Tlacitka) {
        SCOPED_TRACE(t.Nazev);
        fake.Reset();
        auto okno = Otevri(t.Druh, &data);
        const QString pred = StavOkna(okno.get());
        Klikni(okno.get(), t.Tlacitko);
        auto odeslane = Odeslane();
        ASSERT_EQ(odeslane.size(), 1u);
        OcekavejPrikaz(odeslane[0], 7, t.Kod, t.Parametr, t.D);
        EXPECT_EQ(StavOkna(okno.get()), t.Uspech.isEmpty() ? pred : t.Uspech);
        if (auto* casovac = okno->findChild<QTimer*>(QStringLiteral("Timer1"))) {
            EXPECT_TRUE(casovac->isActive());
            if (t.Druh == TOkno::Watchdog) {
                EXPECT_GT(casovac->remainingTime(), casovac->interval() / 2)
                    << "the interval starts again after the write";
            }
        }
        fake.SendVysledek(6);
        Klikni(okno.get(), t.Tlacitko);
        EXPECT_EQ(StavOkna(okno.get()), TextKodu4(6));
        data.Inicializovano = false;
        Klikni(okno.get(), t.Tlacitko);
        EXPECT_EQ(StavOkna(okno.get()), Neinicializovano);
        EXPECT_EQ(Odeslane().size(), 2u);
        if (auto* casovac = okno->findChild<QTimer*>(QStringLiteral("Timer1"))) {
            EXPECT_TRUE(casovac->isActive());
        }
        data.Inicializovano = true;
    }
}

struct TVystupy {
    const char* Nazev;
    std::vector<int> Zaskrtnute;
    TData5 D;
};

std::vector<int> Vsechny() {
    std::vector<int> v(32);
    for (int i = 0; i < 32; ++i)
        v[static_cast<std::size_t>(i)] = i;
    return v;
}

// The ticked boxes become the four output bytes; the ticks stay whatever
// the outcome.
TEST_F(Zive, ZapisVystupu) {
    const TVystupy radky[] = {
        {"nic", {}, {0, 0, 0, 0, 0}},
        {"DOUT0", {0}, {0, 1, 0, 0, 0}},
        {"DOUT31", {31}, {0, 0, 0, 0, 128}},
        {"DOUT9 a DOUT16", {9, 16}, {0, 0, 2, 1, 0}},
        {"vse", Vsechny(), {0, 255, 255, 255, 255}},
    };
    for (const TVystupy& r : radky) {
        SCOPED_TRACE(r.Nazev);
        fake.Reset();
        auto okno = Otevri(TOkno::Vystupy, &data);
        for (int n : r.Zaskrtnute) {
            const QByteArray jmeno = "CheckBox" + QByteArray::number(n + 1);
            auto* box = Prvek<QCheckBox>(okno.get(), jmeno.constData());
            EXPECT_EQ(box->text(), QStringLiteral("DOUT%1").arg(n));
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        }
        for (std::uint32_t vysledek : {0u, 6u}) {
            fake.SendVysledek(vysledek);
            Klikni(okno.get(), "Button1");
            EXPECT_EQ(StavOkna(okno.get()),
                      vysledek == 0 ? QStringLiteral(" Data zapsána") : TextKodu4(vysledek));
            EXPECT_EQ(Odeslane().back().blok[1], 1u);
            OcekavejPrikaz(Odeslane().back(), 7, 1, 64, r.D);
        }
        std::vector<int> zaskrtnute;
        for (int k = 0; k < 32; ++k)
            if (static_cast<TForm9*>(okno.get())
                    ->CheckBox[static_cast<std::size_t>(k)]
                    ->isChecked())
                zaskrtnute.push_back(k);
        EXPECT_EQ(zaskrtnute, r.Zaskrtnute);
    }
}

// "Cancel", the close button, or "Cancel" clicked while a poll was under
// way: the window closes and no poll follows.
TEST_F(Zive, PoZavreniZadnyDotaz) {
    const std::pair<TOkno, const char*> okna[] = {
        {TOkno::Vstupy, "Button1"}, {TOkno::Status, "Button1"}, {TOkno::Watchdog, "Button2"}};
    enum class Jak { Tlacitko, Krizek, BehemDotazu };
    for (const auto& [druh, cancel] : okna) {
        for (Jak jak : {Jak::Tlacitko, Jak::Krizek, Jak::BehemDotazu}) {
            SCOPED_TRACE(static_cast<int>(jak));
            fake.Reset();
            auto okno = Otevri(druh, &data);
            auto* casovac = Prvek<QTimer>(okno.get(), "Timer1");
            auto* tlacitko = Prvek<QPushButton>(okno.get(), cancel);
            EXPECT_EQ(tlacitko->text(), QStringLiteral("Cancel"));
            if (jak == Jak::Tlacitko) Klikni(okno.get(), cancel);
            if (jak == Jak::Krizek) okno->close();
            // The click arrives while the thread is busy with a poll: it is
            // handled before the next poll would start.
            if (jak == Jak::BehemDotazu)
                QMetaObject::invokeMethod(tlacitko, &QPushButton::click, Qt::QueuedConnection);
            okno->Timer1Timer();
            EXPECT_FALSE(okno->isVisible());
            EXPECT_FALSE(casovac->isActive());
            EXPECT_TRUE(Odeslane().empty());
        }
    }
}

// The menu items open their windows, centred on the screen; a hundred openings of each leave no
// window, timer or library handle behind; every opening of the outputs
// window starts with all boxes unticked.
TEST_F(Zive, MenuOtevreOknaBezUniku) {
    QTemporaryDir adresar;
    ASSERT_TRUE(adresar.isValid());
    TForm1 hlavni(nullptr, adresar.filePath(QStringLiteral("W_zr464.ini")));
    hlavni.show();
    TData& zaznam = *hlavni.Data();
    zaznam.Rozhrani = 4;
    zaznam.Spojeni = data.Spojeni;
    zaznam.Inicializovano = true;
    const std::pair<QAction*, const char*> polozky[] = {{hlavni.OkamDIN2, "Form11"},
                                                        {hlavni.OkamDOUT1, "Form9"},
                                                        {hlavni.Statusregistr1, "Form15"},
                                                        {hlavni.OkamAIN2, "Form3"}};
    const auto okna = QApplication::topLevelWidgets().size();
    const auto potomci = hlavni.findChildren<QObject*>().size();
    for (const auto& [polozka, jmeno] : polozky) {
        for (int i = 0; i < 100; ++i) {
            bool spravne = false, nezaskrtnuto = true;
            auto nalezen = PriModalnim([&](QDialog* dialog) {
                const QPoint odStredu = dialog->frameGeometry().center() -
                                        dialog->screen()->availableGeometry().center();
                spravne =
                    dialog->objectName() == QLatin1String(jmeno) && odStredu.manhattanLength() <= 2;
                for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
                    nezaskrtnuto = nezaskrtnuto && !box->isChecked();
                if (auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("CheckBox4"))) {
                    box->setChecked(true);
                    Klikni(dialog, "Button1");
                }
            });
            polozka->trigger();
            ASSERT_TRUE(*nalezen && spravne) << jmeno << " opened, centred";
            EXPECT_TRUE(nezaskrtnuto) << jmeno;
        }
        EXPECT_EQ(QApplication::topLevelWidgets().size(), okna) << jmeno;
        EXPECT_EQ(hlavni.findChildren<QObject*>().size(), potomci) << jmeno;
    }
    std::size_t zapisy = 0;
    for (const FakeVolani& v : Odeslane())
        zapisy += v.blok[1] == 1 ? 1 : 0;
    EXPECT_EQ(zapisy, 100u) << "each opening of the outputs window wrote once";
    EXPECT_TRUE(fake.Volani(FakeInit).empty());
    EXPECT_TRUE(fake.Volani(FakeDone).empty());
    zaznam.Inicializovano = false; // the fixture shuts the handle down
}

} // namespace
