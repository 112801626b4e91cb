#include "Nastroje.h"

#include "DiagnostikaSpojeni.h"
#include "PrubehVstupu.h"

#include <array>

namespace {

constexpr std::array SeznamNastroju = {
    TNastroj{"Průběh vstupů…", "PrubehVstupu1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TPrubehVstupu(&k.Data, r);
             }},
    TNastroj{"Diagnostika spojení…", "DiagnostikaSpojeni1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TDiagnostikaSpojeni(&k.Data, k.Statistika, r);
             }},
};

} // namespace

std::span<const TNastroj> Nastroje() {
    return SeznamNastroju;
}
