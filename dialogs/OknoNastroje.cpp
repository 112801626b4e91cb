#include "OknoNastroje.h"

#include "Ovladace.h"
#include "Texty.h"
#include "VelikostOkna.h"
#include "Xxxx683.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

const QString FiltrKonfiguraceModulu = QStringLiteral("Konfigurace modulu  (*.cfm)");

namespace {

const QString ZadnaZprava = QStringLiteral(" ");

} // namespace

QString ZeptejSeNaSoubor(QWidget* rodic, bool ulozit) {
    QFileDialog dialog(rodic,
                       ulozit ? QStringLiteral("Uložit konfiguraci modulu")
                              : QStringLiteral("Otevřít konfiguraci modulu"),
                       QString(), FiltrKonfiguraceModulu);
    dialog.setObjectName(ulozit ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog1"));
    dialog.setAcceptMode(ulozit ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(ulozit ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("cfm"));
    // The question before replacing names the file replaced, not a link to it.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString cesta = dialog.selectedFiles().front();
    return !ulozit || PotvrdNahrazeni(rodic, cesta) ? cesta : QString();
}

QPushButton* TlacitkoNastroje(QWidget* rodic, const char* jmeno, const QString& text) {
    auto* tlacitko = Vytvor<QPushButton>(rodic, jmeno, text);
    tlacitko->setAutoDefault(false);
    tlacitko->setDefault(false);
    return tlacitko;
}

std::tuple<QPushButton*, QPushButton*, QPushButton*>
TOknoNastroje::TlacitkaPrace(const QString& text) {
    // Made in this order, which is also their tab order.
    auto* spustit = TlacitkoNastroje(this, "Button1", text);
    auto* zastavit = TlacitkoNastroje(this, "Button2", QStringLiteral("&Zastavit"));
    auto* zavrit = TlacitkoNastroje(this, "Button3", QStringLiteral("Za&vřít"));
    connect(zastavit, &QPushButton::clicked, this, &TOknoNastroje::Zastav);
    connect(zavrit, &QPushButton::clicked, this, &TOknoNastroje::reject);
    return {spustit, zastavit, zavrit};
}

QTableWidget* TabulkaNastroje(QWidget* rodic, const char* jmeno, const QStringList& sloupce) {
    auto* tabulka = Vytvor<QTableWidget>(rodic, jmeno, 0, static_cast<int>(sloupce.size()));
    tabulka->setHorizontalHeaderLabels(sloupce);
    tabulka->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabulka->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabulka->setSelectionMode(QAbstractItemView::SingleSelection);
    tabulka->verticalHeader()->hide();
    tabulka->horizontalHeader()->setStretchLastSection(true);
    return tabulka;
}

void PridejRadek(QTableWidget* tabulka, const QStringList& texty) {
    const int radek = tabulka->rowCount();
    tabulka->insertRow(radek);
    for (int i = 0; i < texty.size(); ++i)
        tabulka->setItem(radek, i, new QTableWidgetItem(texty[i]));
}

TOknoNastroje::TOknoNastroje(TData& data, const char* jmeno, const QString& titulek,
                             QWidget* parent)
    : QDialog(parent), Data(data) {
    setObjectName(QLatin1String(jmeno));
    setWindowTitle(titulek);
    ProgressBar1 = Vytvor<QProgressBar>(this, "ProgressBar1");
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    Panel = StavovyRadekDialogu(this);
    NastavTextPanelu(Panel, ZadnaZprava);
}

void TOknoNastroje::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) NaStredObrazovky(this);
}

void TOknoNastroje::done(int vysledek) {
    if (!Prace.OdlozZavreni(vysledek)) QDialog::done(vysledek);
}

bool TOknoNastroje::Spust(const std::function<void()>& prace) {
    return Prace.Spust(
        [&] {
            PriPraci(true);
            prace();
            PriPraci(false);
        },
        [this](int v) { QDialog::done(v); });
}

bool TOknoNastroje::Pokracovat() {
    QCoreApplication::processEvents();
    return !Prace.Zastaveno();
}

TPrubehSekvence TOknoNastroje::Prubeh() {
    return {[this](const QString& text) { ZobrazStav(text); },
            [this] {
                PauzaMeziPrikazy();
                return !Prace.Zastaveno();
            },
            [this] { KrokPrubehu(); }};
}

void TOknoNastroje::KrokPrubehu() {
    ProgressBar1->setValue(ProgressBar1->value() + 1);
    ProgressBar1->repaint();
}

QVBoxLayout* TOknoNastroje::Obsah() {
    if (Rozlozeni != nullptr) return Rozlozeni;
    QVBoxLayout* ramec = RozlozeniObsahu(this);
    Rozlozeni = new QVBoxLayout;
    Rozlozeni->setContentsMargins(0, 0, 0, 0);
    ramec->addLayout(Rozlozeni, 1);
    ramec->addWidget(ProgressBar1);
    return Rozlozeni;
}

void TOknoNastroje::PrizpusobVelikost(QSize prvni) {
    PrizpusobivaVelikost(this, prvni, &Data);
}

void TOknoNastroje::ZacniPrubeh(int celkem) {
    ProgressBar1->setRange(0, std::max(celkem, 1));
    ProgressBar1->setValue(0);
}

void TOknoNastroje::ZobrazStav(const QString& text) {
    ZobrazHned(Panel, text);
}

QString TOknoNastroje::Stav() const {
    return Panel->text();
}

bool TOknoNastroje::Pripojeno() {
    if (PripojeniPouzitelne(&Data)) return true;
    ZobrazStav(TextNeinicializovano());
    return false;
}

QString TOknoNastroje::TextChyby(const QString& krok, const TVysledekSekvence& v) const {
    return RadekSekvence(Data.Rozhrani, krok, v);
}

QString TOknoNastroje::VyberSoubor(bool ulozit) {
    QString cesta = VolbaSouboru ? VolbaSouboru(this, ulozit) : QString();
    if (cesta.isEmpty()) ZobrazStav(QStringLiteral(" Žádný soubor nebyl vybrán."));
    return cesta;
}
