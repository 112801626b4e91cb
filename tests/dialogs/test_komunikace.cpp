// The traffic log and the command window through their real widgets with the
// fake library as the module: the log's filters, pause, emptying and CSV;
// the command window's answer, history, repeat, and the question before a
// write of the module's own rate or address.
#include "FakeModul.h"
#include "Hlavni.h"
#include "OknoKomunikace.h"
#include "PrikazModulu.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

class Komunikace : public SFakeModulem {
protected:
    void SetUp() override {
        SFakeModulem::SetUp();
        NastavPozorovatelePrikazu([this](const TZaznamPrikazu& z) {
            zaznam.Zaznamenej(z, std::chrono::system_clock::now());
        });
    }
    void TearDown() override {
        NastavPozorovatelePrikazu(nullptr);
        SFakeModulem::TearDown();
    }
    void Posli(std::uint8_t adresa, std::uint8_t kod, std::uint8_t parametr) {
        ProvedPrikaz(Typ, data.Spojeni, adresa, kod, parametr, {});
    }
    QString Bunka(const TOknoKomunikace& okno, int radek, TSloupecKomunikace s) const {
        return okno.Model->index(radek, static_cast<int>(s)).data().toString();
    }

    TZaznamKomunikace zaznam{100};
    THistoriePrikazu historie;
};

TEST_F(Komunikace, FiltryPauzaVymazaniACsv) {
    Posli(7, 0, 64);
    Posli(7, 200, 0);
    Posli(9, 200, 0);
    fake.SendVysledekOd(4, 6);
    Posli(7, 102, 0);
    TOknoKomunikace okno(data, zaznam);
    okno.show();
    ASSERT_EQ(okno.Model->rowCount(), 4);
    EXPECT_EQ(Bunka(okno, 3, TSloupecKomunikace::Vysledek),
              QStringLiteral("6: ") + TextKodu(Typ, 6));
    EXPECT_TRUE(okno.Model->index(3, 0).data(Qt::BackgroundRole).isValid()) << "failure stands out";
    EXPECT_FALSE(okno.Model->index(0, 0).data(Qt::BackgroundRole).isValid());

    const struct {
        int adresa, prikaz; // the spin box value, the combo index (0: all)
        bool chyby;
        int radku;
    } filtry[] = {{-1, 0, false, 4}, {7, 0, false, 3}, {-1, 9, false, 2},
                  {9, 9, false, 1},  {-1, 0, true, 1}, {9, 0, true, 0}};
    for (const auto& f : filtry) {
        okno.SpinEdit1->setValue(f.adresa);
        okno.ComboBox1->setCurrentIndex(f.prikaz);
        okno.CheckBox1->setChecked(f.chyby);
        EXPECT_EQ(okno.Model->rowCount(), f.radku) << f.adresa << " " << f.prikaz << " " << f.chyby;
    }
    okno.SpinEdit1->setValue(-1);
    okno.CheckBox1->setChecked(false);
    okno.ComboBox1->setCurrentIndex(0);

    // Paused, the view stays while the recording goes on.
    Klikni(&okno, "Button1");
    Posli(7, 0, 64);
    okno.Obnov();
    EXPECT_EQ(okno.Model->rowCount(), 4);
    EXPECT_EQ(zaznam.Pocet(), 5u);
    Klikni(&okno, "Button1");
    EXPECT_EQ(okno.Model->rowCount(), 5);

    QTemporaryDir adresar;
    const QString cesta = adresar.filePath(QStringLiteral("k.csv"));
    okno.VolbaSouboru = [cesta](QWidget*, bool) { return cesta; };
    Klikni(&okno, "Button3");
    QFile csv(cesta);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().count('\n'), 6);
    EXPECT_EQ(Text(&okno, "StatusBar1Panel0"),
              QStringLiteral(" Uloženo 5 řádků do souboru %1").arg(cesta));
    // A directory is no file to replace.
    EXPECT_FALSE(okno.UlozCsv(adresar.path()));

    Klikni(&okno, "Button2");
    EXPECT_EQ(okno.Model->rowCount(), 0);
    EXPECT_EQ(zaznam.Pocet(), 0u);
    Posli(7, 0, 64);
    okno.Obnov();
    EXPECT_EQ(okno.Model->rowCount(), 1);
}

// The main window opens one log beside itself, and raises it when asked again.
TEST_F(Komunikace, ZaznamJeJedenANemodalni) {
    QTemporaryDir adresar;
    TForm1 hlavni(nullptr, adresar.filePath(QStringLiteral("W_zr464.ini")));
    auto* polozka = hlavni.findChild<QAction*>(QStringLiteral("ZaznamKomunikace1"));
    ASSERT_NE(polozka, nullptr);
    polozka->trigger();
    polozka->trigger();
    const auto okna = hlavni.findChildren<TOknoKomunikace*>();
    ASSERT_EQ(okna.size(), 1);
    EXPECT_TRUE(okna[0]->isVisible());
    EXPECT_FALSE(okna[0]->isModal());
}

