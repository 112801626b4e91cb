// "Nahrát konfiguraci do modulu…": a module configuration file checked whole
// and compared with the module as in the compare window; "Zapsat do modulu"
// identifies the module anew and names it (address, rate, identification)
// for the operator to confirm; a file saved from a module of another name
// needs a second confirmation. Then every register is written with
// read-back, the whole configuration read once more and compared. The
// module's address and rate are written only with the box ticked, and take
// effect at its next restart. The program's stored configuration is not
// changed.
#pragma once

#include "PorovnaniKonfigurace.h"

#include <functional>

class TNahraniKonfigurace : public TPorovnaniKonfigurace {
public:
    TNahraniKonfigurace(TData& data, QWidget* parent = nullptr);

    void Button4Click(); // "Zapsat do modulu"

    // How the window asks the operator to confirm (true: yes); a message
    // box unless replaced (a test answers itself).
    std::function<bool(QWidget* rodic, const QString& otazka)> Potvrzeni = ZeptejSe;
    static bool ZeptejSe(QWidget* rodic, const QString& otazka);

    QLabel* Label2; // when the address and rate take effect
    QPushButton* Button4 = nullptr;

protected:
    void PriPraci(bool bezi) override;
    QString TextRozdilu(int pocet) const override;

private:
    std::optional<TIdentifikace> PotvrdCil();
    QString TextVysledku(const TVysledekZapisu& z);
};
