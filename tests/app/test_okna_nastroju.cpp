// The windows of the "Nástroje" menu as a new operator meets them: Qt's own
// dialogs in Czech whatever the locale (this program runs under LC_ALL=C).
#include "OknoNastroje.h"
#include "Pomocne.h"
#include "PrekladQt.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLocale>

namespace {

TEST(PrekladQt, SouborovyDialogMluviCeskyVLokaleC) {
    ASSERT_EQ(QLocale::system().name(), QStringLiteral("C"));
    ASSERT_TRUE(NactiPrekladQt(*qApp));
    struct Radek {
        bool Ulozit;
        QDialogButtonBox::StandardButton Potvrzeni;
        QString Text;
    };
    for (const Radek& r : {Radek{true, QDialogButtonBox::Save, QStringLiteral("&Uložit")},
                           Radek{false, QDialogButtonBox::Open, QStringLiteral("&Otevřít")}}) {
        QStringList texty;
        const auto nalezen = PriModalnim([&](QDialog* dialog) {
            auto* tlacitka = dialog->findChild<QDialogButtonBox*>();
            ASSERT_NE(tlacitka, nullptr);
            for (auto b : {r.Potvrzeni, QDialogButtonBox::Cancel})
                if (QPushButton* t = tlacitka->button(b)) texty << t->text();
        });
        ZeptejSeNaSoubor(nullptr, r.Ulozit);
        EXPECT_TRUE(*nalezen);
        EXPECT_EQ(texty, QStringList({r.Text, QStringLiteral("Zrušit")})) << r.Ulozit;
    }
}

} // namespace
