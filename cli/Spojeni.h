// The command-line program's connection: the record built from the settings
// file and the options, the library opened and its line set up, and closed
// again when the object ends.
#pragma once

#include "Dekl.h"
#include "RelaceModulu.h"
#include "Vystup.h"

#include <QString>
#include <cstdint>
#include <optional>

// The connection options; an option not given keeps the settings file's value.
struct TVolbyPripojeni {
    std::optional<std::uint8_t> Rozhrani;
    std::optional<std::uint16_t> CisloPortu;
    std::optional<std::uint16_t> BazovaAdresa;
    std::optional<QString> IPAdresa;
    std::optional<std::int32_t> UDPPort;
    std::optional<std::int32_t> UDPTimeout;
    std::optional<std::uint8_t> Adresa;
    std::optional<std::int32_t> Rychlost;
};

// The record with the defaults, the connection of the settings file at
// `nastaveni` (never written) and the options over them. A settings file
// that exists but cannot be used leaves the defaults; *varovani (if given)
// then says so, naming the file and the reason.
TData DataPripojeni(const TVolbyPripojeni& volby, const QString& nastaveni,
                    QString* varovani = nullptr);

class TSpojeni {
public:
    explicit TSpojeni(const TData& data) : Data(data) {}
    ~TSpojeni();
    TSpojeni(const TSpojeni&) = delete;
    TSpojeni& operator=(const TSpojeni&) = delete;

    // Loads and initialises the library and sets the line to the record's
    // rate with the wait value the program uses for it.
    std::optional<TChyba> Otevri();
    // Sets the line to another rate and wait value (ms).
    std::optional<TChyba> NastavLinku(std::int32_t rychlost, std::uint32_t cekani);
    // The error of a line set-up that failed with the library's code.
    TChyba ChybaLinky(std::uint32_t kod) const;
    // The connection as a module session to the record's module address.
    TRelaceModulu Relace() const { return TRelaceModulu(Data); }

    TData Data;
};
