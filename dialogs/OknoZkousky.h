// "Zkouška modulu…": the guided commissioning test of the connected module,
// each step in the table with its result and what was measured; with the
// loopback fixture the outputs are checked through the inputs, otherwise the
// operator confirms each output ("Ano", "Ne", "Přeskočit") and makes each
// input change ("Hotovo"). The report is saved as PDF with JSON beside it.
#pragma once

#include "OknoNastroje.h"
#include "ZkouskaModulu.h"

#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;

class TOknoZkousky : public TOknoNastroje {
public:
    TOknoZkousky(TData& data, QWidget* parent = nullptr);

    void Button1Click(); // "Spustit"
    void Button4Click(); // "Uložit protokol…"

    // The test's fixed settings (the watchdog's time and how long it is
    // watched, the clock); the window adds what the operator chooses.
    TNastaveniZkousky Zaklad;
    // Where the report goes: the save dialog unless replaced.
    TVolbaSouboru VolbaProtokolu;

    QLineEdit* Edit1;     // operator's name
    QCheckBox* CheckBox1; // outputs wired to inputs
    QLineEdit* Edit2;     // response time, ms
    QLineEdit* Edit3;     // the outputs after the test
    QLabel* Label5;       // the intended configuration's file
    QLabel* Label6;       // what the test waits for
    QTableWidget* StringGrid1;
    std::array<QCheckBox*, 32> Vstupy{}; // DIN0 to DIN31, ticked when seen
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5;
    QPushButton *ButtonAno, *ButtonNe, *ButtonPreskocit, *ButtonHotovo;

protected:
    void PriPraci(bool bezi) override;

private:
    void VytvorOvladace();
    void Rozmisti();
    std::optional<TNastaveniZkousky> Nastaveni();
    void Proved(TZkouskaModulu& z);
    bool Cekej(TZkouskaModulu& z);
    void Ukaz(const TZkouskaModulu& z);
    void Odpovez(TVysledekKroku odpoved);
    void VyberOcekavanou();

    TZkouskaModulu* Aktualni = nullptr;
    TNastaveniZkousky Pouzite;
    std::optional<TVysledekZkousky> Vysledek;
    QString Ocekavana;
};
