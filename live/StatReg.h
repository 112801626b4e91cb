// The status register window: the module's 32-bit status register, read
// twice a second, and "Vynulovat", which clears it.
#pragma once

#include "Sledovani32.h"

class TForm15 : public TSledovani32 {
public:
    explicit TForm15(TData* data, QWidget* parent = nullptr);

    // "Vynulovat": one clear command; only a failure is shown at once, the
    // next poll shows the cleared register.
    void Button2Click();

    QPushButton* Button2;
};
