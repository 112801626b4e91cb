// The windows of the "Nástroje" menu as a new operator meets them: each fits
// a 1024x768 screen with a taskbar, resizes, grows its contents, keeps its
// last size, and has its own Alt letters; Qt's own dialogs speak Czech
// whatever the locale (this program runs under LC_ALL=C).
#include "Nastroje.h"
#include "OknoNastroje.h"
#include "Pomocne.h"
#include "PrekladQt.h"
#include "PrubehVstupu.h"
#include "VelikostOkna.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLocale>
#include <QScrollBar>
#include <memory>

namespace {

struct Okno {
    TData Data;
    TStatistikaSpojeni Statistika;
    TZaznamKomunikace Komunikace;
    THistoriePrikazu Historie;
    std::vector<TModulSbernice> Sken;
    std::unique_ptr<QDialog> Dialog;
    Okno(const TNastroj& nastroj, QSize pamet = {}) {
        Dialog.reset(nastroj.Vytvor({Data, Statistika, Komunikace, Historie, Sken}, nullptr));
        if (pamet.isValid()) Data.VelikostiOken[Dialog->objectName()] = pamet;
        Dialog->show();
    }
};

// The Alt letter of a caption, lower case; empty without one.
QString Pismeno(const QString& text) {
    for (qsizetype i = text.indexOf(u'&'); i >= 0 && i + 1 < text.size();
         i = text.indexOf(u'&', i + 2))
        if (text[i + 1] != u'&') return text.mid(i + 1, 1).toLower();
    return {};
}

TEST(OknaNastroju, VejdouSeNaMalouObrazovkuMeniVelikostAPamatujiSiJi) {
    for (const TNastroj& nastroj : Nastroje()) {
        SCOPED_TRACE(nastroj.Jmeno);
        EXPECT_FALSE(Pismeno(QString::fromUtf8(nastroj.Text)).isEmpty());
        Okno okno(nastroj);
        QDialog& d = *okno.Dialog;
        // What the contents need fits; the window may grow.
        const QSize potreba = d.minimumSizeHint();
        EXPECT_LE(potreba.width(), NejvetsiMinimum.width());
        EXPECT_LE(potreba.height(), NejvetsiMinimum.height());
        EXPECT_LT(d.minimumSize().width(), d.maximumSize().width());
        EXPECT_LT(d.minimumSize().height(), d.maximumSize().height());
        // The first size fits the screen it opened on.
        const QSize misto = d.screen()->availableGeometry().size();
        EXPECT_LE(d.frameGeometry().width(), misto.width());
        EXPECT_LE(d.frameGeometry().height(), misto.height());
        // A size given by the operator is what the next window opens with.
        const QSize dana = (d.minimumSize() + QSize(30, 20)).boundedTo(misto - RezervaRamu);
        d.resize(dana);
        EXPECT_EQ(okno.Data.VelikostiOken.value(d.objectName()), dana);
        Okno dalsi(nastroj, dana);
        EXPECT_EQ(dalsi.Dialog->size(), dana);
        // Alt letters: one for each button, none twice in the window.
        QStringList pismena;
        for (const QAbstractButton* b : d.findChildren<QAbstractButton*>()) {
            if (qobject_cast<const QPushButton*>(b) == nullptr) continue;
            pismena << Pismeno(b->text());
            EXPECT_FALSE(pismena.back().isEmpty()) << b->objectName().toStdString();
        }
        pismena.removeAll(QString());
        for (const QString& p : pismena)
            EXPECT_EQ(pismena.count(p), 1) << p.toStdString();
    }
}

TEST(OknaNastroju, PrubehVstupuRosteSOknem) {
    TData data;
    TPrubehVstupu okno(&data);
    okno.show();
    const int sirka = okno.Graf1->width();
    const std::int64_t cas = okno.Graf1->ViditelnoMs();
    okno.resize(okno.width() + 300, okno.height());
    QApplication::processEvents();
    EXPECT_EQ(okno.Graf1->width(), sirka + 300);
    EXPECT_GT(okno.Graf1->ViditelnoMs(), cas);
    EXPECT_GE(okno.ScrollBar1->width(), okno.Graf1->Stopa() - 2);
}

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
