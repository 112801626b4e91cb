// The outcome texts of the bus backup and comparison, for the windows and
// zr464-cli alike: a module's place, what became of each module, the
// summary of a pass. The command line puts "adresa A, R Bd: " before a
// module's text; the windows show it in a table row.
#pragma once

#include "ZalohaSbernice.h"

#include <QString>
#include <cstdint>

// "adresa 5, 19200 Bd"
QString TextModuluSbernice(const TModulSbernice& m);

// "uloženo do modul-005-19200.cfm (ZR-464 v.1.04)", "neodpovídá: text",
// "čtení konfigurace, registr 63: text", "neuloženo (přerušeno)"; a value
// a file may not hold follows as a warning. A module not reached names the
// line's fault of the pass, if that ended it.
QString TextUlozeni(std::uint8_t typ, const TUlozenyModul& u, const TBehSbernice& beh);
// "Uloženo modulů: 2 z 3 do složky S", with a stop or a fault of the index.
QString TextSouhrnuZalohy(const TVysledekZalohy& v, const QString& slozka);

// "bez rozdílů", "rozdílů: 2", "chybí na sběrnici (neodpovídá: text)",
// "není v záloze (ZR-464 v.1.04)", "neodpovídá, není ani v záloze", a read
// fault, "neporovnáno (přerušeno)".
QString TextPorovnani(std::uint8_t typ, const TPorovnanyModul& p, const TBehSbernice& beh);
// "Bez rozdílů: 3 moduly." or the counts of each outcome, with a stop.
QString TextSouhrnuPorovnani(const TVysledekPorovnani& v);

// The line could not be set to a module's rate, or back to the
// connection's: "nastavení rychlosti R Bd: text".
QString TextLinkySbernice(std::uint8_t typ, const TBehSbernice& b);

// The window's note when the bus overview's list is empty.
QString TextPrazdnehoSeznamu();
