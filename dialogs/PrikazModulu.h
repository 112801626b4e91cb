// The command window: one command of any code and parameter with its five
// data bytes to any address, its answer in words (result and text, S with
// the names of its bits, A1-A4 in hexadecimal, decimal and as characters,
// the time), the commands sent since the program started, and a command
// repeated N times every M ms with its failures and round-trip times, for a
// quick check of a line. A write of the module's own rate or address asks
// first.
#pragma once

#include "OknoNastroje.h"
#include "RucniPrikaz.h"

#include <array>
#include <optional>

class QComboBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QTableWidget;

class TPrikazModulu : public TOknoNastroje {
public:
    TPrikazModulu(TData& data, THistoriePrikazu& historie, QWidget* parent = nullptr);

    void Button1Click(); // "Odeslat"
    void Button4Click(); // "Opakovat"
    // A double click on a history row puts it back into the fields.
    void StringGrid1DblClick(int radek);

    QComboBox* ComboBox1;              // a command of the set, or "jiný"
    QLineEdit* Edit1;                  // address
    QLineEdit* Edit2;                  // code
    QLineEdit* Edit3;                  // parameter
    std::array<QLineEdit*, 5> EditD{}; // D1 to D5: Edit4 to Edit8
    QLineEdit* Edit9;                  // how many times
    QLineEdit* Edit10;                 // interval, ms
    // The answer: result, S, A1-A4 hex, decimal, characters, time.
    std::array<QLabel*, 6> Odpoved{};
    QLabel* Label20; // the summary of a repeated command
    QTableWidget* StringGrid1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

protected:
    void done(int vysledek) override;
    void PriPraci(bool bezi) override;

private:
    QLayout* Pole();
    QLayout* PoleDat();
    QLayout* PoleOdpovedi();
    QLayout* PoleOpakovani();
    void VolbaPrikazu(int index);
    void ZmenaKodu();
    // The fields as a command; empty, with the reason shown, when one is not
    // a number in its range.
    std::optional<TRucniPrikaz> Prikaz();
    // Whether to send: a connection, and a yes to the question it raises.
    bool Smi(const TRucniPrikaz& prikaz);
    void ZobrazOdpoved(const TOdpovedRucni& o);
    void DoHistorie(const TRucniPrikaz& prikaz, int opakovani, std::uint8_t vysledek);
    void PridejRadekHistorie(const TOdeslanyPrikaz& o);
    void Opakuj(const TRucniPrikaz& prikaz, int pocet, int interval);
    // The pause of a repeat; ended early by "Zastavit" or a close.
    void Cekej(int ms);

    THistoriePrikazu& Historie;
    QEventLoop* Cekani = nullptr;
};
