// The digital I/O settings dialog against the fake driver library: the 96
// boxes and their rule, the bit rule both ways, the read and write orders,
// and the stops on failure.
#include "FakeModul.h"
#include "NastavDIO.h"

#include <QCheckBox>
#include <QGroupBox>
#include <memory>

namespace {

constexpr std::array<std::uint32_t, 12> PoradiRegistru = {32, 35, 38, 41, 33, 36,
                                                          39, 42, 34, 37, 40, 43};
const QStringList CteniDIO =
    TextyPrubehu(false, {0, 8, 16, 25, 33, 41, 50, 58, 66, 75, 83, 91, 100});
const QStringList ZapisDIO =
    TextyPrubehu(true, {0, 8, 16, 25, 33, 41, 50, 58, 66, 75, 83, 91, 100});

class DIO : public SFakeModulem {
protected:
    TForm14& Otevri() {
        dialog = std::make_unique<TForm14>(&data);
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        stav = std::make_unique<ZaznamStavu>(dialog.get());
        return *dialog;
    }
    // Box k = 1 to 96, found by its name.
    QCheckBox* Box(int k) const {
        return Prvek<QCheckBox>(dialog.get(), ("CheckBox" + std::to_string(k)).c_str());
    }
    // Box of channel n in group g.
    QCheckBox* Box(int g, int n) const { return Box(32 * g + n + 1); }
    QString Stav() const { return Text(dialog.get(), "StatusBar1Panel0"); }

