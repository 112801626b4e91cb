#include "PrehledSbernice.h"

#include "Prikazy.h"
#include "RelaceModulu.h"
#include "Xxxx683.h"

#include <algorithm>

namespace {

std::vector<TPolozkaRozvrhu> Polozky(const std::vector<TModulSbernice>& moduly, int periodaMs) {
    std::vector<TPolozkaRozvrhu> polozky;
    for (const TModulSbernice& m : moduly)
        polozky.push_back({TCasRozvrhu(std::max(periodaMs, 1)), m.Rychlost});
    return polozky;
}

} // namespace

TPrehledSbernice::TPrehledSbernice(const TData& data, std::vector<TModulSbernice> moduly,
                                   int periodaMs, TCasRozvrhu zacatek)
    : Data(data), Casy(moduly.size()), Rozvrh(Polozky(moduly, periodaMs), Zaloha, zacatek),
      RychlostLinky(data.Rychlost) {
    for (const TModulSbernice& m : moduly) {
        Radky_.emplace_back();
        Radky_.back().Modul = m;
    }
}

std::optional<std::size_t> TPrehledSbernice::Krok(TCasRozvrhu ted) {
    const auto i = Rozvrh.Dalsi(ted);
    if (!i) return std::nullopt;
    const auto zacatek = THodiny::now();
    const bool uspech = Dotaz(*i);
    // The poll took its time: it ended that much after `ted`.
    Rozvrh.Hotovo(*i, uspech,
                  ted + std::chrono::duration_cast<TCasRozvrhu>(THodiny::now() - zacatek));
    TRadekPrehledu& r = Radky_[*i];
    r.Odpovida = uspech;
    r.Mlci = Rozvrh.Mlci(*i);
    ++r.Dotazu;
    if (!uspech) ++r.Neuspesnych;
    return i;
}

std::uint32_t TPrehledSbernice::ObnovLinku() {
    if (RychlostLinky == Data.Rychlost) return 0;
    TRelaceModulu relace(Data);
    const std::uint32_t kod = relace.NastavLinku(Data.Rychlost);
    if (kod == 0) RychlostLinky = Data.Rychlost;
    return kod;
}

void TPrehledSbernice::Chyba(TRadekPrehledu& r, const QString& krok, std::uint32_t kod) {
    r.PosledniChyba =
        TChybaPrehledu{krok, kod, TextKodu(Data.Rozhrani, kod), std::chrono::system_clock::now()};
}

bool TPrehledSbernice::Linka(TRadekPrehledu& r) {
    if (r.Modul.Rychlost == RychlostLinky) return true;
    TRelaceModulu relace(Data);
    const std::uint32_t kod = relace.NastavLinku(r.Modul.Rychlost);
    if (kod == 0) {
        RychlostLinky = r.Modul.Rychlost;
        return true;
    }
    // Where the line runs now is not known: the next module sets it anew.
    RychlostLinky = 0;
    Chyba(r, QStringLiteral("nastavení linky"), kod);
    return false;
}

void TPrehledSbernice::Zapocitej(std::size_t i, double ms) {
    TCasyModulu& c = Casy[i];
    c.Ms[c.Dalsi] = ms;
    c.Dalsi = (c.Dalsi + 1) % PocetCasu;
    c.Pocet = std::min(c.Pocet + 1, PocetCasu);
    std::array<double, PocetCasu> serazene = c.Ms;
    const auto konec = serazene.begin() + static_cast<std::ptrdiff_t>(c.Pocet);
    const auto stred = serazene.begin() + static_cast<std::ptrdiff_t>(c.Pocet / 2);
    std::nth_element(serazene.begin(), stred, konec);
    Radky_[i].MedianMs = *stred;
}

template <class T, class F>
std::optional<T> TPrehledSbernice::Precti(std::size_t i, const char* krok, F&& prikaz) {
    TRelaceModulu relace(Data);
    relace.NastavAdresu(Radky_[i].Modul.Adresa);
    const auto t0 = THodiny::now();
    const TVysledekPrikazu<T> v = prikaz(relace);
    Zapocitej(i, std::chrono::duration<double, std::milli>(THodiny::now() - t0).count());
    if (!v.Ok()) Chyba(Radky_[i], QString::fromUtf8(krok), v.Kod);
    return v.Hodnota;
}

// The first command that fails ends the poll: a module that does not answer
// costs one time-out, not three.
bool TPrehledSbernice::Dotaz(std::size_t i) {
    TRadekPrehledu& r = Radky_[i];
    if (!Linka(r)) return false;
    if (!r.Id) {
        TRelaceModulu relace(Data);
        relace.NastavAdresu(r.Modul.Adresa);
        const TIdentifikace id = relace.Identifikuj();
        if (!id.Ok()) {
            Chyba(r, QStringLiteral("identifikace"), id.Vysledek);
            return false;
        }
        r.Id = id;
    }
    const auto vstupy = Precti<std::uint32_t>(i, Prikaz::Nazev(Prikaz::CtiVstupy, Prikaz::ParDIO),
                                              [](auto& s) { return s.CtiVstupy(); });
    if (!vstupy) return false;
    r.Vstupy = vstupy;
    const auto status =
        Precti<std::uint32_t>(i, Prikaz::Nazev(Prikaz::CtiStav, Prikaz::ParStatusRegistr),
                              [](auto& s) { return s.CtiStatus(); });
    if (!status) return false;
    r.Status = status;
    const auto wd = Precti<std::uint16_t>(i, Prikaz::Nazev(Prikaz::CtiStav, Prikaz::ParCasWatchdog),
                                          [](auto& s) { return s.CtiWatchdog(); });
    if (!wd) return false;
    r.Watchdog = wd;
    r.CasCteni = std::chrono::system_clock::now();
    return true;
}
