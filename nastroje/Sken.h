// The bus scan: every chosen address at every chosen rate is probed with the
// first identification command; a module that answers is identified fully,
// with the plain wait value.
// The probes run in the libraries' probe mode (ZR683_PROBE_WAIT): an absent
// module costs the time until its answer's first character would have come
// (zrbus::firstCharacterTime), an answer that began is read whole within
// zrbus::probeTimeoutMs. Over the LAN converter the scan times a few
// line-configuration exchanges first and allows the probes that round trip
// with a margin, at most the configured UDP time-out. The scan goes one
// probe per call of TSken::Krok, so a window can stay responsive and stop
// between probes; Skenuj runs it whole.
#pragma once

#include "Dekl.h"
#include "Identifikace.h"

#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

struct TNalezenyModul {
    std::uint8_t Adresa = 0;
    std::int32_t Rychlost = 0;
    TIdentifikace Id;
};

// An address that answered the probe but whose identification failed twice,
// or from which only damaged answers came (two modules at one address and
// rate answer at once): not reported as a module.
struct TNepotvrzenaOdpoved {
    std::uint8_t Adresa = 0;
    std::int32_t Rychlost = 0;
    std::uint8_t Kod = 0;
    bool JenPoskozena = false; // the probe, tried twice, got only damaged answers
};

struct TStavSkenu {
    int Hotovo = 0; // probes done
    int Celkem = 0;
    int Nalezeno = 0;
    std::chrono::milliseconds Zbyva{0}; // estimate
};

struct TVysledekSkenu {
    std::vector<TNalezenyModul> Moduly;
    std::vector<TNepotvrzenaOdpoved> Nepotvrzene;
    int Hotovo = 0;
    bool Preruseno = false;
    // The line could not be set to a rate: the library's code, else 0.
    std::uint32_t KodLinky = 0;
    std::int32_t RychlostLinky = 0; // the rate it was set to then
};

// One scan over the open connection of the record (its interface and
// handle; the record's address and rate are not touched). The line is set to
// each rate with the probes' wait value as it comes; the caller sets it back.
class TSken {
public:
    TSken(const TData& data, std::vector<std::uint8_t> adresy, std::vector<std::int32_t> rychlosti);

    // Sends one probe (setting the line first when a new rate begins) and,
    // when a module answers, identifies it. False once the scan has ended:
    // every probe done, the line failed, or Zastav was called.
    bool Krok();
    // Ends the scan before the next probe.
    void Zastav();
    bool Skonceno() const;

    const TStavSkenu& Stav() const { return StavSkenu; }
    const TVysledekSkenu& Vysledek() const { return VysledekSkenu; }

    // The time the probes allow for the path to the line and back (ms).
    std::uint32_t CasCesty() const { return CestaMs; }

private:
    bool Sonduj(std::uint8_t adresa, std::int32_t rychlost);
    void Zapocitej(std::int32_t rychlost);
    double CasSondy(std::int32_t rychlost) const;
    void Odhadni();
    std::uint32_t ZmerCestu(std::int32_t rychlost);
    bool NastavLinku(std::int32_t rychlost);
    bool Identifikuj(std::uint8_t adresa, std::int32_t rychlost);

    const TData& Data;
    std::vector<std::uint8_t> Adresy;
    std::vector<std::int32_t> Rychlosti;
    std::size_t IndexRychlosti = 0, IndexAdresy = 0;
    bool LinkaNastavena = false;
    bool CestaZmerena = false;
    std::uint32_t CestaMs = 0;
    TStavSkenu StavSkenu;
    TVysledekSkenu VysledekSkenu;
    double OcekavanoCelkem = 0, OcekavanoHotovo = 0;
    std::chrono::steady_clock::time_point Zacatek;
};

// The whole scan; `prubeh` (may be empty) is called after every probe,
// `prerusit` before every probe (true ends the scan).
TVysledekSkenu Skenuj(const TData& data, const std::vector<std::uint8_t>& adresy,
                      const std::vector<std::int32_t>& rychlosti,
                      const std::function<void(const TStavSkenu&)>& prubeh,
                      const std::function<bool()>& prerusit);

// A time estimate as a progress line shows it: "42 s", "3 min 5 s".
QString TextCasu(std::chrono::milliseconds cas);