TEST_F(Komunikace, PrikazBezPripojeniNicNeposle) {
    data.Inicializovano = false;
    TPrikazModulu okno(data, historie);
    okno.show();
    Klikni(&okno, "Button1");
    Klikni(&okno, "Button4");
    EXPECT_EQ(Text(&okno, "StatusBar1Panel0"),
              QStringLiteral(" Připojení k modulu není inicializováno."));
    EXPECT_TRUE(fake.Volani(FakeSend).empty());
    EXPECT_TRUE(historie.empty());
}

TEST_F(Komunikace, OdpovedHistorieAOpakovani) {
    fake.Odpoved(200, 0, -1, 0x30, {'Z', 'R', '-', '4'});
    TPrikazModulu okno(data, historie);
    okno.show();
    EXPECT_EQ(okno.Edit1->text(), QStringLiteral("7")) << "the connected module's address";
    Klikni(&okno, "Button1");
    EXPECT_EQ(okno.Odpoved[1]->text(), QStringLiteral("0x30 (PWR RST)"));
    EXPECT_EQ(okno.Odpoved[2]->text(), QStringLiteral("0x5A 0x52 0x2D 0x34"));
    EXPECT_EQ(okno.Odpoved[3]->text(), QStringLiteral("90 82 45 52"));
    EXPECT_EQ(okno.Odpoved[4]->text(), QStringLiteral("„ZR-4“"));

    // A code outside the set, repeated five times; the last two fail.
    Napis(okno.Edit2, QStringLiteral("0x96"));
    EXPECT_EQ(okno.ComboBox1->currentText(), QStringLiteral("jiný kód"));
    Napis(okno.EditD[2], QStringLiteral("300"));
    Klikni(&okno, "Button1");
    EXPECT_EQ(Text(&okno, "StatusBar1Panel0"),
              QStringLiteral(" Pole D3: „300“ není číslo 0-255 (desítkově nebo 0x…)."));
    Napis(okno.EditD[2], QStringLiteral("0x11"));
    Napis(okno.Edit9, QStringLiteral("5"));
    Napis(okno.Edit10, QStringLiteral("0"));
    fake.SendVysledekOd(5, 6);
    Klikni(&okno, "Button4");
    EXPECT_TRUE(okno.Label20->text().startsWith(QStringLiteral("odesláno 5, neúspěšných 2;")))
        << okno.Label20->text().toStdString();
    const auto volani = fake.Volani(FakeSend);
    ASSERT_EQ(volani.size(), 6u);
    EXPECT_EQ(volani[5].blok[1], 0x96u);
    EXPECT_EQ(volani[5].blok[5], 0x11u);

    // The history outlives the window; a double click puts a row back.
    ASSERT_EQ(historie.size(), 2u);
    EXPECT_EQ(historie[1].Opakovani, 5);
    TPrikazModulu dalsi(data, historie);
    dalsi.show();
    ASSERT_EQ(dalsi.StringGrid1->rowCount(), 2);
    dalsi.StringGrid1DblClick(0);
    EXPECT_EQ(dalsi.Edit2->text(), QStringLiteral("200"));
    EXPECT_EQ(dalsi.ComboBox1->currentText(), QStringLiteral("200/0 (identifikace: název 1-4)"));
    dalsi.StringGrid1DblClick(1);
    EXPECT_EQ(dalsi.EditD[2]->text(), QStringLiteral("17"));
}

TEST_F(Komunikace, ZapisAdresyARychlostiSeNejdrivZepta) {
    const struct {
        const char* nazev;
        const char* registr;
        const char* hodnota;
        bool ano;
        const char* otazka; // in the question; nullptr: none is asked
        std::size_t odeslano;
    } radky[] = {
        {"address, no", "63", "9", false, "adresu modulu na 9", 0},
        {"address, yes", "63", "9", true, "adresu modulu na 9", 1},
        {"rate, yes", "62", "5", true, "rychlost modulu na 19200 Bd (index 5)", 1},
        {"another register", "3", "9", false, nullptr, 1},
    };
    for (const auto& r : radky) {
        SCOPED_TRACE(r.nazev);
        fake.Reset();
        TPrikazModulu okno(data, historie);
        okno.show();
        Napis(okno.Edit2, QStringLiteral("103"));
        Napis(okno.EditD[1], QLatin1String(r.registr));
        Napis(okno.EditD[2], QLatin1String(r.registr));
        Napis(okno.EditD[3], QLatin1String(r.hodnota));
        Napis(okno.EditD[4], QLatin1String(r.hodnota));
        QString otazka;
        std::shared_ptr<bool> zeptal;
        if (r.otazka != nullptr)
            zeptal = PriModalnim([&](QDialog* d) {
                auto* box = qobject_cast<QMessageBox*>(d);
                ASSERT_NE(box, nullptr);
                otazka = box->text();
                box->button(r.ano ? QMessageBox::Yes : QMessageBox::No)->click();
            });
        Klikni(&okno, "Button1");
        if (zeptal) {
            EXPECT_TRUE(*zeptal);
        }
        if (r.otazka != nullptr) {
            EXPECT_TRUE(otazka.contains(QString::fromUtf8(r.otazka))) << otazka.toStdString();
        }
        EXPECT_EQ(fake.Volani(FakeSend).size(), r.odeslano);
        if (r.odeslano == 0) {
            EXPECT_EQ(Text(&okno, "StatusBar1Panel0"), QStringLiteral(" Nic nebylo odesláno."));
        }
    }
}

} // namespace
