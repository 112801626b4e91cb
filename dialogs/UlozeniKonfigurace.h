// "Uložit konfiguraci modulu…": reads every configuration register of the
// program's module and saves them as a module configuration file (.cfm),
// written atomically. Values a file may not hold are saved as read, with a
// warning that the file will not load until they are corrected.
#pragma once

#include "OknoNastroje.h"

class TUlozeniKonfigurace : public TOknoNastroje {
public:
    TUlozeniKonfigurace(TData& data, QWidget* parent = nullptr);

    void Button1Click(); // "Uložit…"

    QLabel* Label1;
    QPushButton* Button1;
    QPushButton* Button2; // "Zastavit"
    QPushButton* Button3; // "Zavřít"

protected:
    void PriPraci(bool bezi) override;

private:
    void Uloz(const TKonfigurace& k, const QString& cesta);
};
