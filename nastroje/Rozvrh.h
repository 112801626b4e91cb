// Which poll comes next when one line serves several things that are read
// at their own periods (the inputs, status and watchdog of one module; the
// modules of a bus). Pure logic on a clock the caller gives, so a window's
// timer, the command line's loop and a test table drive it alike.
//
// The items stand in a fixed order: by group (a line rate), then as given,
// so that a round takes every item of one rate before the line moves to the
// next. Of the items that are due, the first after the last one polled in
// that order goes next (round robin: none waits behind another's backlog).
// An item's next time is its previous one plus its period, so the polls
// keep their rate on average; one that fell a whole period behind goes on a
// period from now instead of catching up in a burst.
//
// An item that failed Mlceni times in a row is silent: it is polled every
// Zaloha only, until it answers again.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

using TCasRozvrhu = std::chrono::milliseconds; // on the caller's steady clock

// Now on the steady clock, as the windows and the command line drive it.
TCasRozvrhu TedRozvrhu();

struct TPolozkaRozvrhu {
    TCasRozvrhu Perioda{1000};
    std::int32_t Skupina = 0; // items of one group go one after another
};

class TRozvrh {
public:
    static constexpr int Mlceni = 2; // failures in a row that make an item silent

    TRozvrh(std::vector<TPolozkaRozvrhu> polozky, TCasRozvrhu zaloha, TCasRozvrhu zacatek);

    // The item to poll at `ted`; nothing while none is due.
    std::optional<std::size_t> Dalsi(TCasRozvrhu ted);
    // The poll of item i ended at `ted`, with success or not.
    void Hotovo(std::size_t i, bool uspech, TCasRozvrhu ted);
    // Item i is due at `ted` (a value just written is to be shown).
    void Hned(std::size_t i, TCasRozvrhu ted) { Stav[i].Termin = ted; }
    // When the next item falls due; the start when there is none.
    TCasRozvrhu PristiTermin() const;

    bool Mlci(std::size_t i) const { return Stav[i].Chyb >= Mlceni; }
    std::size_t Pocet() const { return Stav.size(); }
    // The items in polling order (indices as given).
    const std::vector<std::size_t>& Poradi() const { return Serazene; }

private:
    struct TStavPolozky {
        TPolozkaRozvrhu Polozka;
        TCasRozvrhu Termin{};
        int Chyb = 0;
    };
    std::vector<TStavPolozky> Stav;
    std::vector<std::size_t> Serazene;
    std::size_t Posledni; // position in Serazene of the last item polled
    TCasRozvrhu Zaloha;
    TCasRozvrhu Zacatek;
};
