#include "TestWD.h"

#include "Ovladace.h"
#include "Prikazy.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int Okraj = 16, SirkaTlacitka = 110, VyskaTlacitka = 28;

QPushButton* Tlacitko(QWidget* rodic, const char* jmeno, const char* text) {
    auto* tlacitko = Vytvor<QPushButton>(rodic, jmeno, QString::fromUtf8(text));
    tlacitko->setAutoDefault(false);
    return tlacitko;
}

QLabel* CasovyPanel(QWidget* rodic) {
    auto* panel = Vytvor<QLabel>(rodic, "Panel1", QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    panel->setAutoFillBackground(true);
    QPalette barvy = panel->palette();
    barvy.setColor(QPalette::Window, Qt::white);
    panel->setPalette(barvy);
    return panel;
}

} // namespace

TForm3::TForm3(TData* data, QWidget* parent) : TZiveOkno(data, parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Test funkce watchdog"));
    setFixedSize(300, 140);
    Label1 = Vytvor<QLabel>(this, "Label1", QStringLiteral("Čas do přepnutí relé  [s]"));
    Label1->setGeometry(Okraj, 20, 160, 24);
    Panel1 = CasovyPanel(this);
    Panel1->setGeometry(Okraj + 168, 20, 100, 24);
    Button1 = Tlacitko(this, "Button1", "Zápis času 10s");
    Button2 = Tlacitko(this, "Button2", "Cancel");
    Button1->setGeometry(Okraj, 64, SirkaTlacitka, VyskaTlacitka);
    Button2->setGeometry(300 - Okraj - SirkaTlacitka, 64, SirkaTlacitka, VyskaTlacitka);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    VytvorCasovac(200, false);
}

void TForm3::FormShow() {
    Adresa = 0;
    TZiveOkno::FormShow();
    ZobrazCas(QStringLiteral("  0"));
    Timer1->start();
}

void TForm3::ZobrazCas(const QString& text) {
    if (Panel1->text() != text) ZobrazHned(Panel1, text);
}

void TForm3::Timer1Timer() {
    if (Data == nullptr || !TikMuzePokracovat() || !Pripojeno()) return;
    const TOdpovedModulu odpoved = Posli(Prikaz::CtiStav, Prikaz::ParCasWatchdog);
    if (odpoved.Ok()) ZobrazCas(QStringLiteral("  ") + QString::number(odpoved.Slovo() & 0xFFFFu));
    ZobrazVysledek(odpoved);
}

void TForm3::Button1Click() {
    if (!Pripojeno()) return;
    Timer1->stop();
    constexpr std::uint16_t cas = Prikaz::TestovaciCasWatchdog;
    const TOdpovedModulu odpoved = Posli(Prikaz::ZapisStav, Prikaz::ParCasWatchdog, DataSlova(cas));
    if (odpoved.Ok())
        ZobrazStav(QStringLiteral(" Nový čas zapsán"));
    else
        ZobrazVysledek(odpoved);
    if (isVisible()) Timer1->start();
}

void TForm3::Button2Click() {
    Timer1->stop();
    reject();
}
