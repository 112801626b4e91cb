// "Zálohovat sběrnici…" and "Porovnat sběrnici…": the modules of the bus
// overview's list (made in "Přehled sběrnice…") saved into a folder the
// operator chooses, one .cfm file per module and the list of them, or the
// bus compared with such a folder: per module the settings that differ, the
// modules missing from the bus and those not in the folder. One module after
// another, with progress; "Zastavit" ends the work after the command in
// progress, and the line returns to the connection's rate.
#pragma once

#include "OknoNastroje.h"
#include "ZalohaSbernice.h"

// The folder dialog; with `ulozit`, a folder that holds a backup already is
// replaced only when the operator agrees.
QString ZeptejSeNaSlozku(QWidget* rodic, bool ulozit);

class TOknoSbernice : public TOknoNastroje {
public:
    QLabel* Label1; // the modules of the list
    QLabel* Label2; // the folder
    QTableWidget* StringGrid1;
    QPushButton* Button1;
    QPushButton* Button2; // "Zastavit"
    QPushButton* Button3; // "Zavřít"

protected:
    TOknoSbernice(TData& data, const char* jmeno, const QString& titulek, const QString& tlacitko,
                  const QStringList& sloupce, QWidget* parent);
    void PriPraci(bool bezi) override;
    // The folder, empty (with a status text) when none was chosen.
    QString VyberSlozku(bool ulozit);
    // The engine's progress: the module in the status line, a step of the
    // progress bar per command, the pause where "Zastavit" is taken.
    TPrubehZalohy PrubehSbernice(int modulu);
    // The status text after a pass: the summary, a fault of the line.
    void ZobrazKonec(const QString& souhrn, const TBehSbernice& beh);
};

class TZalohaSbernice : public TOknoSbernice {
public:
    TZalohaSbernice(TData& data, QWidget* parent = nullptr);
    void Button1Click(); // "Zálohovat…": choose the folder, save every module
};

class TPorovnaniSbernice : public TOknoSbernice {
public:
    TPorovnaniSbernice(TData& data, QWidget* parent = nullptr);
    void Button1Click(); // "Porovnat…": choose the folder, compare every module
};
