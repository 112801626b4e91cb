#include "Rozvrh.h"

#include <algorithm>
#include <numeric>

TCasRozvrhu TedRozvrhu() {
    return std::chrono::duration_cast<TCasRozvrhu>(
        std::chrono::steady_clock::now().time_since_epoch());
}

TRozvrh::TRozvrh(std::vector<TPolozkaRozvrhu> polozky, TCasRozvrhu zaloha, TCasRozvrhu zacatek)
    : Zaloha(zaloha), Zacatek(zacatek) {
    for (const TPolozkaRozvrhu& p : polozky)
        Stav.push_back({p, zacatek, 0});
    Serazene.resize(Stav.size());
    std::iota(Serazene.begin(), Serazene.end(), std::size_t{0});
    std::stable_sort(Serazene.begin(), Serazene.end(), [this](std::size_t a, std::size_t b) {
        return Stav[a].Polozka.Skupina < Stav[b].Polozka.Skupina;
    });
    // The first round begins with the first item.
    Posledni = Serazene.empty() ? 0 : Serazene.size() - 1;
}

std::optional<std::size_t> TRozvrh::Dalsi(TCasRozvrhu ted) {
    for (std::size_t k = 1; k <= Serazene.size(); ++k) {
        const std::size_t pozice = (Posledni + k) % Serazene.size();
        if (Stav[Serazene[pozice]].Termin > ted) continue;
        Posledni = pozice;
        return Serazene[pozice];
    }
    return std::nullopt;
}

void TRozvrh::Hotovo(std::size_t i, bool uspech, TCasRozvrhu ted) {
    TStavPolozky& s = Stav[i];
    s.Chyb = uspech ? 0 : s.Chyb + 1;
    if (s.Chyb >= Mlceni) {
        s.Termin = ted + Zaloha;
        return;
    }
    s.Termin += s.Polozka.Perioda;
    if (s.Termin <= ted) s.Termin = ted + s.Polozka.Perioda;
}

TCasRozvrhu TRozvrh::PristiTermin() const {
    if (Stav.empty()) return Zacatek;
    return std::min_element(Stav.begin(), Stav.end(),
                            [](const auto& a, const auto& b) { return a.Termin < b.Termin; })
        ->Termin;
}
