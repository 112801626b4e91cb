#include "Zobrazeni32.h"

#include "Ovladace.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>

namespace {

constexpr int SirkaSloupce = 100;
constexpr int SirkaNazvu = 52;
constexpr int SirkaPanelu = 36;
constexpr int Radek = 20;
constexpr int Okraj = 4;

QString Jmeno(const char* zaklad, int cislo) {
    return QLatin1String(zaklad) + QString::number(cislo);
}

} // namespace

QString TextBitu(std::uint8_t bajt, int bit) {
    static const QString Jedna = QStringLiteral("1");
    static const QString Nula = QStringLiteral("0");
    if (bit < 0 || bit > 7) return Nula;
    return (bajt >> bit) & 1u ? Jedna : Nula;
}

TZobrazeni32::TZobrazeni32(TPopisekBitu popisek, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Zobrazeni32"));
    setFixedSize(Sirka, Vyska);
    for (int sloupec = 0; sloupec < 4; ++sloupec)
        VytvorSloupec(sloupec, popisek);
}

// Column c holds bits 8c to 8c + 7, top to bottom.
void TZobrazeni32::VytvorSloupec(int sloupec, TPopisekBitu popisek) {
    const int x = sloupec * SirkaSloupce;
    const QByteArray panelJmeno = Jmeno("Panel", sloupec + 1).toLatin1();
    auto* panel = Vytvor<QFrame>(this, panelJmeno.constData());
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette barvy = panel->palette();
    barvy.setColor(QPalette::Window, Qt::white);
    panel->setPalette(barvy);
    panel->setGeometry(x + SirkaNazvu, 0, SirkaPanelu, 8 * Radek + 2 * Okraj);
    for (int radek = 0; radek < 8; ++radek) {
        const int bit = sloupec * 8 + radek;
        const auto b = static_cast<std::size_t>(bit);
        const QByteArray nazev = Jmeno("Label", bit + 1).toLatin1();
        const QByteArray hodnota = Jmeno("Label", bit + 33).toLatin1();
        Nazvy[b] = Vytvor<QLabel>(this, nazev.constData(), popisek(bit));
        Nazvy[b]->setGeometry(x, Okraj + radek * Radek, SirkaNazvu - 4, Radek);
        Hodnoty[b] = Vytvor<QLabel>(panel, hodnota.constData(), QStringLiteral("0"));
        Hodnoty[b]->setAlignment(Qt::AlignCenter);
        Hodnoty[b]->setGeometry(2, Okraj + radek * Radek, SirkaPanelu - 4, Radek);
    }
}

void TZobrazeni32::Zobraz(const std::array<std::uint8_t, 4>& bajty) {
    for (int bit = 0; bit < 32; ++bit) {
        const QString text = TextBitu(bajty[static_cast<std::size_t>(bit / 8)], bit % 8);
        QLabel* label = Hodnota(bit);
        if (label->text() != text) label->setText(text);
    }
}
