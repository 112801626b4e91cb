#include "OkamDOUT.h"

#include "Ovladace.h"
#include "Prikazy.h"

#include <QCheckBox>
#include <QPushButton>

namespace {

constexpr int SirkaSloupce = 96, Radek = 24, Okraj = 16;
constexpr int SirkaTlacitka = 84, VyskaTlacitka = 28;

QPushButton* Tlacitko(QWidget* rodic, const char* jmeno, const char* text) {
    auto* tlacitko = Vytvor<QPushButton>(rodic, jmeno, QString::fromUtf8(text));
    tlacitko->setAutoDefault(false);
    return tlacitko;
}

} // namespace

TForm9::TForm9(TData* data, QWidget* parent) : TZiveOkno(data, parent) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Zápis na digitální výstupy"));
    setFixedSize(410, 271);
    // Four columns of eight, each column one byte of the command; creation
    // order is the tab order DOUT0 to DOUT31.
    for (int k = 0; k < 32; ++k) {
        const QByteArray jmeno = QByteArrayLiteral("CheckBox") + QByteArray::number(k + 1);
        auto* box =
            Vytvor<QCheckBox>(this, jmeno.constData(), QStringLiteral("DOUT") + QString::number(k));
        box->setGeometry(Okraj + (k / 8) * SirkaSloupce, 12 + (k % 8) * Radek, SirkaSloupce - 8,
                         Radek);
        CheckBox[static_cast<std::size_t>(k)] = box;
    }
    Button1 = Tlacitko(this, "Button1", "Zapsat");
    Button2 = Tlacitko(this, "Button2", "Cancel");
    const int y = 12 + 8 * Radek + 14;
    Button1->setGeometry(Okraj + 2 * SirkaSloupce, y, SirkaTlacitka, VyskaTlacitka);
    Button2->setGeometry(Okraj + 3 * SirkaSloupce, y, SirkaTlacitka, VyskaTlacitka);
    connect(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm9::Button2Click);
}

std::uint32_t TForm9::VystupniSlovo() const {
    std::uint32_t slovo = 0;
    for (std::size_t k = 0; k < CheckBox.size(); ++k)
        if (CheckBox[k]->isChecked()) slovo |= 1u << k;
    return slovo;
}

// The check boxes keep their state whatever the outcome, so a failed write
// can be repeated as it was.
void TForm9::Button1Click() {
    if (!Pripojeno()) return;
    const TOdpovedModulu odpoved =
        Posli(Prikaz::ZapisVystupy, Prikaz::ParDIO, DataSlova(VystupniSlovo()));
    if (odpoved.Ok())
        ZobrazStav(QStringLiteral(" Data zapsána"));
    else
        ZobrazVysledek(odpoved);
}

void TForm9::Button2Click() {
    reject();
}
