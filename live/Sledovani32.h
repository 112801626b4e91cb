// A window that shows a 32-bit value of the module live: the 32-bit display,
// "Cancel", the status bar and Timer1, which polls from the creation of the
// window to its destruction. The digital inputs view and the status register
// window differ only in captions, command and interval.
#pragma once

#include "ZiveOkno.h"
#include "Zobrazeni32.h"

class QPushButton;

struct TPopisSledovani {
    const char* Jmeno;   // object name of the window
    const char* Titulek; // caption
    TZobrazeni32::TPopisekBitu Popisek;
    std::uint8_t Kod;
    std::uint8_t Parametr;
    int Interval; // ms
};

class TSledovani32 : public TZiveOkno {
public:
    TSledovani32(TData* data, const TPopisSledovani& popis, QWidget* parent);

    // One poll: the command, then the 32 values and the text of result 0,
    // or the error text with the values left as they were.
    void Timer1Timer() override;
    void Button1Click(); // "Cancel"

    TZobrazeni32* Zobrazeni;
    QPushButton* Button1;

protected:
    void showEvent(QShowEvent* event) override;

    static constexpr int Okraj = 12;
    static constexpr int RadekTlacitek = Okraj + TZobrazeni32::Vyska + 12;
    static constexpr int SirkaTlacitka = 84;
    static constexpr int VyskaTlacitka = 28;
    static constexpr int SirkaOkna = 2 * Okraj + TZobrazeni32::Sirka;

private:
    const TPopisSledovani& Popis;
};
