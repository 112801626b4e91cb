// The digital inputs view: the 32 inputs of the module, read ten times a
// second.
#pragma once

#include "Sledovani32.h"

class TForm11 : public TSledovani32 {
public:
    explicit TForm11(TData* data, QWidget* parent = nullptr);
};
