#include "NastavAdr.h"

#include "Ovladace.h"
#include "Prevod.h"
#include "RegistryKonfigurace.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <limits>

namespace {

const TSekvenceRegistru& SekvenceAdresy = SekvenceKonfigurace::Adresa;

} // namespace

TForm12::TForm12(TData* data, QWidget* parent) : TKonfiguracniDialog(data, SekvenceAdresy, parent) {
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Nastavení komunikační adresy a rychlosti"));
    setFixedSize(393, 200);
    Label1 = Vytvor<QLabel>(this, "Label1", QStringLiteral("Adresa modulu  (0-255)"));
    Edit1 = Vytvor<QLineEdit>(this, "Edit1", QStringLiteral("Edit1"));
    // Any text of any length: a cut-off text could read as another address.
    Edit1->setMaxLength(std::numeric_limits<int>::max());
    Label2 = Vytvor<QLabel>(this, "Label2", QStringLiteral("Komunikační rychlost"));
    ComboBox1 = Vytvor<QComboBox>(this, "ComboBox1");
    for (int i = 0; i < PocetRychlosti; ++i)
        ComboBox1->addItem(TextRychlosti(i));
    ComboBox1->setCurrentIndex(VychoziIndexRychlosti);

    Label1->setGeometry(16, 20, 180, 24);
    Edit1->setGeometry(208, 20, 168, 24);
    Label2->setGeometry(16, 60, 180, 24);
    ComboBox1->setGeometry(208, 60, 168, 24);
    RozmistiTlacitka(16, 118, 84, 28, 8);
    setTabOrder(Edit1, ComboBox1);
    setTabOrder(ComboBox1, Button1);
}

void TForm12::ZapisOkno(const TKonfigurace& konfigurace) {
    Edit1->setText(QString::number(konfigurace.Adresa));
    ComboBox1->setCurrentIndex(konfigurace.Rychlost < ComboBox1->count() ? konfigurace.Rychlost
                                                                         : -1);
}

void TForm12::PrectiOkno(TKonfigurace& konfigurace) {
    const auto adresa = TextNaCislo(Edit1->text());
    if (!adresa || *adresa < 0 || *adresa > 255) {
        ZobrazStav(QStringLiteral(" Adresa modulu musí být v rozsahu 0-255."));
        return;
    }
    konfigurace.Adresa = static_cast<std::uint8_t>(*adresa);
    const int index = ComboBox1->currentIndex();
    if (index < 0 || index >= PocetRychlosti) {
        ZobrazStav(QStringLiteral(" Komunikační rychlost musí být v rozsahu 600Bd-115200Bd."));
        return;
    }
    konfigurace.Rychlost = static_cast<std::uint8_t>(index);
    ZobrazStav(QStringLiteral(" "));
}
