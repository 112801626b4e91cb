// The input timeline window: polls the 32 inputs (as the digital inputs
// view does) at a period of 50 ms to 10 s and draws them over time, keeps
// an hour of polls and more, pauses and goes on, shows the time and the
// values under the mouse and saves what it keeps as CSV. A failed poll is
// kept as a gap, counted, and never shown as a value. Closing the window
// stops the polling.
#pragma once

#include "GrafVstupu.h"
#include "ZaznamVstupu.h"
#include "ZiveOkno.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QPushButton;
class QScrollBar;

class TPrubehVstupu : public TZiveOkno {
public:
    // The poll periods to choose from, ComboBox1's items; 100 ms at first.
    static constexpr std::array<int, 8> PeriodyMs = {50, 100, 200, 500, 1000, 2000, 5000, 10000};
    static constexpr int VychoziPerioda = 1;

    explicit TPrubehVstupu(TData* data, QWidget* parent = nullptr);

    // One poll: a value or a gap in the record, then the view and counts.
    void Timer1Timer() override;
    void Button1Click(); // "Pozastavit" / "Pokračovat"
    void Button2Click(); // "Uložit CSV…": asks for a file, then UlozCsv
    void Button3Click(); // "Zavřít"
    void ComboBox1Change();
    // Writes the kept polls to the file; the status bar tells how it went.
    bool UlozCsv(const QString& cesta);

    const TZaznamVstupu& Zaznam() const { return Vzorky; }
    // The clock of the window's time line in ms (a steady clock from the
    // window's creation unless another is given, as a test does).
    void NastavHodiny(std::function<std::int64_t()> hodiny) { Hodiny = std::move(hodiny); }
    bool Pozastaveno() const { return Pauza; }

    QLabel* Label1;
    QComboBox* ComboBox1;
    QPushButton* Button1;
    QPushButton* Button2;
    QLabel* Label2; // polls and failed polls
    TGrafVstupu* Graf1;
    QScrollBar* ScrollBar1;
    QLabel* Label3; // the cursor's time and values
    QPushButton* Button3;
    QTimer* Timer2; // moves the view on between the polls of a long period

protected:
    void showEvent(QShowEvent* event) override;
    void done(int vysledek) override;

private:
    std::int64_t Cas() const { return Hodiny(); }
    void ZapisZastaveni(std::int64_t cas);
    void VytvorOvladace();
    void RozmistiOvladace();
    void Timer2Timer();
    void ScrollBar1Change(int hodnota);
    void SpustCasovace();
    void ObnovPosuvnik();
    void ObnovPocty(bool hned = false);
    void ObnovKurzor();
    void NastavText(QLabel* label, const QString& text);

    TZaznamVstupu Vzorky;
    QElapsedTimer Spusteno;
    std::function<std::int64_t()> Hodiny;
    // When the last poll ended (none after a pause), and the period a stall
    // is measured against (after a change, the longer of the two).
    std::optional<std::int64_t> KonecDotazu;
    std::int64_t PeriodaKontroly = 0;
    QElapsedTimer CasPoctu; // since the counts were last written out
    QDateTime Zacatek;
    bool Pauza = false;
    bool NastavujePosuvnik = false;
};
