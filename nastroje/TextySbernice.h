// The texts of the bus overview's rows and of the module panel, for the
// windows and zr464-cli alike: a module's state, identification, inputs,
// status bits, watchdog time, the health of its polls and its last error;
// values the panel could not refresh, the outputs word it last wrote and
// the link's health.
#pragma once

#include "PrehledSbernice.h"
#include "StatistikaSpojeni.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

// "odpovídá", "neodpovídá, dotaz jednou za 5 s", "poslední dotaz selhal",
// "čeká na první dotaz".
QString TextStavuModulu(const TRadekPrehledu& r);
// "ZR-464 v.1.04, SIM-0001"; empty before the module was identified.
QString TextIdentifikaceModulu(const TRadekPrehledu& r);
// "0x0000A5A5"; empty when never read.
QString TextSlova(const std::optional<std::uint32_t>& v);
// The names of the status bits set ("PWR RST"), "žádný" when none; empty
// when never read.
QString TextBituStatusu(const std::optional<std::uint32_t>& status);
// "42 s"; empty when never read.
QString TextWatchdogu(const std::optional<std::uint16_t>& sekund);
// "dotazů 12, chyb 8 %, medián 1.20 ms".
QString TextZdraviModulu(const TRadekPrehledu& r);
// "10:15:02 čtení vstupů: text"; empty when none failed.
QString TextChybyModulu(const TRadekPrehledu& r);
// A command of the set that failed: "čtení vstupů: text".
QString TextSelhani(std::uint8_t kod, std::uint8_t parametr, const QString& text);
// A wall-clock time as the windows show it: "10:15:02".
QString TextCasuDne(std::chrono::system_clock::time_point cas);

// Values a failed poll could not refresh: "nepřečteno, platí z 10:15:02",
// or "nepřečteno" when none was ever read.
QString TextStarychHodnot(const std::optional<std::chrono::system_clock::time_point>& cas);
// The outputs as the module cannot report them: "naposledy zapsáno
// 0x0000000F", or that nothing was written from the window yet.
QString TextZapsanychVystupu(const std::optional<std::uint32_t>& slovo);
// Why the outputs are what was written, not what the module holds.
QString NapovedaVystupu();
// "Transakcí 120, neúspěšných 2, medián 1.20 ms".
QString TextZdraviSpojeni(const TSouhrnSpojeni& s);
