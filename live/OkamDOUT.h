// The digital outputs window: 32 check boxes, one per output, and "Zapsat",
// which sends the state of all 32 outputs in one command.
#pragma once

#include "ZiveOkno.h"

#include <array>

class QCheckBox;
class QPushButton;

class TForm9 : public TZiveOkno {
public:
    explicit TForm9(TData* data, QWidget* parent = nullptr);

    // The four output bytes D2 to D5: output n is bit n mod 8 of byte n div 8.
    std::uint32_t VystupniSlovo() const;

    void Button1Click(); // "Zapsat"
    void Button2Click(); // "Cancel"

    std::array<QCheckBox*, 32> CheckBox{}; // CheckBox1 .. CheckBox32
    QPushButton* Button1;
    QPushButton* Button2;
};
