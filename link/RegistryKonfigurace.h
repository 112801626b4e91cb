// The module's configuration registers in three groups, each in the order
// the module takes them, with the field of TKonfigurace each byte belongs
// to: the configuration windows and the command-line program send the same
// sequences from these tables.
#pragma once

#include "Prikazy.h"
#include "Sekvence.h"

#include <array>

namespace RegistryKonfigurace {

// The module's own bus address, then its baud-rate index.
inline constexpr std::array<TRegistrKonfigurace, 2> Adresa = {{
    {Registr::Adresa, TPoleKonfigurace::Adresa},
    {Registr::Rychlost, TPoleKonfigurace::Rychlost},
}};

// Both bytes of the initialisation time, both of the relay switch-off time,
// then the activation. Reading the low byte of a time starts the time anew.
inline constexpr std::array<TRegistrKonfigurace, 5> Watchdog = {{
    {Registr::InicializacniCasL, TPoleKonfigurace::InicializacniCas, 0, true},
    {Registr::InicializacniCasH, TPoleKonfigurace::InicializacniCas, 1},
    {Registr::DobaVypnutiReleL, TPoleKonfigurace::DobaVypnutiRele, 0, true},
    {Registr::DobaVypnutiReleH, TPoleKonfigurace::DobaVypnutiRele, 1},
    {Registr::AktivaceCasovace, TPoleKonfigurace::AktivaceCasovace},
}};

// All four bytes of the initial output state, then the input negation, then
// the output negation. Byte n of a mask sits three registers after byte n - 1.
constexpr std::array<TRegistrKonfigurace, 12> VytvorDIO() {
    std::array<TRegistrKonfigurace, 12> r{};
    for (int n = 0; n < 4; ++n) {
        const auto b = static_cast<std::uint8_t>(n);
        r[n] = {Registr::PocatecniStavDOUT(n), TPoleKonfigurace::PocatecniStavDOUT, b};
        r[4 + n] = {Registr::NegaceDIN(n), TPoleKonfigurace::NegaceDIN, b};
        r[8 + n] = {Registr::NegaceDOUT(n), TPoleKonfigurace::NegaceDOUT, b};
    }
    return r;
}
inline constexpr std::array<TRegistrKonfigurace, 12> DIO = VytvorDIO();

} // namespace RegistryKonfigurace

// The three groups as the configuration windows send them: the digital I/O
// window pauses after every register, the watchdog window never and its
// read-back carries the value written.
namespace SekvenceKonfigurace {

inline constexpr TSekvenceRegistru Adresa{RegistryKonfigurace::Adresa, TPauza::MeziPrikazy, false};
inline constexpr TSekvenceRegistru DIO{RegistryKonfigurace::DIO, TPauza::PoKazdemKroku, false};
inline constexpr TSekvenceRegistru Watchdog{RegistryKonfigurace::Watchdog, TPauza::Zadna, true};

// A group as the module tools send it: the same registers and read-back,
// with a pause between all commands, where the work can be stopped.
constexpr TSekvenceRegistru SPauzami(const TSekvenceRegistru& s) {
    return {s.Registry, TPauza::MeziPrikazy, s.ZpetneCteniSHodnotou};
}

} // namespace SekvenceKonfigurace
