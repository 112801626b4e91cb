#include "KonfiguracniDialog.h"

#include "Ovladace.h"

#include <QPushButton>
#include <QShowEvent>

namespace {

const QString ZadnaZprava = QStringLiteral(" ");

QPushButton* Tlacitko(QWidget* rodic, const char* jmeno, const QString& text) {
    auto* tlacitko = Vytvor<QPushButton>(rodic, jmeno, text);
    // None of the buttons is the window's default: Enter in an edit must
    // not write to the module.
    tlacitko->setAutoDefault(false);
    tlacitko->setDefault(false);
    return tlacitko;
}

} // namespace

TKonfiguracniDialog::TKonfiguracniDialog(TData* data, const TSekvenceRegistru& sekvence,
                                         QWidget* parent)
    : QDialog(parent), Data(data), Popis(sekvence) {
    Button1 = Tlacitko(this, "Button1", QStringLiteral("Zapsat"));
    Button2 = Tlacitko(this, "Button2", QStringLiteral("Přečíst"));
    Button3 = Tlacitko(this, "Button3", QStringLiteral("Ok"));
    Button4 = Tlacitko(this, "Button4", QStringLiteral("Cancel"));
    Panel = StavovyRadekDialogu(this);
    connect(Button1, &QPushButton::clicked, this, &TKonfiguracniDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TKonfiguracniDialog::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TKonfiguracniDialog::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TKonfiguracniDialog::Button4Click);
}

void TKonfiguracniDialog::RozmistiTlacitka(int x, int y, int sirka, int vyska, int mezera) {
    for (QPushButton* b : {Button1, Button2, Button3, Button4}) {
        b->setGeometry(x, y, sirka, vyska);
        x += sirka + mezera;
    }
}

void TKonfiguracniDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // Centred on the screen, not over the main window; the size is the
    // derived dialog's, known only now.
    NaStredObrazovky(this);
    FormShow();
}

void TKonfiguracniDialog::FormShow() {
    if (Data == nullptr) return;
    Konfigurace = Data->Konfigurace;
    PripravZobrazeni();
    ZapisOkno(Konfigurace);
    ZobrazStav(ZadnaZprava);
}

void TKonfiguracniDialog::ZobrazStav(const QString& text) {
    ZobrazHned(Panel, text);
}

QString TKonfiguracniDialog::Stav() const {
    return Panel->text();
}

bool TKonfiguracniDialog::StavPlatny() const {
    return Panel->text() == ZadnaZprava;
}

bool TKonfiguracniDialog::Pripojeno() {
    if (PripojeniPouzitelne(Data)) return true;
    ZobrazStav(TextNeinicializovano());
    return false;
}

// A click that would start a sequence while one runs is ignored: the pause
// between commands processes window messages, and a second sequence inside
// the first would interleave their commands.
void TKonfiguracniDialog::Button1Click() {
    if (Data == nullptr || Prace.Bezi() || !Pripojeno()) return;
    PrectiOkno(Konfigurace);
    if (StavPlatny()) ZapisData(Konfigurace);
}

void TKonfiguracniDialog::Button2Click() {
    if (Data == nullptr || Prace.Bezi() || !Pripojeno()) return;
    PrectiData(Konfigurace);
    ZapisOkno(Konfigurace);
}

void TKonfiguracniDialog::Button3Click() {
    if (Data == nullptr || Prace.Bezi()) return;
    PrectiOkno(Konfigurace);
    if (StavPlatny()) Data->Konfigurace = Konfigurace;
    accept();
}

void TKonfiguracniDialog::Button4Click() {
    reject();
}

void TKonfiguracniDialog::done(int vysledek) {
    if (!Prace.OdlozZavreni(vysledek)) QDialog::done(vysledek);
}

TPrubehSekvence TKonfiguracniDialog::Prubeh() {
    return {[this](const QString& text) { ZobrazStav(text); },
            [this] {
                PauzaMeziPrikazy();
                return !Prace.Zastaveno();
            }};
}

template <class F> void TKonfiguracniDialog::Sekvence(F&& beh) {
    if (Data == nullptr) return;
    Prace.Spust([&] { beh(*Data, Prubeh()); }, [this](int v) { QDialog::done(v); });
}

void TKonfiguracniDialog::PrectiData(TKonfigurace& konfigurace) {
    Sekvence([&](const TData& data, const TPrubehSekvence& prubeh) {
        PrectiRegistry(data, Popis, konfigurace, prubeh);
    });
}

void TKonfiguracniDialog::ZapisData(const TKonfigurace& konfigurace) {
    Sekvence([&](const TData& data, const TPrubehSekvence& prubeh) {
        ZapisRegistry(data, Popis, konfigurace, prubeh);
    });
}
