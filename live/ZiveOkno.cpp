#include "ZiveOkno.h"

#include "Ovladace.h"

#include <QCoreApplication>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>

QString CeskeCislo(double hodnota, int mist) {
    return QString::number(hodnota, 'f', mist).replace(QLatin1Char('.'), QLatin1Char(','));
}

TZiveOkno::TZiveOkno(TData* data, QWidget* parent) : QDialog(parent), Data(data) {
    StavPanel = StavovyRadekDialogu(this);
}

void TZiveOkno::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // The size is the derived window's, known only now.
    NaStredObrazovky(this);
    Zavira = false;
    FormShow();
}

void TZiveOkno::FormShow() {
    if (Data != nullptr) Adresa = Data->Adresa;
}

void TZiveOkno::done(int vysledek) {
    Zavira = true;
    if (Timer1 != nullptr) Timer1->stop();
    QDialog::done(vysledek);
}

QTimer* TZiveOkno::VytvorCasovac(int interval, bool spustit) {
    Timer1 = Vytvor<QTimer>(this, "Timer1");
    Timer1->setInterval(interval);
    // A coarse timer may fire up to 5 % early; the polls keep their rate.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TZiveOkno::Timer1Timer);
    if (spustit) Timer1->start();
    return Timer1;
}

// The module's answer time-out blocks the thread for each poll of a module
// that does not answer. Input that came meanwhile is handled before the next
// poll starts, so "Cancel" closes the window without one more poll.
bool TZiveOkno::TikMuzePokracovat() {
    if (Zavira || !isVisible()) return false;
    const std::uint64_t vpred = Odeslano;
    QCoreApplication::processEvents();
    return !Zavira && isVisible() && Odeslano == vpred;
}

bool TZiveOkno::Pripojeno() {
    if (Data == nullptr) return false;
    if (PripojeniPouzitelne(Data)) return true;
    ZobrazStav(TextNeinicializovano());
    return false;
}

TOdpovedModulu TZiveOkno::Posli(std::uint8_t kod, std::uint8_t parametr, const TDataPrikazu& d) {
    ++Odeslano;
    return ProvedPrikaz(Data->Rozhrani, Data->Spojeni, Adresa, kod, parametr, d);
}

void TZiveOkno::ZobrazVysledek(const TOdpovedModulu& odpoved) {
    ZobrazStav(QStringLiteral(" ") + TextKodu(Data->Rozhrani, odpoved.Vysledek));
}

void TZiveOkno::ZobrazStav(const QString& text) {
    if (StavPanel->text() != text) ZobrazHned(StavPanel, text);
}

QString TZiveOkno::Stav() const {
    return StavPanel->text();
}
