// The bus scan: every chosen address at every chosen rate is probed with the
// first identification command; a module that answers is identified fully.
// The probe waits only as long as the frames take on the line at the rate,
// plus a margin.
#pragma once

#include "Identifikace.h"
#include "Spojeni.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The answer time-out of one probe at a rate, in ms: the request, the answer
// and the line silence before each at that rate, a quarter more, and 20 ms.
std::uint32_t CasovyLimitSondy(std::int32_t rychlost);

struct TNalezenyModul {
    std::uint8_t Adresa = 0;
    std::int32_t Rychlost = 0;
    TIdentifikace Id;
};

// An address that answered the probe but whose identification failed twice:
// not reported as a module.
struct TNepotvrzenaOdpoved {
    std::uint8_t Adresa = 0;
    std::int32_t Rychlost = 0;
    std::uint8_t Kod = 0;
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
    std::optional<TChyba> Chyba; // the line could not be set to a rate
};

// Scans over the open connection; `prubeh` (may be empty) is called after
// every probe, `prerusit` before every probe (true ends the scan).
TVysledekSkenu Skenuj(TSpojeni& spojeni, const std::vector<std::uint8_t>& adresy,
                      const std::vector<std::int32_t>& rychlosti,
                      const std::function<void(const TStavSkenu&)>& prubeh,
                      const std::function<bool()>& prerusit);
