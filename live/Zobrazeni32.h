// The 32-bit display of the live windows: four columns of eight bits, each
// column a byte of the module's answer. Name labels Label1 to Label32 stand
// on the left of each column, the value labels Label33 to Label64 ("0" or
// "1") inside the white panels Panel1 to Panel4.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QFrame;
class QLabel;

// The text of one bit of a byte: "1" when set, "0" when clear, and "0" for a
// bit number outside 0 to 7.
QString TextBitu(std::uint8_t bajt, int bit);

class TZobrazeni32 : public QWidget {
public:
    // The caption of the name label of bit n (0 to 31).
    using TPopisekBitu = QString (*)(int bit);

    TZobrazeni32(TPopisekBitu popisek, QWidget* parent);

    // Shows bit n of the 32-bit value as bit n mod 8 of byte n div 8, in
    // the order bit 0 to bit 31. A label is touched only when its text
    // changes, so a steady value costs no repaint.
    void Zobraz(const std::array<std::uint8_t, 4>& bajty);

    QLabel* Nazev(int bit) const { return Nazvy[static_cast<std::size_t>(bit)]; }
    QLabel* Hodnota(int bit) const { return Hodnoty[static_cast<std::size_t>(bit)]; }

    static constexpr int Sirka = 400;
    static constexpr int Vyska = 176;

private:
    void VytvorSloupec(int sloupec, TPopisekBitu popisek);

    std::array<QLabel*, 32> Nazvy{};
    std::array<QLabel*, 32> Hodnoty{};
};
