#include "OkamDIN.h"

#include "Prikazy.h"

namespace {

QString NazevVstupu(int bit) {
    return QStringLiteral("DIN") + QString::number(bit);
}

const TPopisSledovani Vstupy = {"Form11",       "Okamžité hodnoty digitálních vstupů",
                                NazevVstupu,    Prikaz::CtiVstupy,
                                Prikaz::ParDIO, 100};

} // namespace

TForm11::TForm11(TData* data, QWidget* parent) : TSledovani32(data, Vstupy, parent) {}
