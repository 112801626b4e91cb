// The base of the three configuration dialogs. It owns the working copy of
// the module configuration, the buttons "Zapsat", "Přečíst", "Ok" and
// "Cancel", the status bar, and the read and write-with-read-back sequences
// (through the register-sequence engine). A dialog adds its controls, its
// register table and PrectiOkno/ZapisOkno.
#pragma once

#include "Dekl.h"
#include "Ovladace.h"
#include "Sekvence.h"

#include <QDialog>

class QLabel;
class QPushButton;

class TKonfiguracniDialog : public QDialog {
public:
    // The dialog works on the record without owning it; without a record it
    // does nothing but close.
    TKonfiguracniDialog(TData* data, const TSekvenceRegistru& sekvence, QWidget* parent);

    void FormShow();
    void Button1Click(); // "Zapsat"
    void Button2Click(); // "Přečíst"
    void Button3Click(); // "Ok"
    void Button4Click(); // "Cancel"

    void PrectiData(TKonfigurace& konfigurace);
    void ZapisData(const TKonfigurace& konfigurace);
    // Window to record, with validation: sets the status panel to " " when
    // every value is valid, else to " " and the message.
    virtual void PrectiOkno(TKonfigurace& konfigurace) = 0;
    // Record to window; no validation, no status text.
    virtual void ZapisOkno(const TKonfigurace& konfigurace) = 0;

    const TKonfigurace& PracovniKopie() const { return Konfigurace; }
    // Whether a read or write sequence is running.
    bool SekvenceBezi() const { return Prace.Bezi(); }

    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

protected:
    void showEvent(QShowEvent* event) override;
    // Closing during a sequence waits for the command in progress.
    void done(int vysledek) override;
    // Before the record is shown at FormShow (the watchdog dialog's version).
    virtual void PripravZobrazeni() {}

    // Status panel texts; " " alone means no message.
    void ZobrazStav(const QString& text);
    QString Stav() const;
    bool StavPlatny() const;
    // Places the four buttons in one row, in the order of their numbers.
    void RozmistiTlacitka(int x, int y, int sirka, int vyska, int mezera);

    TData* Data;
    TKonfigurace Konfigurace{};

private:
    bool Pripojeno();
    TPrubehSekvence Prubeh();
    template <class F> void Sekvence(F&& beh);

    const TSekvenceRegistru& Popis;
    QLabel* Panel;
    TPraceOkna Prace;
};
