// The base of the live value and test windows: the non-owning reference to
// the program data record, the module address taken when the window is
// shown, the status bar, the connection check, the command to that address,
// and the polling timer Timer1 of the windows that poll.
//
// All of it runs on the user-interface thread. A poll is a blocking library
// call, so a close asked for during a poll is seen only after it: closing
// stops the timer, and a tick that still falls due sends nothing.
#pragma once

#include "Dekl.h"
#include "Xxxx683.h"

#include <QDialog>
#include <cstdint>

class QLabel;
class QTimer;

// A number with `mist` decimals and a decimal comma, as the windows show it.
QString CeskeCislo(double hodnota, int mist);

class TZiveOkno : public QDialog {
public:
    // FormCreate: the address to use is 0 until the window is shown.
    TZiveOkno(TData* data, QWidget* parent);

    // Takes the record's module address, when the window holds a record.
    virtual void FormShow();

    // One tick of Timer1 (the windows that poll).
    virtual void Timer1Timer() {}

    std::uint8_t AdresaModulu() const { return Adresa; }
    QString Stav() const;

protected:
    void showEvent(QShowEvent* event) override;
    // Every way of closing (Cancel, the close button, Escape) ends here.
    void done(int vysledek) override;

    // The polling timer, named Timer1, calling Timer1Timer() on each tick.
    QTimer* VytvorCasovac(int interval, bool spustit);
    // Whether a tick may poll now: pending input (such as "Cancel" pressed
    // during the last transaction) is handled first; a window that is not
    // shown or is closing sends nothing, and a tick during which a button
    // sent its own command leaves the poll to the next tick.
    bool TikMuzePokracovat();

    // Whether the connection is usable; otherwise the status panel says so.
    // Without a record it is false and shows nothing.
    bool Pripojeno();
    // One command to the address taken at show.
    TOdpovedModulu Posli(std::uint8_t kod, std::uint8_t parametr, const TDataPrikazu& d = {});
    // " " and the text of the result code.
    void ZobrazVysledek(const TOdpovedModulu& odpoved);
    // Shows the text and repaints the status bar, only if the text changes.
    void ZobrazStav(const QString& text);

    TData* Data;
    std::uint8_t Adresa = 0;
    QTimer* Timer1 = nullptr;

private:
    QLabel* StavPanel;
    bool Zavira = false;
    std::uint64_t Odeslano = 0; // commands sent so far
};
