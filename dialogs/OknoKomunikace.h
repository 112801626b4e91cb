// The traffic log window: every transaction of the program, newest last, as
// the ring of link/ZaznamKomunikace keeps it, refreshed from the ring on a
// timer. Filters by address, command and failures; "Pozastavit" holds the
// view while the recording goes on; "Vymazat" empties the log; "Uložit…"
// writes the rows shown as CSV. It sends nothing, so it is not modal: it
// stays open beside the main window and follows the traffic of the others.
#pragma once

#include "OknoNastroje.h"
#include "ZaznamKomunikace.h"

#include <QAbstractTableModel>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QTableView;
class QTimer;

// The rows the window shows, a copy of those of the ring that passed the
// filter; a paused view keeps them while the ring moves on.
class TModelKomunikace : public QAbstractTableModel {
public:
    explicit TModelKomunikace(QObject* parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Nastav(std::vector<TRadekKomunikace> radky);
    // Appends the rows; beyond `nejvic` the oldest go.
    void Pridej(const std::vector<TRadekKomunikace>& radky, std::size_t nejvic);
    const std::vector<TRadekKomunikace>& Radky() const { return Vsechny; }
    TTextyKodu& Texty() const { return TextyKodu; }

private:
    std::vector<TRadekKomunikace> Vsechny;
    mutable TTextyKodu TextyKodu;
};

class TOknoKomunikace : public TOknoNastroje {
public:
    static constexpr int Obnova = 200; // ms

    TOknoKomunikace(TData& data, TZaznamKomunikace& zaznam, QWidget* parent = nullptr);

    // Takes the rows recorded since the last look (the timer's tick).
    void Obnov();
    void Button1Click(); // "Pozastavit" / "Pokračovat"
    void Button2Click(); // "Vymazat"
    void Button3Click(); // "Uložit…"
    // Writes the rows shown to the file; false (with the reason in the
    // status bar) when it cannot.
    bool UlozCsv(const QString& cesta);

    QSpinBox* SpinEdit1;  // address, or "všechny"
    QComboBox* ComboBox1; // a command of the set, or all
    QCheckBox* CheckBox1; // failures only
    QLabel* Label1;       // how many rows
    QTableView* Tabulka1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4; // "Zavřít"
    QTimer* Timer1;
    TModelKomunikace* Model;

protected:
    void showEvent(QShowEvent* event) override;
    void PriPraci(bool) override {}

private:
    QLayout* Filtry();
    QLayout* Tlacitka();
    TFiltrKomunikace Filtr() const;
    // The ring's rows from `od` up to `po` that pass the filter.
    std::vector<TRadekKomunikace> Vyber(std::uint64_t od, std::uint64_t po) const;
    void ZmenaFiltru();
    void ObnovPocet();

    TZaznamKomunikace& Zaznam;
    std::uint64_t Precteno = 0; // the ring's number of the next row to take
    bool Pozastaveno = false;
};
