// "Panel modulu…": the connected module at a glance. Its identification,
// address and rate; the 32 inputs as lamps (every 100 ms), the status
// register's named bits (every 500 ms) and the watchdog's remaining time
// (every 200 ms), polled in turn by one timer, so that no two polls overlap
// and one failing does not hold up the others; the 32 outputs as switches,
// written at once as one word; the link's health at the bottom.
//
// A poll that fails greys the values it could not refresh and says since
// when they stand. The module cannot report its outputs: the switches show
// the word last written from the window, and the window says so.
#pragma once

#include "OknoNastroje.h"
#include "Rozvrh.h"
#include "StatistikaSpojeni.h"

#include <array>
#include <chrono>
#include <optional>

class QCheckBox;
class QLineEdit;
class QSpinBox;
class QTimer;

class TPanelModulu : public TOknoNastroje {
public:
    TPanelModulu(TData& data, TStatistikaSpojeni& statistika, QWidget* parent = nullptr);

    // The poll that is due, then the timer set for the next one.
    void Timer1Timer();
    void Button1Click(); // "Zapsat": the word of the hex field
    void Button2Click(); // "Vše vypnout"
    void Button3Click(); // "Vynulovat": clears the status register
    void Button4Click(); // "Nastavit": the watchdog's time
    // Writes the word to the outputs (command 1/64); the switches, the hex
    // field and the text follow the word written, or go back on failure.
    void ZapisVystupy(std::uint32_t slovo);

    // The polls, in the scheduler's item order.
    enum TDotaz { DotazVstupu = 0, DotazStatusu = 1, DotazWatchdogu = 2, PocetDotazu = 3 };
    static constexpr std::array<int, PocetDotazu> PeriodyMs = {100, 500, 200};

    QLabel* Label1;                        // identification, address, rate
    std::array<QLabel*, 32> Vstupy{};      // Vstup0 to Vstup31: lamps, property "zapnuto"
    std::array<QCheckBox*, 32> Vystupy{};  // Vystup0 to Vystup31
    std::array<QLabel*, 32> BityStatusu{}; // Bit<n> for the named bits only
    QLabel* Label2;                        // status register in hex
    QLabel* Label3;                        // the watchdog's remaining time
    QLabel* Label4;                        // the word last written
    QLabel* Label5;                        // the link's health
    // Since when the values of each poll stand, when its last poll failed.
    std::array<QLabel*, PocetDotazu> Stari{};
    std::array<QWidget*, PocetDotazu> Hodnoty{}; // greyed when old
    QLineEdit* Edit1;
    QSpinBox* SpinEdit1;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5;
    QTimer* Timer1;

protected:
    void PriPraci(bool) override {}
    void showEvent(QShowEvent* event) override;
    void done(int vysledek) override;

private:
    QWidget* VytvorVstupy();
    QWidget* VytvorVystupy();
    QWidget* VytvorStatus();
    QWidget* VytvorWatchdog();
    void Rozmisti();
    bool Dotaz(int dotaz);
    bool CtiVstupy();
    bool CtiStatus();
    bool CtiWatchdog();
    template <class T> bool Vysledek(int dotaz, const TVysledekPrikazu<T>& v);
    void NaplanujDalsi();
    void ZobrazVystupy(std::uint32_t slovo);
    void ZobrazZdravi();

    TStatistikaSpojeni& Statistika;
    TRozvrh Rozvrh;
    std::optional<std::uint32_t> Zapsano;
    std::array<std::optional<std::chrono::system_clock::time_point>, PocetDotazu> CasCteni{};
    int ChybnyDotaz = -1; // whose failure the status bar shows
};
