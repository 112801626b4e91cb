// A module session: for one open connection, the interface type, the
// library's handle, the module's address on the bus and the line's rate, with
// one function per command of the module's command set. Every transaction
// goes through PosliPrikaz, so the observer of the transactions (the
// connection statistics, a trace) sees all of them.
//
// A session either opens the connection itself (Otevri) and closes it when it
// ends, or works on a connection someone else holds (the program data
// record's, TRelaceModulu(data)), which it never closes.
#pragma once

#include "Dekl.h"
#include "Identifikace.h"
#include "Otevreni.h"
#include "Xxxx683.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <variant>

// The outcome of one typed command: its value, or the result code with its
// text; never both unset.
template <class T> struct TVysledekPrikazu {
    std::uint8_t Kod = 0;     // result code; 0 on success
    std::optional<T> Hodnota; // set exactly on success
    QString Text;             // the code's text when it failed
    bool Ok() const { return Hodnota.has_value(); }
};
// A command whose answer carries no value.
using TBezHodnoty = std::monostate;

// Writing a register with its read-back: on success the value read back (the
// one written). When the read-back gives another value, Kod stays 0 and
// Precteno holds it (the texts of nastroje/Texty.h say so).
struct TZapisRegistru : TVysledekPrikazu<std::uint8_t> {
    std::optional<std::uint8_t> Precteno;
};

class TRelaceModulu {
public:
    TRelaceModulu() = default;
    // The record's connection, module address and rate; not owned.
    explicit TRelaceModulu(const TData& data);
    ~TRelaceModulu();
    TRelaceModulu(const TRelaceModulu&) = delete;
    TRelaceModulu& operator=(const TRelaceModulu&) = delete;

    // Opens the record's interface with its parameters, sets the line to the
    // rate and, with an address, identifies the module there (the sequence
    // of OtevriPripojeni, which also updates the record). On success the
    // session holds the connection and closes it when it ends.
    TOtevreni Otevri(TData& data, std::int32_t rychlost, std::optional<std::uint8_t> adresa);
    // Ends a connection the session opened; one it does not own is left.
    void Zavri();

    // Sets the line to the rate with the wait value a connection at that
    // rate has, or with `cekani` ms; the library's code.
    std::uint32_t NastavLinku(std::int32_t rychlost);
    std::uint32_t NastavLinku(std::int32_t rychlost, std::uint32_t cekani);

    void NastavAdresu(std::uint8_t adresa) { AdresaModulu = adresa; }
    std::uint8_t Adresa() const { return AdresaModulu; }
    std::int32_t Rychlost() const { return RychlostLinky; }
    std::uint8_t Rozhrani() const { return TypRozhrani; }
    std::uint32_t Spojeni() const { return Handle; }
    bool Otevrena() const { return Handle != 0; }

    // One transaction to the session's module.
    TOdpovedModulu Posli(std::uint8_t kod, std::uint8_t parametr, const TDataPrikazu& d = {}) const;
    // The text of a result code over this interface.
    QString TextKodu(std::uint8_t kod) const;

    TVysledekPrikazu<std::uint32_t> CtiVstupy() const;
    TVysledekPrikazu<TBezHodnoty> ZapisVystupy(std::uint32_t vystupy) const;
    TVysledekPrikazu<std::uint32_t> CtiStatus() const;
    TVysledekPrikazu<TBezHodnoty> NulujStatus() const;
    // The watchdog's remaining time, in seconds.
    TVysledekPrikazu<std::uint16_t> CtiWatchdog() const;
    TVysledekPrikazu<TBezHodnoty> NastavWatchdog(std::uint16_t sekund) const;
    TVysledekPrikazu<std::uint8_t> CtiRegistr(std::uint8_t registr) const;
    TZapisRegistru ZapisRegistr(std::uint8_t registr, std::uint8_t hodnota) const;
    TIdentifikace Identifikuj() const;

private:
    template <class T> TVysledekPrikazu<T> Vysledek(const TOdpovedModulu& o, T hodnota) const;

    std::uint8_t TypRozhrani = 0;
    std::uint32_t Handle = 0;
    std::uint8_t AdresaModulu = 0;
    std::int32_t RychlostLinky = 0;
    bool Vlastni = false;
};

// What a connection to the module at the address and rate, identified as
// `id`, leaves in the record: the connection dialog's and the bus scan's
// "Použít" alike.
void PrevezmiModul(TData& data, std::uint8_t adresa, std::int32_t rychlost,
                   const TIdentifikace& id);
