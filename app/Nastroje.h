// The "Nástroje" menu: windows beyond the module's own functions, each one
// row of a table (caption, object name, how to create it). A new tool is a
// new row; the main window adds the menu item and opens the window as it
// opens every dialog: a fresh modal instance, destroyed when it closes. A
// window that sends nothing may be non-modal: one instance, raised when
// opened again.
#pragma once

#include "Dekl.h"
#include "RucniPrikaz.h"
#include "StatistikaSpojeni.h"
#include "ZaznamKomunikace.h"

#include <QDialog>
#include <span>

// What a tool window may be given: the program data record, the counts of
// the connection, every transaction, the commands sent by hand and the
// modules the last bus scan found (kept while the program runs).
struct TKontextNastroju {
    TData& Data;
    TStatistikaSpojeni& Statistika;
    TZaznamKomunikace& Komunikace;
    THistoriePrikazu& Historie;
    std::vector<TModulSbernice>& PosledniSken;
};

struct TNastroj {
    const char* Text;  // menu caption
    const char* Jmeno; // object name of the menu item
    QDialog* (*Vytvor)(const TKontextNastroju& kontext, QWidget* rodic);
    bool Nemodalni = false;
};

std::span<const TNastroj> Nastroje();
