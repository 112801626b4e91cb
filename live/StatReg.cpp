#include "StatReg.h"

#include "Ovladace.h"
#include "Prikazy.h"

#include <QPushButton>

namespace {

QString NazevBitu(int bit) {
    const char* nazev = StatusBit::Nazev(bit);
    return nazev ? QLatin1String(nazev) : QStringLiteral("---");
}

const TPopisSledovani Status = {"Form15",        "Status registr",         NazevBitu,
                                Prikaz::CtiStav, Prikaz::ParStatusRegistr, 500};

} // namespace

TForm15::TForm15(TData* data, QWidget* parent) : TSledovani32(data, Status, parent) {
    Button2 = Vytvor<QPushButton>(this, "Button2", QStringLiteral("Vynulovat"));
    Button2->setAutoDefault(false);
    Button2->setGeometry(Okraj, RadekTlacitek, SirkaTlacitka, VyskaTlacitka);
    connect(Button2, &QPushButton::clicked, this, &TForm15::Button2Click);
    setTabOrder(Button2, Button1);
}

void TForm15::Button2Click() {
    if (!Pripojeno()) return;
    const TOdpovedModulu odpoved = Posli(Prikaz::ZapisStav, Prikaz::ParStatusRegistr);
    if (!odpoved.Ok()) ZobrazVysledek(odpoved);
}
