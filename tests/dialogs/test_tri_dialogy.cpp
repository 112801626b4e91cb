// The three configuration dialogs opened in turn from the main window: each
// "Ok" stores its own fields and keeps those of the other two.
#include "Hlavni.h"
#include "Pomocne.h"
#include "Xxxx683.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <functional>
#include <tuple>

namespace {

auto Pole(const TKonfigurace& k) {
    return std::tie(k.Adresa, k.Rychlost, k.InicializacniCas, k.DobaVypnutiRele, k.AktivaceCasovace,
                    k.NegaceDIN, k.NegaceDOUT, k.PocatecniStavDOUT);
}

TEST(TriDialogy, OkMeniJenSvaPole) {
    QTemporaryDir adresar;
    ASSERT_TRUE(adresar.isValid());
    QApplication::setQuitOnLastWindowClosed(false);
    NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_DIR));
    TForm1 okno(nullptr, adresar.filePath(QStringLiteral("W_zr464.ini")));
    okno.show();
    ASSERT_NE(okno.Data(), nullptr);
    TKonfigurace ocekavano = okno.Data()->Konfigurace;

    const struct {
        const char* nazev;
        QAction* TForm1::*polozka;
        std::function<void(QDialog*)> zmen;
        std::function<void(TKonfigurace&)> zmeneno;
    } radky[] = {
        {"address and rate", &TForm1::AdresaRychlost1,
         [](QDialog* d) {
             Napis(Prvek<QLineEdit>(d, "Edit1"), QStringLiteral("9"));
             Prvek<QComboBox>(d, "ComboBox1")->setCurrentIndex(6);
         },
         [](TKonfigurace& k) {
             k.Adresa = 9;
             k.Rychlost = 6;
         }},
        {"digital I/O", &TForm1::NastavDIO1,
         [](QDialog* d) {
             Prvek<QCheckBox>(d, "CheckBox1")->setChecked(false);  // DIN0 not negated
             Prvek<QCheckBox>(d, "CheckBox64")->setChecked(false); // DOUT31 not negated
             Prvek<QCheckBox>(d, "CheckBox96")->setChecked(true);  // DOUT31 starts on
         },
         [](TKonfigurace& k) {
             k.NegaceDIN[0] = 0xFE;
             k.NegaceDOUT[3] = 0x7F;
             k.PocatecniStavDOUT[3] = 0x80;
         }},
        {"watchdog", &TForm1::Kalibracevstup1,
         [](QDialog* d) {
             Napis(Prvek<QLineEdit>(d, "Edit1"), QStringLiteral("120"));
             Prvek<QRadioButton>(d, "RadioButton1")->setChecked(true);
         },
         [](TKonfigurace& k) {
             k.InicializacniCas = 120;
             k.AktivaceCasovace = 0;
         }},
        // The first dialog again, now over the others' stored fields.
        {"address again", &TForm1::AdresaRychlost1,
         [](QDialog* d) { Napis(Prvek<QLineEdit>(d, "Edit1"), QStringLiteral("200")); },
         [](TKonfigurace& k) { k.Adresa = 200; }},
    };
    for (const auto& r : radky) {
        SCOPED_TRACE(r.nazev);
        auto nalezen = PriModalnim([&r](QDialog* d) {
            r.zmen(d);
            Klikni(d, "Button3");
        });
        (okno.*r.polozka)->trigger();
        ASSERT_TRUE(*nalezen);
        r.zmeneno(ocekavano);
        EXPECT_TRUE(Pole(okno.Data()->Konfigurace) == Pole(ocekavano));
    }
    okno.close();
    NastavAdresarKnihoven(QString());
}

} // namespace
