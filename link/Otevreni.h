// Opening a connection as the connection window and zr464-cli both do it:
// the record's library loaded and initialised with the record's parameters
// (_Init), the line set to the rate with the rate's wait value (_SetConfig)
// and, when an address is given, the module there identified. A step that
// fails after _Init closes the library again, after `ukaz` (when given) has
// shown the failure: the operator sees why before the library is shut down.
#pragma once

#include "Dekl.h"
#include "Identifikace.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

enum class TKrokOtevreni : std::uint8_t { Inicializace, NastaveniLinky, Identifikace, Hotovo };

struct TOtevreni {
    TKrokOtevreni Krok = TKrokOtevreni::Hotovo; // the step that failed, or Hotovo
    std::uint32_t Kod = 0;                      // its result code
    QString Text;                               // the code's text, taken before closing
    TIdentifikace Id;                           // with an address: the module's identification
    bool Ok() const { return Krok == TKrokOtevreni::Hotovo; }
};

// On success the record holds the new handle (Spojeni) and Inicializovano;
// on a failure Inicializovano is false, and after a failure past _Init
// Spojeni holds what _Done left. The record's address and rate are not
// touched.
using TUkazSelhani = std::function<void(const TOtevreni&)>;
TOtevreni OtevriPripojeni(TData& data, std::int32_t rychlost, std::optional<std::uint8_t> adresa,
                          const TUkazSelhani& ukaz = {});
