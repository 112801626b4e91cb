// "Přehled sběrnice…": the modules of the overview's list (the program's
// record keeps it, the settings file saves it) polled in turn at the chosen
// period, one row each: address, rate, state, identification, inputs, the
// status bits set, the watchdog's time, the health of its polls and its
// last error. The list grows by hand (address and rate) or from the last
// bus scan. A double click makes the module the program's, as the scan's
// "Použít" does, and opens its panel. Closing sets the line back to the
// connection's rate.
#pragma once

#include "OknoNastroje.h"
#include "PrehledSbernice.h"
#include "StatistikaSpojeni.h"

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;
class QSpinBox;
class QTimer;

class TPrehledModulu : public TOknoNastroje {
public:
    TPrehledModulu(TData& data, TStatistikaSpojeni& statistika,
                   const std::vector<TModulSbernice>& posledniSken, QWidget* parent = nullptr);

    void Timer1Timer();  // polls the module that is due
    void Button1Click(); // "Přidat": the address and rate given
    void Button2Click(); // "Z posledního hledání"
    void Button3Click(); // "Odebrat": the selected row
    void Button4Click(); // "Panel modulu": the selected row's module
    void SpinEdit1Change();

    // Opens the panel of the program's module; a test may replace it.
    std::function<void(TPrehledModulu&)> OtevriPanel;

    // The columns of the table.
    enum TSloupec {
        SloupecAdresa,
        SloupecRychlost,
        SloupecStav,
        SloupecId,
        SloupecVstupy,
        SloupecStatus,
        SloupecWatchdog,
        SloupecZdravi,
        SloupecChyba,
        PocetSloupcu
    };

    QLineEdit* Edit1;     // address to add
    QComboBox* ComboBox1; // its rate
    QSpinBox* SpinEdit1;  // period, ms
    QTableWidget* StringGrid1;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5;
    QTimer* Timer1;
    const TPrehledSbernice* Prehled() const { return Prehled_ ? &*Prehled_ : nullptr; }

protected:
    void PriPraci(bool) override {}
    void showEvent(QShowEvent* event) override;
    void done(int vysledek) override;

private:
    void Rozmisti();
    void NovySeznam();
    void Naplanuj();
    void ZobrazRadek(std::size_t i);
    void Pridej(const TModulSbernice& m);

    TStatistikaSpojeni& Statistika;
    const std::vector<TModulSbernice>& PosledniSken;
    std::optional<TPrehledSbernice> Prehled_;
};