    std::unique_ptr<TForm14> dialog;
    std::unique_ptr<ZaznamStavu> stav;
};

// Names, captions, groups, columns, gaps and tab order of the 96 boxes, and
// what the default record shows in them.
TEST_F(DIO, PravidloPoli) {
    const TForm14& okno = Otevri();
    const std::array<std::tuple<const char*, const char*, const char*, bool>, 3> skupiny = {{
        {"GroupBox1", " Negace DIN ", "DIN", true},
        {"GroupBox2", "Negace DOUT ", "DOUT", true},
        {"GroupBox3", " Počáteční stav DOUT ", "DOUT", false},
    }};
    int zaskrtnutych = 0;
    for (int g = 0; g < 3; ++g) {
        const auto& [ramecek, titulek, predpona, vychozi] = skupiny[std::size_t(g)];
        auto* skupina = Prvek<QGroupBox>(&okno, ramecek);
        ASSERT_NE(skupina, nullptr);
        EXPECT_EQ(skupina->title(), QString::fromUtf8(titulek));
        for (int n = 0; n < 32; ++n) {
            QCheckBox* box = Box(g, n);
            ASSERT_NE(box, nullptr) << g << "/" << n;
            EXPECT_EQ(box->parentWidget(), skupina) << box->objectName().toStdString();
            EXPECT_EQ(box->text(), QLatin1String(predpona) + QString::number(n));
            EXPECT_EQ(box->isChecked(), vychozi) << box->objectName().toStdString();
            zaskrtnutych += box->isChecked();
            // Channels 0-15 left, 16-31 right, top to bottom.
            EXPECT_EQ(box->x(), Box(g, n < 16 ? 0 : 16)->x());
            if (n % 16 > 0) {
                EXPECT_GT(box->y(), Box(g, n - 1)->y());
            }
            if (n < 31) {
                EXPECT_EQ(box->nextInFocusChain(), Box(g, n + 1)) << g << "/" << n;
            }
        }
        EXPECT_GT(Box(g, 16)->x(), Box(g, 0)->x());
        // The wider gap between the runs of eight (one register each).
        for (int zacatek : {0, 16})
            EXPECT_GT(Box(g, zacatek + 8)->y() - Box(g, zacatek + 7)->y(),
                      Box(g, zacatek + 7)->y() - Box(g, zacatek + 6)->y());
    }
    EXPECT_EQ(zaskrtnutych, 64);
    EXPECT_LT(Prvek<QGroupBox>(&okno, "GroupBox1")->x(), Prvek<QGroupBox>(&okno, "GroupBox2")->x());
    EXPECT_LT(Prvek<QGroupBox>(&okno, "GroupBox2")->x(), Prvek<QGroupBox>(&okno, "GroupBox3")->x());
    EXPECT_EQ(okno.windowTitle(), QStringLiteral("Nastavení digitálních vstupů/výstupů"));
    EXPECT_EQ(Stav(), QStringLiteral(" "));
    EXPECT_TRUE(Odeslane().empty()) << "opening sends nothing";
}

// One register read into its eight boxes: bit b of the value is channel
// 8 * byte + b of its mask.
TEST_F(DIO, BityRegistruVPolich) {
    const struct {
        std::uint32_t registr, hodnota;
        int skupina, prvniKanal;
    } radky[] = {
        {33, 165, 0, 0},   // DIN0, 2, 5, 7
        {41, 128, 2, 24},  // DOUT31 of the initial state
        {37, 0x03, 1, 8},  // DOUT8 and 9 of the output negation
        {42, 0x81, 0, 24}, // DIN24 and 31
    };
    for (const auto& r : radky) {
        fake.Reset();
        Registr(r.registr, r.hodnota);
        Otevri();
        Klikni(dialog.get(), "Button2");
        for (int g = 0; g < 3; ++g)
            for (int n = 0; n < 32; ++n) {
                const bool vRegistru = g == r.skupina && n / 8 == r.prvniKanal / 8;
                const bool ocekavano = vRegistru && ((r.hodnota >> (n % 8)) & 1) != 0;
                EXPECT_EQ(Box(g, n)->isChecked(), ocekavano)
                    << "register " << r.registr << ": group " << g << " channel " << n;
            }
    }
}

TEST_F(DIO, UplneCteni) {
    for (std::uint32_t r : PoradiRegistru)
        Registr(r, r);
    Otevri();
    stav->Texty.clear();
    Klikni(dialog.get(), "Button2");
    std::vector<TOdeslano> ocekavano;
    for (std::uint32_t r : PoradiRegistru)
        ocekavano.push_back(Cteni(r));
    EXPECT_EQ(Odeslane(), ocekavano);
    EXPECT_EQ(stav->Texty, CteniDIO);
    const TKonfigurace& k = dialog->PracovniKopie();
    EXPECT_EQ(k.PocatecniStavDOUT, (std::array<std::uint8_t, 4>{32, 35, 38, 41}));
    EXPECT_EQ(k.NegaceDIN, (std::array<std::uint8_t, 4>{33, 36, 39, 42}));
    EXPECT_EQ(k.NegaceDOUT, (std::array<std::uint8_t, 4>{34, 37, 40, 43}));
    EXPECT_TRUE(Box(1, 1)->isChecked()) << "34 = 0b100010: DOUT1 negated";
    EXPECT_FALSE(Box(1, 0)->isChecked());
    EXPECT_EQ(data.Konfigurace.NegaceDIN, VychoziKonfigurace().NegaceDIN) << "only Ok stores";
}

// Only "DOUT9" of the initial state checked: register 35 gets 2, every
// other register 0; each write is followed by its read-back.
TEST_F(DIO, UplnyZapisJenDOUT9) {
    Registr(35, 2);
    Otevri();
    for (QCheckBox* box : dialog->CheckBox)
        box->setChecked(false);
    QTest::mouseClick(Box(2, 9), Qt::LeftButton, {}, QPoint(4, Box(2, 9)->height() / 2));
    ASSERT_TRUE(Box(2, 9)->isChecked());
    stav->Texty.clear();
    Klikni(dialog.get(), "Button1");
    std::vector<TOdeslano> ocekavano;
    for (std::uint32_t r : PoradiRegistru) {
        ocekavano.push_back(Zapis(r, r == 35 ? 2 : 0));
        ocekavano.push_back(Cteni(r));
    }
    EXPECT_EQ(Odeslane(), ocekavano);
    EXPECT_EQ(stav->Texty, QStringList{QStringLiteral(" ")} + ZapisDIO);
    EXPECT_EQ(data.Konfigurace.PocatecniStavDOUT, VychoziKonfigurace().PocatecniStavDOUT)
        << "writing does not store";
}

// A command that fails and a read-back that differs stop the sequence where
// they happen; the window shows what was read before.
TEST_F(DIO, ZastaveniSekvence) {
    Registr(32, 1);
    Registr(35, 2);
    Registr(38, 3);
    Registr(41, 4);
    Registr(33, 255);
    Registr(36, 254);
    Otevri();

    fake.SendVysledekOd(5, 6);
    Klikni(dialog.get(), "Button2");
    EXPECT_EQ(Odeslane().size(), 5u);
    EXPECT_EQ(Stav(), TextChybyFake(6));
    const TKonfigurace& k = dialog->PracovniKopie();
    EXPECT_EQ(k.PocatecniStavDOUT, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(k.NegaceDIN, VychoziKonfigurace().NegaceDIN);
    EXPECT_EQ(k.NegaceDOUT, VychoziKonfigurace().NegaceDOUT);
    EXPECT_TRUE(Box(2, 0)->isChecked());
    EXPECT_FALSE(Box(2, 1)->isChecked());
    EXPECT_TRUE(Box(2, 9)->isChecked());
    EXPECT_TRUE(Box(2, 26)->isChecked());
    EXPECT_TRUE(Box(0, 0)->isChecked()) << "the negations keep their values";
    EXPECT_TRUE(Box(1, 31)->isChecked());

    // Register 36 reads back 254 instead of 255: nothing more is sent.
    fake.Reset();
    Registr(32, 1);
    Registr(35, 2);
    Registr(38, 3);
    Registr(41, 4);
    Registr(33, 255);
    Registr(36, 254);
    Klikni(dialog.get(), "Button1");
    const std::vector<TOdeslano> ocekavano = {Zapis(32, 1),   Cteni(32), Zapis(35, 2),   Cteni(35),
                                              Zapis(38, 3),   Cteni(38), Zapis(41, 4),   Cteni(41),
                                              Zapis(33, 255), Cteni(33), Zapis(36, 255), Cteni(36)};
    EXPECT_EQ(Odeslane(), ocekavano);
    EXPECT_EQ(Stav(), QStringLiteral(" Chyba zápisu dat."));
}

} // namespace
