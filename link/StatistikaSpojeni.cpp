#include "StatistikaSpojeni.h"

#include "Codes.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

// The libraries' codes for an answer that did not come in time, and for
// one that came damaged (wrong checksum) or unreadable.
constexpr std::uint32_t KodVyprseni = zrbus::kTimeout;
constexpr std::array<std::uint32_t, 2> KodyPoskozeni = {zrbus::kBadCrc, zrbus::kBadAnswer};

constexpr std::uint64_t NejdelsiUs = 0xFFFFFFFFu;

double Ms(std::uint64_t us) {
    return static_cast<double>(us) / 1000.0;
}

} // namespace

std::size_t TStatistikaSpojeni::Kos(std::uint64_t us) {
    us = std::min(us, NejdelsiUs);
    if (us < PresnaMez) return static_cast<std::size_t>(us);
    // The top eight bits pick the bucket inside its power of two.
    const auto posun = static_cast<std::size_t>(std::bit_width(us)) - 8;
    const auto mantisa = static_cast<std::size_t>(us >> posun);
    return PresnaMez + (posun - 1) * PodKosu + (mantisa - PodKosu);
}

std::uint64_t TStatistikaSpojeni::StredKose(std::size_t kos) {
    if (kos < PresnaMez) return kos;
    const std::size_t posun = (kos - PresnaMez) / PodKosu + 1;
    const std::uint64_t mantisa = (kos - PresnaMez) % PodKosu + PodKosu;
    return (mantisa << posun) + ((std::uint64_t{1} << posun) / 2);
}

void TStatistikaSpojeni::Spojeni(std::uint64_t spojeni) {
    if (spojeni == CisloSpojeni) return;
    *this = TStatistikaSpojeni{};
    CisloSpojeni = spojeni;
}

void TStatistikaSpojeni::Vynuluj(TCas kdy) {
    const std::uint64_t spojeni = CisloSpojeni;
    *this = TStatistikaSpojeni{};
    CisloSpojeni = spojeni;
    Od = kdy;
}

void TStatistikaSpojeni::Zaznamenej(const TZaznamPrikazu& z, TCas kdy, std::uint64_t spojeni) {
    Spojeni(spojeni);
    if (!Od) Od = kdy;
    const auto us = static_cast<std::uint64_t>(std::max<std::int64_t>(z.Trvani.count(), 0));
    MinUs = Transakci == 0 ? us : std::min(MinUs, us);
    MaxUs = Transakci == 0 ? us : std::max(MaxUs, us);
    ++Transakci;
    ++Histogram[Kos(us)];
    Rozhrani = z.Rozhrani;
    const std::uint8_t kod = z.Odpoved.Vysledek;
    if (kod == 0) return;
    ++PodleKodu[kod];
    if (kod == KodVyprseni) ++Vyprseni;
    if (std::find(KodyPoskozeni.begin(), KodyPoskozeni.end(), kod) != KodyPoskozeni.end())
        ++Poskozenych;
    PosledniChyba = kod;
    CasPosledniChyby = kdy;
}

std::optional<std::chrono::microseconds> TStatistikaSpojeni::Percentil(double p) const {
    if (Transakci == 0) return std::nullopt;
    const double presne = std::ceil(std::clamp(p, 0.0, 1.0) * static_cast<double>(Transakci));
    const auto poradi = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(presne));
    std::uint64_t soucet = 0;
    std::size_t kos = 0;
    for (; kos + 1 < Histogram.size(); ++kos) {
        soucet += Histogram[kos];
        if (soucet >= poradi) break;
    }
    // The last bucket also holds everything longer than the histogram reaches.
    const std::uint64_t us =
        kos + 1 == Histogram.size() ? MaxUs : std::clamp(StredKose(kos), MinUs, MaxUs);
    return std::chrono::microseconds(static_cast<std::int64_t>(us));
}

TSouhrnSpojeni TStatistikaSpojeni::Souhrn() const {
    TSouhrnSpojeni s;
    s.Rozhrani = Rozhrani;
    s.Transakci = Transakci;
    s.Vyprseni = Vyprseni;
    s.Poskozenych = Poskozenych;
    for (std::size_t kod = 1; kod < PodleKodu.size(); ++kod) {
        if (PodleKodu[kod] == 0) continue;
        s.PodleKodu.push_back({static_cast<std::uint8_t>(kod), PodleKodu[kod]});
        s.Neuspesnych += PodleKodu[kod];
    }
    s.Uspesnych = Transakci - s.Neuspesnych;
    if (Transakci > 0) {
        s.MinMs = Ms(MinUs);
        s.MaxMs = Ms(MaxUs);
        s.MedianMs = Ms(static_cast<std::uint64_t>(Percentil(0.5)->count()));
        s.P95Ms = Ms(static_cast<std::uint64_t>(Percentil(0.95)->count()));
    }
    s.PosledniChyba = PosledniChyba;
    s.CasPosledniChyby = CasPosledniChyby;
    s.Od = Od;
    return s;
}
