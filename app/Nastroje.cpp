#include "Nastroje.h"

#include "DiagnostikaSpojeni.h"
#include "HledaniModulu.h"
#include "NahraniKonfigurace.h"
#include "PrubehVstupu.h"
#include "UlozeniKonfigurace.h"

#include <array>

namespace {

constexpr std::array SeznamNastroju = {
    TNastroj{"Hledat moduly na sběrnici…", "HledatModuly1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new THledaniModulu(k.Data, r);
             }},
    TNastroj{"Uložit konfiguraci modulu…", "UlozitKonfiguraci1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TUlozeniKonfigurace(k.Data, r);
             }},
    TNastroj{"Porovnat modul se souborem…", "PorovnatKonfiguraci1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TPorovnaniKonfigurace(k.Data, r);
             }},
    TNastroj{"Nahrát konfiguraci do modulu…", "NahratKonfiguraci1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TNahraniKonfigurace(k.Data, r);
             }},
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
