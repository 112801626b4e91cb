// The address and baud-rate dialog: the module's own bus address and baud
// rate (registers 63 and 62), distinct from the program's connection.
#pragma once

#include "KonfiguracniDialog.h"

class QComboBox;
class QLineEdit;

class TForm12 : public TKonfiguracniDialog {
public:
    explicit TForm12(TData* data, QWidget* parent = nullptr);

    void PrectiOkno(TKonfigurace& konfigurace) override;
    void ZapisOkno(const TKonfigurace& konfigurace) override;

    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QComboBox* ComboBox1;
};
