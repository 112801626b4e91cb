#include "NastavDIO.h"

#include "Ovladace.h"
#include "Prikazy.h"
#include "RegistryKonfigurace.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

namespace {

using TMaska = std::array<std::uint8_t, 4>;

// Group g of the boxes shows mask g.
constexpr std::array<TMaska TKonfigurace::*, TForm14::PocetSkupin> MaskaSkupiny = {
    &TKonfigurace::NegaceDIN, &TKonfigurace::NegaceDOUT, &TKonfigurace::PocatecniStavDOUT};

// Window messages are processed after every step, the last one included.
const TSekvenceRegistru& SekvenceDIO = SekvenceKonfigurace::DIO;

// Geometry: three group boxes side by side, two columns of sixteen boxes
// each, with a wider gap after every run of eight (one register).
constexpr int Okraj = 8;
constexpr int SirkaSkupiny = 170, VyskaSkupiny = 327;
constexpr int SloupecX[2] = {12, 90};
constexpr int PrvniRadekY = 22, RadekVyska = 18, MezeraRegistru = 8;
constexpr int PoleSirka = 72, PoleVyska = 17;
constexpr int TlacitkaY = Okraj + VyskaSkupiny + 12;
constexpr int TlacitkoSirka = 75, TlacitkoVyska = 25;
constexpr int OknoSirka = Okraj + TForm14::PocetSkupin * (SirkaSkupiny + Okraj);
constexpr int OknoVyska = TlacitkaY + TlacitkoVyska + 36;

QString Popisek(int skupina, int kanal) {
    return (skupina == 0 ? QStringLiteral("DIN") : QStringLiteral("DOUT")) + QString::number(kanal);
}

QRect MistoPole(int kanal) {
    const int radek = kanal % 16;
    const int y = PrvniRadekY + radek * RadekVyska + (radek >= 8 ? MezeraRegistru : 0);
    return {SloupecX[kanal / 16], y, PoleSirka, PoleVyska};
}

bool Bit(const TMaska& maska, int kanal) {
    return (maska[static_cast<std::size_t>(kanal / 8)] >> (kanal % 8) & 1) != 0;
}

} // namespace

TForm14::TForm14(TData* data, QWidget* parent) : TKonfiguracniDialog(data, SekvenceDIO, parent) {
    setObjectName(QStringLiteral("Form14"));
    setWindowTitle(QStringLiteral("Nastavení digitálních vstupů/výstupů"));
    setFixedSize(OknoSirka, OknoVyska);
    GroupBox1 = Vytvor<QGroupBox>(this, "GroupBox1", QStringLiteral(" Negace DIN "));
    GroupBox2 = Vytvor<QGroupBox>(this, "GroupBox2", QStringLiteral("Negace DOUT "));
    GroupBox3 = Vytvor<QGroupBox>(this, "GroupBox3", QStringLiteral(" Počáteční stav DOUT "));
    const std::array<QGroupBox*, PocetSkupin> skupiny = {GroupBox1, GroupBox2, GroupBox3};
    for (int g = 0; g < PocetSkupin; ++g)
        VytvorSkupinu(g, skupiny[static_cast<std::size_t>(g)]);

    Button1->setGeometry(Okraj, TlacitkaY, TlacitkoSirka, TlacitkoVyska);
    Button2->setGeometry(2 * Okraj + TlacitkoSirka, TlacitkaY, TlacitkoSirka, TlacitkoVyska);
    Button3->setGeometry(OknoSirka - 2 * (Okraj + TlacitkoSirka), TlacitkaY, TlacitkoSirka,
                         TlacitkoVyska);
    Button4->setGeometry(OknoSirka - Okraj - TlacitkoSirka, TlacitkaY, TlacitkoSirka,
                         TlacitkoVyska);
    setTabOrder(CheckBox.back(), Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
}

// Box k = 32g + n + 1 stands for channel n of mask g; the boxes of a group
// follow one another in the tab order by channel.
void TForm14::VytvorSkupinu(int skupina, QGroupBox* ramecek) {
    ramecek->setGeometry(Okraj + skupina * (SirkaSkupiny + Okraj), Okraj, SirkaSkupiny,
                         VyskaSkupiny);
    QWidget* predchozi = skupina > 0 ? Pole(skupina - 1, KanaluVeSkupine - 1) : nullptr;
    for (int n = 0; n < KanaluVeSkupine; ++n) {
        const int k = skupina * KanaluVeSkupine + n + 1;
        const QByteArray jmeno = "CheckBox" + QByteArray::number(k);
        auto* pole = Vytvor<QCheckBox>(ramecek, jmeno.constData(), Popisek(skupina, n));
        pole->setGeometry(MistoPole(n));
        CheckBox[static_cast<std::size_t>(k - 1)] = pole;
        if (predchozi != nullptr) setTabOrder(predchozi, pole);
        predchozi = pole;
    }
}

QCheckBox* TForm14::Pole(int skupina, int kanal) const {
    const int index = skupina * KanaluVeSkupine + kanal;
    return CheckBox[static_cast<std::size_t>(index)];
}

void TForm14::PrectiOkno(TKonfigurace& konfigurace) {
    for (int g = 0; g < PocetSkupin; ++g) {
        TMaska maska{};
        for (int n = 0; n < KanaluVeSkupine; ++n)
            if (Pole(g, n)->isChecked())
                maska[static_cast<std::size_t>(n / 8)] |= static_cast<std::uint8_t>(1u << (n % 8));
        konfigurace.*MaskaSkupiny[static_cast<std::size_t>(g)] = maska;
    }
    ZobrazStav(QStringLiteral(" "));
}

void TForm14::ZapisOkno(const TKonfigurace& konfigurace) {
    for (int g = 0; g < PocetSkupin; ++g) {
        const TMaska& maska = konfigurace.*MaskaSkupiny[static_cast<std::size_t>(g)];
        for (int n = 0; n < KanaluVeSkupine; ++n)
            Pole(g, n)->setChecked(Bit(maska, n));
    }
}
