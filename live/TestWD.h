// The watchdog test window: the time left until the watchdog switches the
// relay, read five times a second, and "Zápis času 10s", which sets the
// watchdog to 10 seconds.
#pragma once

#include "ZiveOkno.h"

class QPushButton;

class TForm3 : public TZiveOkno {
public:
    explicit TForm3(TData* data, QWidget* parent = nullptr);

    // The address, "  0" in the time display, and the polling starts.
    void FormShow() override;
    void Timer1Timer() override;
    // Writes 10 s with the polling paused around the one command; the next
    // poll follows a full interval after it.
    void Button1Click();
    void Button2Click(); // "Cancel": stops the polling, then closes

    QLabel* Label1;
    QLabel* Panel1;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    void ZobrazCas(const QString& text);
};
