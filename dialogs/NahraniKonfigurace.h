// "Nahrát konfiguraci do modulu…": a module configuration file checked whole
// and compared with the module as in the compare window; once the operator
// confirms with "Zapsat do modulu", every register is written with
// read-back, the whole configuration read once more and compared. The
// module's address and rate are written only with the box ticked, and take
// effect at its next restart. The program's stored configuration is not
// changed.
#pragma once

#include "PorovnaniKonfigurace.h"

class TNahraniKonfigurace : public TPorovnaniKonfigurace {
public:
    TNahraniKonfigurace(TData& data, QWidget* parent = nullptr);

    void Button4Click(); // "Zapsat do modulu"

    QLabel* Label2; // when the address and rate take effect
    QPushButton* Button4 = nullptr;

protected:
    void PriPraci(bool bezi) override;
    QString TextRozdilu(int pocet) const override;

private:
    QString TextVysledku(const TVysledekZapisu& z);
};
