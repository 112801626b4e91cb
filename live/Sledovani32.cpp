#include "Sledovani32.h"

#include "Ovladace.h"

#include <QPushButton>
#include <QTimer>

TSledovani32::TSledovani32(TData* data, const TPopisSledovani& popis, QWidget* parent)
    : TZiveOkno(data, parent), Popis(popis) {
    setObjectName(QLatin1String(popis.Jmeno));
    setWindowTitle(QString::fromUtf8(popis.Titulek));
    setFixedSize(SirkaOkna, RadekTlacitek + VyskaTlacitka + 40);
    Zobrazeni = new TZobrazeni32(popis.Popisek, this);
    Zobrazeni->move(Okraj, Okraj);
    Button1 = Vytvor<QPushButton>(this, "Button1", QStringLiteral("Cancel"));
    Button1->setAutoDefault(false);
    Button1->setGeometry(SirkaOkna - Okraj - SirkaTlacitka, RadekTlacitek, SirkaTlacitka,
                         VyskaTlacitka);
    connect(Button1, &QPushButton::clicked, this, &TSledovani32::Button1Click);
    VytvorCasovac(popis.Interval, true);
}

// The timer stops when the window closes; a window shown again polls again.
void TSledovani32::showEvent(QShowEvent* event) {
    TZiveOkno::showEvent(event);
    if (!Timer1->isActive()) Timer1->start();
}

void TSledovani32::Timer1Timer() {
    if (Data == nullptr || !TikMuzePokracovat() || !Pripojeno()) return;
    const TOdpovedModulu odpoved = Posli(Popis.Kod, Popis.Parametr);
    if (odpoved.Ok()) Zobrazeni->Zobraz(odpoved.A);
    ZobrazVysledek(odpoved);
}

void TSledovani32::Button1Click() {
    reject();
}
