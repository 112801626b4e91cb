// The bus overview: the modules of a list (address, rate) polled in turn
// over one open connection, each with its inputs, status register and
// watchdog time, and the health of its polls. One call of Krok polls one
// module (identifying it first, once), so a window's timer or the command
// line's loop drives it and stays responsive between modules.
//
// The order and the back-off of a module that stops answering are the
// scheduler's (Rozvrh.h); the line is set to a module's rate only when it
// differs from the rate the line runs at, and the caller sets it back to
// the connection's rate when the overview ends (ObnovLinku).
#pragma once

#include "Dekl.h"
#include "Identifikace.h"
#include "Rozvrh.h"

#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

struct TChybaPrehledu {
    QString Krok; // what failed: the line, the identification, a read
    std::uint32_t Kod = 0;
    QString Text;
    std::chrono::system_clock::time_point Cas{};
};

struct TRadekPrehledu {
    TModulSbernice Modul;
    std::optional<TIdentifikace> Id;
    std::optional<std::uint32_t> Vstupy, Status;
    std::optional<std::uint16_t> Watchdog;
    // The last poll that read all three, and whether the last poll did.
    std::optional<std::chrono::system_clock::time_point> CasCteni;
    bool Odpovida = false;
    bool Mlci = false; // failed repeatedly: polled every few seconds only
    std::uint64_t Dotazu = 0, Neuspesnych = 0;
    std::optional<double> MedianMs; // of the transactions of its last polls
    std::optional<TChybaPrehledu> PosledniChyba;
};

class TPrehledSbernice {
public:
    using THodiny = std::chrono::steady_clock;
    // A silent module is asked again after this long.
    static constexpr TCasRozvrhu Zaloha{5000};

    // Over the record's open connection (not owned); the line is taken to
    // run at the record's rate.
    TPrehledSbernice(const TData& data, std::vector<TModulSbernice> moduly, int periodaMs,
                     TCasRozvrhu zacatek = TedRozvrhu());

    // Polls the module that is due at `ted`: its index, or nothing while
    // none is due.
    std::optional<std::size_t> Krok(TCasRozvrhu ted = TedRozvrhu());
    TCasRozvrhu PristiTermin() const { return Rozvrh.PristiTermin(); }
    const std::vector<TRadekPrehledu>& Radky() const { return Radky_; }
    // The modules in polling order (indices of Radky).
    const std::vector<std::size_t>& Poradi() const { return Rozvrh.Poradi(); }

    // The line runs at this rate now (someone else set it).
    void LinkaNa(std::int32_t rychlost) { RychlostLinky = rychlost; }
    std::int32_t Linka() const { return RychlostLinky; }
    // Sets the line back to the connection's rate; the library's code.
    std::uint32_t ObnovLinku();

private:
    static constexpr std::size_t PocetCasu = 64; // transaction times kept per module
    struct TCasyModulu {
        std::array<double, PocetCasu> Ms{};
        std::size_t Pocet = 0, Dalsi = 0;
    };
    bool Dotaz(std::size_t i);
    bool Linka(TRadekPrehledu& r);
    template <class T, class F>
    std::optional<T> Precti(std::size_t i, const char* krok, F&& prikaz);
    void Chyba(TRadekPrehledu& r, const QString& krok, std::uint32_t kod);
    void Zapocitej(std::size_t i, double ms);

    const TData& Data;
    std::vector<TRadekPrehledu> Radky_;
    std::vector<TCasyModulu> Casy;
    TRozvrh Rozvrh;
    std::int32_t RychlostLinky;
};
