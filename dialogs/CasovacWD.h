// The watchdog timer dialog: the initialisation time, the relay switch-off
// time and the activation (registers 0 to 4). Which times the module takes
// depends on its firmware version, taken from the identification at show.
#pragma once

#include "KonfiguracniDialog.h"

class QGroupBox;
class QLineEdit;
class QRadioButton;

class TForm4 : public TKonfiguracniDialog {
public:
    explicit TForm4(TData* data, QWidget* parent = nullptr);

    void PrectiOkno(TKonfigurace& konfigurace) override;
    void ZapisOkno(const TKonfigurace& konfigurace) override;

    // The four version characters taken at the last show.
    const QString& VerzeFirmwaru() const { return Verze; }

    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QGroupBox* GroupBox1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;

protected:
    void PripravZobrazeni() override;

private:
    QString Verze = QStringLiteral("    ");
};
