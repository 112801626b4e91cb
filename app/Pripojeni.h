// The connection dialog: chooses the interface, opens the connection and
// identifies the module.
#pragma once

#include "Dekl.h"
#include <QDialog>
#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TForm2 : public QDialog {
public:
    // The dialog works on the record without owning it; without a record
    // it does nothing but close.
    explicit TForm2(TData* data, QWidget* parent = nullptr);

    void FormShow();
    void ComboBox2Change(int index);
    void Button1Click();
    void Button2Click();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QComboBox* ComboBox1;
    QComboBox* ComboBox2;
    QLabel* Panel1;
    QPushButton* Button1;
    QPushButton* Button2;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void VytvorOvladace();
    void VytvorSeznamy();
    void VytvorPanel();
    void RozmistiOvladace();
    void PouzijViditelnost(int rozhrani);
    void ZobrazStav(const QString& text, bool hned);

    // Steps of Button1Click; each returns false when the press ends there.
    void ZavriOtevrene();
    std::uint8_t PrevezmiAdresu();
    bool PrevezmiParametry();
    bool PrevezmiCOM();
    bool PrevezmiISA();
    bool PrevezmiLAN();

    TData* Data;
};
