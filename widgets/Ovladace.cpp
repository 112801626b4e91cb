#include "Ovladace.h"

#include "ObycejnySoubor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

std::vector<QLabel*> VytvorPanely(QStatusBar* lista, std::span<const TPanelNavrh> navrh) {
    std::vector<QLabel*> panely;
    for (const TPanelNavrh& n : navrh) {
        const QString jmeno = QStringLiteral("StatusBar1Panel%1").arg(panely.size());
        auto* panel =
            Vytvor<QLabel>(lista, jmeno.toLatin1().constData(), QString::fromUtf8(n.Text));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (n.Sirka > 0) panel->setFixedWidth(n.Sirka);
        lista->addWidget(panel, n.Sirka > 0 ? 0 : 1);
        panely.push_back(panel);
    }
    return panely;
}

QLabel* StavovyRadekDialogu(QWidget* dialog) {
    auto* lista = Vytvor<QStatusBar>(dialog, "StatusBar1");
    lista->setSizeGripEnabled(false);
    constexpr TPanelNavrh jeden[] = {{0, ""}};
    QLabel* panel = VytvorPanely(lista, jeden).front();
    // The dialog's own controls are placed by coordinates; the layout only
    // keeps the bar along the bottom edge.
    auto* rozlozeni = new QVBoxLayout(dialog);
    rozlozeni->setContentsMargins(0, 0, 0, 0);
    rozlozeni->addStretch(1);
    rozlozeni->addWidget(lista);
    return panel;
}

void ZobrazHned(QLabel* panel, const QString& text) {
    NastavTextPanelu(panel, text);
    panel->repaint();
}

void PauzaMeziPrikazy() {
    QCoreApplication::processEvents();
    QThread::msleep(1);
}

bool TPraceOkna::Spust(const std::function<void()>& prace, const std::function<void(int)>& zavrit) {
    if (Prace) return false;
    Prace = true;
    Zastavit = false;
    prace();
    Prace = false;
    if (ZavritPoPraci) {
        ZavritPoPraci = false;
        zavrit(VysledekZavreni);
    }
    return true;
}

bool TPraceOkna::OdlozZavreni(int vysledek) {
    if (!Prace) return false;
    Zastavit = true;
    ZavritPoPraci = true;
    VysledekZavreni = vysledek;
    return true;
}

void NaStredObrazovky(QWidget* okno) {
    const QScreen* obrazovka = okno->screen();
    if (obrazovka == nullptr) return;
    const QSize vnejsi = okno->frameGeometry().size();
    okno->move(obrazovka->availableGeometry().center() -
               QPoint(vnejsi.width() / 2, vnejsi.height() / 2));
}

bool PotvrdNahrazeni(QWidget* rodic, const QString& cesta) {
    const QFileInfo info(cesta);
    if (!info.exists() || !NeniSouborem(cesta).isEmpty()) return true;
    const QString cil = QDir::toNativeSeparators(CilZapisu(cesta));
    const QString otazka =
        info.isSymLink()
            ? QStringLiteral(
                  "Soubor %1 (na který vede odkaz %2) již existuje. Chcete jej nahradit?")
                  .arg(cil, QDir::toNativeSeparators(cesta))
            : QStringLiteral("Soubor %1 již existuje. Chcete jej nahradit?").arg(cil);
    return QMessageBox::question(rodic, QStringLiteral("Nahradit soubor"), otazka,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}
