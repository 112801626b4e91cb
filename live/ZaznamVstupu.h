// The inputs over time: every poll of the input timeline as one sample, in
// a ring of fixed size (an hour at the fastest poll period), with the number
// of changes of each input and of failed polls since the recording began,
// and the CSV file of what is kept.
//
// A failed poll is a sample without a value: it stands for the time until
// the next sample, for which nothing is known. So is a pause, and a stall:
// a time in which no poll happened though the period asked for them (the
// program was busy or stopped), counted as the failed polls it stands for.
#pragma once

#include <QDateTime>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QIODevice;

struct TVzorekVstupu {
    enum class TDruh : std::uint8_t { Hodnota, Vypadek, Pauza, Zastaveni };
    std::int64_t CasMs = 0;    // since the recording began, steady clock
    std::uint32_t Hodnota = 0; // DINn in bit n; 0 unless Druh is Hodnota
    std::uint8_t Vysledek = 0; // the poll's result code
    TDruh Druh = TDruh::Hodnota;
    bool MaHodnotu() const { return Druh == TDruh::Hodnota; }
};

class TZaznamVstupu {
public:
    static constexpr int PocetVstupu = 32;
    // An hour of polls every 50 ms, the shortest period; 1.2 MB.
    static constexpr std::size_t VychoziKapacita = 72000;

    explicit TZaznamVstupu(std::size_t kapacita = VychoziKapacita);

    // A sample at `casMs`; a time before the last sample's is taken as the
    // last sample's, so the samples stay in order. When the ring is full the
    // oldest sample goes.
    void PridejHodnotu(std::int64_t casMs, std::uint32_t hodnota);
    void PridejVypadek(std::int64_t casMs, std::uint8_t vysledek);
    void PridejPauzu(std::int64_t casMs);
    // No poll from `casMs` on; the `vynechano` polls missed count as failed.
    void PridejZastaveni(std::int64_t casMs, std::uint64_t vynechano);

    std::size_t Pocet() const { return Vzorky.size(); }
    // Sample i of those kept, 0 the oldest.
    const TVzorekVstupu& operator[](std::size_t i) const {
        return Vzorky[(Zacatek + i) % Vzorky.size()];
    }
    // The index of the sample in force at `casMs` (the last one not after
    // it); empty when `casMs` lies before every kept sample.
    std::optional<std::size_t> PlatnyV(std::int64_t casMs) const;

    // Since the recording began, the dropped samples included.
    std::uint64_t Dotazu() const { return PocetDotazu; }
    std::uint64_t Vypadku() const { return PocetVypadku; }
    std::uint64_t Zmeny(int vstup) const { return PocetZmen[static_cast<std::size_t>(vstup)]; }

private:
    void Pridej(const TVzorekVstupu& v);

    std::size_t Kapacita;
    std::vector<TVzorekVstupu> Vzorky;
    std::size_t Zacatek = 0; // index of the oldest sample once the ring is full
    std::uint64_t PocetDotazu = 0;
    std::uint64_t PocetVypadku = 0;
    std::array<std::uint64_t, PocetVstupu> PocetZmen{};
    std::optional<std::uint32_t> PosledniHodnota;
};

// Writes the kept polls as CSV, UTF-8, one line each after a header line:
// the time (ISO 8601, local time with milliseconds and offset), the 32-bit
// value in hexadecimal and one column per input (0/1). A failed poll has
// the time and empty fields; pauses and stalls, when nothing was polled,
// are left out. `zacatek` is the wall-clock
// time of the recording's time 0. Returns the number of rows written, or
// empty when the device refused to write.
std::optional<std::size_t> ZapisCsv(const TZaznamVstupu& zaznam, const QDateTime& zacatek,
                                    QIODevice& cil);
