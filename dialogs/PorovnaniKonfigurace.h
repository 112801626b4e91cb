// "Porovnat modul se souborem…": a module configuration file checked whole,
// every configuration register of the program's module read, and the settings
// that differ listed as the configuration windows name them, a mask by its
// channels (the address and the rate only when asked). The load
// window (NahraniKonfigurace.h) starts the same way.
#pragma once

#include "KonfiguraceModulu.h"
#include "OknoNastroje.h"

#include <optional>

class QCheckBox;
class QHBoxLayout;
class QVBoxLayout;

class TPorovnaniKonfigurace : public TOknoNastroje {
public:
    TPorovnaniKonfigurace(TData& data, QWidget* parent = nullptr);

    void Button1Click(); // "Porovnat…": choose a file, read the module, compare

    QLabel* Label1;       // the file
    QCheckBox* CheckBox1; // with the address and the rate
    QTableWidget* StringGrid1;
    QPushButton* Button1;
    QPushButton* Button2; // "Zastavit"
    QPushButton* Button3; // "Zavřít"

protected:
    TPorovnaniKonfigurace(TData& data, const char* jmeno, const QString& titulek,
                          const QString& tlacitko, const QString& sAdresou, QWidget* parent);
    void PriPraci(bool bezi) override;
    // Fills the table with the settings that differ between the file's and
    // the module's configuration; the number of rows.
    int ZobrazRozdily();
    // The status text once the differences are shown.
    virtual QString TextRozdilu(int pocet) const;

    QVBoxLayout* Obsah;    // the label, the box, the progress, the table, the buttons
    QHBoxLayout* Tlacitka; // Button1, a stretch, Button2, Button3

    std::optional<TKonfigurace> Soubor; // the file's configuration, once checked
    std::optional<TKonfigurace> Modul;  // the module's, as read last
    QString ModulSouboru;               // the file's "modul" key, empty without it

private:
    void ObnovRozdily();
};
