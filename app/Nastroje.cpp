#include "Nastroje.h"

#include "DiagnostikaSpojeni.h"
#include "HledaniModulu.h"
#include "NahraniKonfigurace.h"
#include "OknoKomunikace.h"
#include "OknoZkousky.h"
#include "PanelModulu.h"
#include "PrehledModulu.h"
#include "PrikazModulu.h"
#include "PrubehVstupu.h"
#include "UlozeniKonfigurace.h"
#include "ZalohovaniSbernice.h"

#include <array>

namespace {

// A window that works on the program's data record alone.
template <class TOkno> QDialog* OknoNadDaty(const TKontextNastroju& k, QWidget* rodic) {
    return new TOkno(k.Data, rodic);
}

constexpr std::array SeznamNastroju = {
    TNastroj{"&Hledat moduly na sběrnici…", "HledatModuly1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new THledaniModulu(k.Data, k.PosledniSken, r);
             }},
    TNastroj{"&Uložit konfiguraci modulu…", "UlozitKonfiguraci1", OknoNadDaty<TUlozeniKonfigurace>},
    TNastroj{"&Porovnat modul se souborem…", "PorovnatKonfiguraci1",
             OknoNadDaty<TPorovnaniKonfigurace>},
    TNastroj{"&Nahrát konfiguraci do modulu…", "NahratKonfiguraci1",
             OknoNadDaty<TNahraniKonfigurace>},
    TNastroj{"Zá&lohovat sběrnici…", "ZalohovatSbernici1", OknoNadDaty<TZalohaSbernice>},
    TNastroj{"Po&rovnat sběrnici…", "PorovnatSbernici1", OknoNadDaty<TPorovnaniSbernice>},
    TNastroj{"&Zkouška modulu…", "ZkouskaModulu1", OknoNadDaty<TOknoZkousky>},
    TNastroj{"Průběh &vstupů…", "PrubehVstupu1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TPrubehVstupu(&k.Data, r);
             }},
    TNastroj{"&Diagnostika spojení…", "DiagnostikaSpojeni1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TDiagnostikaSpojeni(&k.Data, k.Statistika, r);
             }},
    TNastroj{"Záznam &komunikace…", "ZaznamKomunikace1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TOknoKomunikace(k.Data, k.Komunikace, r);
             },
             true},
    TNastroj{"Příkaz &modulu…", "PrikazModulu1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TPrikazModulu(k.Data, k.Historie, r);
             }},
    TNastroj{"P&anel modulu…", "PanelModulu1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TPanelModulu(k.Data, k.Statistika, r);
             }},
    TNastroj{"Přehled &sběrnice…", "PrehledSbernice1",
             [](const TKontextNastroju& k, QWidget* r) -> QDialog* {
                 return new TPrehledModulu(k.Data, k.Statistika, k.PosledniSken, r);
             }},
};

} // namespace

std::span<const TNastroj> Nastroje() {
    return SeznamNastroju;
}
