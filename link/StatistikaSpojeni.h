// The health of one connection in numbers: how many transactions, how many
// failed and with which result code, how long a round trip took, and the
// last error. Fed with every transaction by the observer of PosliPrikaz, so
// it covers all windows and commands alike.
//
// Round-trip times go into a histogram of fixed size (exact to 255 us, then
// buckets of at most 1/128 of their value), so the memory stays the same
// however long the connection lasts and one transaction costs a few
// additions; minimum and maximum are kept exactly.
#pragma once

#include "Xxxx683.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

struct TSouhrnSpojeni {
    struct TChyba {
        std::uint8_t Kod = 0;
        std::uint64_t Pocet = 0;
    };
    std::uint8_t Rozhrani = 0; // interface type of the last transaction, for the texts
    std::uint64_t Transakci = 0;
    std::uint64_t Uspesnych = 0;
    std::uint64_t Neuspesnych = 0;
    std::uint64_t Vyprseni = 0;    // no answer within the time-out
    std::uint64_t Poskozenych = 0; // answers that arrived damaged or unreadable
    std::vector<TChyba> PodleKodu; // failures by result code, in ascending code order
    // Round-trip times in ms; empty before the first transaction.
    std::optional<double> MinMs, MedianMs, P95Ms, MaxMs;
    // The last failure and when it happened.
    std::optional<std::uint8_t> PosledniChyba;
    std::chrono::system_clock::time_point CasPosledniChyby{};
    // When counting started: the connection's first transaction, or the reset.
    std::optional<std::chrono::system_clock::time_point> Od;
};

class TStatistikaSpojeni {
public:
    using TCas = std::chrono::system_clock::time_point;

    // Counts one transaction that ended at `kdy` on connection number
    // `spojeni` (PocetOtevrenychSpojeni()); a number other than the last one
    // starts the counts afresh, so they always belong to one connection.
    void Zaznamenej(const TZaznamPrikazu& z, TCas kdy, std::uint64_t spojeni);
    // Drops the counts of an older connection than `spojeni`.
    void Spojeni(std::uint64_t spojeni);
    // Starts the counts afresh from `kdy` ("Vynulovat").
    void Vynuluj(TCas kdy);

    TSouhrnSpojeni Souhrn() const;
    // The round-trip time at fraction p (0 < p <= 1) of all, nearest rank;
    // empty before the first transaction.
    std::optional<std::chrono::microseconds> Percentil(double p) const;

private:
    static constexpr std::size_t PresnaMez = 256; // one bucket per us below this
    static constexpr std::size_t PodKosu = 128;   // buckets per power of two above it
    // Powers of two above 255 us up to 2^32 us (71 minutes; longer counts there).
    static constexpr std::size_t Mocnin = 24;
    static constexpr std::size_t KosuCelkem = PresnaMez + Mocnin * PodKosu;
    static std::size_t Kos(std::uint64_t us);
    static std::uint64_t StredKose(std::size_t kos);

    std::uint64_t CisloSpojeni = 0;
    std::uint8_t Rozhrani = 0;
    std::uint64_t Transakci = 0;
    std::uint64_t Vyprseni = 0;
    std::uint64_t Poskozenych = 0;
    std::array<std::uint64_t, 256> PodleKodu{};
    std::array<std::uint64_t, KosuCelkem> Histogram{};
    std::uint64_t MinUs = 0, MaxUs = 0;
    std::optional<std::uint8_t> PosledniChyba;
    TCas CasPosledniChyby{};
    std::optional<TCas> Od;
};
