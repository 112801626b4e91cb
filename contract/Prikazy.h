// The module's command set: command codes, parameters and configuration
// registers. Plain C++ with no dependencies, so the program, the driver
// libraries and the module simulator share one set of numbers.
#pragma once

#include <array>
#include <cstdint>

// The nine baud rates of the bus, by index 0 to 8 (the value of register 62).
namespace Sbernice {
inline constexpr std::array<std::uint32_t, 9> RychlostiBd = {600,   1200,  2400,  4800,  9600,
                                                             19200, 38400, 57600, 115200};
} // namespace Sbernice

namespace Prikaz {

// Command codes.
constexpr std::uint8_t CtiVstupy = 0;      // parameter 64; A1..A4 = DIN0-7 .. DIN24-31
constexpr std::uint8_t ZapisVystupy = 1;   // parameter 64; D2..D5 = DOUT0-7 .. DOUT24-31
constexpr std::uint8_t CtiStav = 100;      // parameter 0: status register, 1: watchdog time
constexpr std::uint8_t ZapisStav = 101;    // parameter 0: clear status, 1: set watchdog time
constexpr std::uint8_t CtiRegistr = 102;   // D2 = D3 = register; A3 = value
constexpr std::uint8_t ZapisRegistr = 103; // D2 = D3 = register; D4 = D5 = value
constexpr std::uint8_t Identifikace = 200; // parameter = item; A1..A4 = four characters

// Command parameters.
constexpr std::uint8_t ParDIO = 64;          // codes 0 and 1
constexpr std::uint8_t ParStatusRegistr = 0; // codes 100 and 101
constexpr std::uint8_t ParCasWatchdog = 1;   // codes 100 and 101
constexpr std::uint8_t ParRegistr = 0;       // codes 102 and 103

// Identification items of code 200, in the order the connection asks them.
constexpr std::uint8_t IdNazev1 = 0;    // name characters 1-4
constexpr std::uint8_t IdNazev2 = 1;    // name characters 5-8
constexpr std::uint8_t IdVerze = 2;     // version, 4 characters
constexpr std::uint8_t IdDoplnek1 = 10; // supplementary characters 1-4
constexpr std::uint8_t IdDoplnek2 = 11; // supplementary characters 5-8

// Time written by the watchdog test, in seconds.
constexpr std::uint16_t TestovaciCasWatchdog = 10;

// The commands of the set by code and parameter, with their names as the
// operator reads them (UTF-8).
struct TPojmenovanyPrikaz {
    std::uint8_t Kod;
    std::uint8_t Parametr;
    const char* Nazev;
};
inline constexpr std::array<TPojmenovanyPrikaz, 13> Nazvy = {{
    {CtiVstupy, ParDIO, "čtení vstupů"},
    {ZapisVystupy, ParDIO, "zápis výstupů"},
    {CtiStav, ParStatusRegistr, "čtení status registru"},
    {CtiStav, ParCasWatchdog, "čtení času watchdogu"},
    {ZapisStav, ParStatusRegistr, "nulování status registru"},
    {ZapisStav, ParCasWatchdog, "zápis času watchdogu"},
    {CtiRegistr, ParRegistr, "čtení registru"},
    {ZapisRegistr, ParRegistr, "zápis registru"},
    {Identifikace, IdNazev1, "identifikace: název 1-4"},
    {Identifikace, IdNazev2, "identifikace: název 5-8"},
    {Identifikace, IdVerze, "identifikace: verze"},
    {Identifikace, IdDoplnek1, "identifikace: doplněk 1-4"},
    {Identifikace, IdDoplnek2, "identifikace: doplněk 5-8"},
}};

// The name of a command of the set, or nullptr for a code and parameter
// outside it.
constexpr const char* Nazev(std::uint8_t kod, std::uint8_t parametr) {
    for (const TPojmenovanyPrikaz& p : Nazvy)
        if (p.Kod == kod && p.Parametr == parametr) return p.Nazev;
    return nullptr;
}

} // namespace Prikaz

namespace Registr {

constexpr std::uint8_t InicializacniCasL = 0;
constexpr std::uint8_t AktivaceCasovace = 1;
constexpr std::uint8_t InicializacniCasH = 2;
constexpr std::uint8_t DobaVypnutiReleL = 3;
constexpr std::uint8_t DobaVypnutiReleH = 4;
// Byte n (0 to 3) of the three channel masks.
constexpr std::uint8_t PocatecniStavDOUT(int n) {
    return static_cast<std::uint8_t>(32 + 3 * n);
}
constexpr std::uint8_t NegaceDIN(int n) {
    return static_cast<std::uint8_t>(33 + 3 * n);
}
constexpr std::uint8_t NegaceDOUT(int n) {
    return static_cast<std::uint8_t>(34 + 3 * n);
}
constexpr std::uint8_t Rychlost = 62;
constexpr std::uint8_t Adresa = 63;

// Whether the module has a register of this number.
constexpr bool Existuje(int r) {
    return (r >= 0 && r <= 4) || (r >= 32 && r <= 43) || r == 62 || r == 63;
}

} // namespace Registr

// Bits of the status register.
namespace StatusBit {
constexpr std::uint32_t FN = 1u << 1;
constexpr std::uint32_t PRF = 1u << 2;
constexpr std::uint32_t PWR = 1u << 4;
constexpr std::uint32_t RST = 1u << 5;
constexpr std::uint32_t ERR24 = 1u << 6;

// The named bits with their names, lowest bit first; the others have none.
struct TPojmenovanyBit {
    int Bit;
    const char* Nazev;
};
inline constexpr std::array<TPojmenovanyBit, 5> Nazvy = {
    {{1, "FN"}, {2, "PRF"}, {4, "PWR"}, {5, "RST"}, {6, "ERR24"}}};

// The name of bit 0 to 31, or nullptr for a bit without one.
constexpr const char* Nazev(int bit) {
    for (const TPojmenovanyBit& b : Nazvy)
        if (b.Bit == bit) return b.Nazev;
    return nullptr;
}
} // namespace StatusBit
