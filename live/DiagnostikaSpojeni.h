// The connection diagnostics window: the counts of every transaction of the
// program since the connection was initialised (or since "Vynulovat"),
// refreshed twice a second: transactions, successes, failures by result
// code with their texts, time-outs and damaged answers, round-trip times
// and the last error. It sends nothing itself.
#pragma once

#include "StatistikaSpojeni.h"
#include "ZiveOkno.h"

#include <vector>

class QPushButton;
class QTableWidget;

class TDiagnostikaSpojeni : public TZiveOkno {
public:
    static constexpr int Obnova = 500; // ms

    TDiagnostikaSpojeni(TData* data, TStatistikaSpojeni& statistika, QWidget* parent = nullptr);

    // Shows the counts as they are now.
    void Timer1Timer() override;
    void Button1Click(); // "Vynulovat"
    void Button2Click(); // "Zavřít"

    // Label9 to Label16 (captions Label1 to Label8): counting since,
    // transactions, successes, failures, time-outs, damaged answers,
    // round-trip times, last error.
    std::vector<QLabel*> Hodnoty;
    QTableWidget* Tabulka1; // failures by result code: code, text, count
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ZobrazTabulku(const TSouhrnSpojeni& s);

    TStatistikaSpojeni& Statistika;
};
