#include "VelikostOkna.h"

#include "Dekl.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// Watches its window's show and resize events.
class TVelikostOkna : public QObject {
public:
    TVelikostOkna(QWidget* okno, QSize prvni, TData* data)
        : QObject(okno), Okno(okno), Prvni(prvni), Data(data) {
        okno->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* objekt, QEvent* udalost) override {
        if (objekt != Okno) return false;
        if (udalost->type() == QEvent::Show && !udalost->spontaneous()) Nastav();
        if (udalost->type() == QEvent::Resize && Okno->isVisible() && Data != nullptr)
            Data->VelikostiOken[Okno->objectName()] = Okno->size();
        return false;
    }

private:
    // The room on the window's screen, frame and title bar left out.
    QSize Misto() const {
        const QScreen* obrazovka = Okno->screen();
        if (obrazovka == nullptr) return NejvetsiMinimum;
        const QSize dostupne = obrazovka->availableGeometry().size();
        return (dostupne - RezervaRamu).expandedTo(QSize(200, 150));
    }

    void Nastav() {
        const QSize misto = Misto();
        if (QLayout* rozlozeni = Okno->layout()) rozlozeni->activate();
        const QSize minimum = Okno->minimumSizeHint().boundedTo(NejvetsiMinimum).boundedTo(misto);
        Okno->setMinimumSize(minimum);
        Okno->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        QSize velikost = Prvni;
        if (Data != nullptr) velikost = Data->VelikostiOken.value(Okno->objectName(), Prvni);
        Okno->resize(velikost.expandedTo(minimum).boundedTo(misto));
    }

    QWidget* Okno;
    QSize Prvni;
    TData* Data;
};

} // namespace

void PrizpusobivaVelikost(QWidget* okno, QSize prvni, TData* data) {
    new TVelikostOkna(okno, prvni, data);
}

QVBoxLayout* RozlozeniObsahu(QWidget* okno) {
    auto* vnejsi = qobject_cast<QVBoxLayout*>(okno->layout());
    auto* obsah = new QVBoxLayout;
    obsah->setContentsMargins(12, 12, 12, 8);
    if (vnejsi == nullptr) {
        okno->setLayout(obsah);
        return obsah;
    }
    // The stretch that kept the status bar at the bottom gives way to the
    // contents.
    if (vnejsi->count() > 0 && vnejsi->itemAt(0)->spacerItem() != nullptr) delete vnejsi->takeAt(0);
    vnejsi->insertLayout(0, obsah, 1);
    if (auto* lista = okno->findChild<QStatusBar*>(QStringLiteral("StatusBar1"))) {
        lista->setSizeGripEnabled(true);
        for (QLabel* panel : lista->findChildren<QLabel*>())
            PruznyPopisek(panel);
    }
    return obsah;
}

void PruznyPopisek(QLabel* popisek) {
    popisek->setMinimumWidth(1);
}
