#include "Sken.h"

#include "Codes.h"
#include "LineTiming.h"
#include "Prikazy.h"
#include "Xxxx683.h"
#include "zr683.h"

#include <algorithm>

namespace {

// Line-configuration exchanges that time the path to a LAN converter and
// back at the scan's start; the slowest counts.
constexpr int MereniCesty = 3;

// The wait value of the probes at a rate: the answer's first character is
// waited for only until it is due (plus the path's time); an answer that
// began is read within the time-out that covers the whole exchange.
std::uint32_t CekaniSondy(std::int32_t rychlost, std::uint32_t cestaMs) {
    return ZR683_PROBE_WAIT(zrbus::probeTimeoutMs(static_cast<std::uint32_t>(rychlost)),
                            std::min<std::uint32_t>(cestaMs, ZR683_WAIT_PATH_MAX));
}

// The path's time the probes allow for, from the slowest of the measured
// round trips: twice it and 2 ms, never more than the configured UDP
// time-out, which a converter slower than that falls back to.
std::uint32_t CestaSVyhradou(std::chrono::microseconds nejdelsi, std::uint32_t udpTimeoutMs) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(2 * nejdelsi).count() + 2;
    return std::min(static_cast<std::uint32_t>(ms), udpTimeoutMs);
}

// Whether a module answers the probe at the address.
TOdpovedModulu Sonda(const TData& d, std::uint8_t adresa) {
    return ProvedPrikaz(d.Rozhrani, d.Spojeni, adresa, Prikaz::Identifikace, Prikaz::IdNazev1,
                        {0, 0, 0, 0, 0});
}

// The full identification of an address that answered, tried twice: a
// damaged answer in the middle must not lose a module, and an address whose
// identification never completes is not reported as one.
TIdentifikace Over(const TData& d, std::uint8_t adresa) {
    TIdentifikace id = IdentifikujModul(d.Rozhrani, d.Spojeni, adresa);
    if (!id.Ok()) id = IdentifikujModul(d.Rozhrani, d.Spojeni, adresa);
    return id;
}

// Bytes came at the address, but twice no valid answer: what two modules
// answering at once leave on the line.
bool JenPoskozena(const TData& d, std::uint8_t adresa, const TOdpovedModulu& sonda) {
    return sonda.Vysledek == zrbus::kBadCrc && Sonda(d, adresa).Vysledek == zrbus::kBadCrc;
}

} // namespace

TSken::TSken(const TData& data, std::vector<std::uint8_t> adresy,
             std::vector<std::int32_t> rychlosti)
    : Data(data), Adresy(std::move(adresy)), Rychlosti(std::move(rychlosti)),
      Zacatek(std::chrono::steady_clock::now()) {
    StavSkenu.Celkem = static_cast<int>(Adresy.size() * Rychlosti.size());
    Odhadni();
    if (Adresy.empty()) IndexRychlosti = Rychlosti.size();
}

double TSken::CasSondy(std::int32_t rychlost) const {
    return zrbus::firstCharacterWaitMs(static_cast<std::uint32_t>(rychlost)) + CestaMs;
}

// The whole scan's probe times, and the estimate before the first probe.
void TSken::Odhadni() {
    OcekavanoCelkem = 0;
    for (const std::int32_t rychlost : Rychlosti)
        OcekavanoCelkem += CasSondy(rychlost) * static_cast<double>(Adresy.size());
    StavSkenu.Zbyva = std::chrono::milliseconds(static_cast<std::int64_t>(OcekavanoCelkem));
}

// Over the LAN converter: times a few line-configuration exchanges at the
// first rate. 0, or the library's code when the line cannot be set.
std::uint32_t TSken::ZmerCestu(std::int32_t rychlost) {
    if (Data.Rozhrani != ZR683_TYPE_LAN) return 0;
    std::chrono::microseconds nejdelsi{0};
    for (int i = 0; i < MereniCesty; ++i) {
        const auto zacatek = std::chrono::steady_clock::now();
        const std::uint32_t kod = NastavRozhrani(Data.Rozhrani, Data.Spojeni, rychlost,
                                                 CekaniSondy(rychlost, 0), ZR683_CONFIG_CONSTANT);
        if (kod != 0) return kod;
        nejdelsi = std::max(nejdelsi, std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now() - zacatek));
    }
    CestaMs = CestaSVyhradou(nejdelsi, static_cast<std::uint32_t>(std::max(Data.UDPTimeout, 0)));
    Odhadni();
    return 0;
}

// Sets the line to the rate with the probes' wait value, after timing the
// path when the scan begins.
bool TSken::NastavLinku(std::int32_t rychlost) {
    std::uint32_t kod = CestaZmerena ? 0 : ZmerCestu(rychlost);
    CestaZmerena = true;
    if (kod == 0)
        kod = NastavRozhrani(Data.Rozhrani, Data.Spojeni, rychlost, CekaniSondy(rychlost, CestaMs),
                             ZR683_CONFIG_CONSTANT);
    if (kod == 0) return true;
    VysledekSkenu.KodLinky = kod;
    VysledekSkenu.RychlostLinky = rychlost;
    return false;
}

bool TSken::Skonceno() const {
    return VysledekSkenu.Preruseno || VysledekSkenu.KodLinky != 0 ||
           IndexRychlosti >= Rychlosti.size();
}

void TSken::Zastav() {
    if (!Skonceno()) VysledekSkenu.Preruseno = true;
}

bool TSken::Krok() {
    if (Skonceno()) return false;
    const std::int32_t rychlost = Rychlosti[IndexRychlosti];
    if (!LinkaNastavena) {
        if (!NastavLinku(rychlost)) return false;
        LinkaNastavena = true;
    }
    if (!Sonduj(Adresy[IndexAdresy], rychlost)) return false;
    Zapocitej(rychlost);
    if (++IndexAdresy == Adresy.size()) {
        IndexAdresy = 0;
        ++IndexRychlosti;
        LinkaNastavena = false;
    }
    return true;
}

// False when the line could not be set.
bool TSken::Sonduj(std::uint8_t adresa, std::int32_t rychlost) {
    const TOdpovedModulu sonda = Sonda(Data, adresa);
    if (!sonda.Ok()) {
        if (JenPoskozena(Data, adresa, sonda))
            VysledekSkenu.Nepotvrzene.push_back({adresa, rychlost, zrbus::kBadCrc, true});
        return true;
    }
    return Identifikuj(adresa, rychlost);
}

// An address that answered the probe is identified with the plain wait
// value: a module known to be there is waited for whole, so a first
// character a little late cannot lose it. Then the probes' wait value again.
// False when the line could not be set.
bool TSken::Identifikuj(std::uint8_t adresa, std::int32_t rychlost) {
    const std::uint32_t plna = zrbus::probeTimeoutMs(static_cast<std::uint32_t>(rychlost));
    std::uint32_t kod =
        NastavRozhrani(Data.Rozhrani, Data.Spojeni, rychlost, plna, ZR683_CONFIG_CONSTANT);
    const TIdentifikace id = kod == 0 ? Over(Data, adresa) : TIdentifikace{};
    if (kod == 0)
        kod = NastavRozhrani(Data.Rozhrani, Data.Spojeni, rychlost, CekaniSondy(rychlost, CestaMs),
                             ZR683_CONFIG_CONSTANT);
    if (kod != 0) {
        VysledekSkenu.KodLinky = kod;
        VysledekSkenu.RychlostLinky = rychlost;
        return false;
    }
    if (id.Ok())
        VysledekSkenu.Moduly.push_back({adresa, rychlost, id});
    else
        VysledekSkenu.Nepotvrzene.push_back({adresa, rychlost, id.Vysledek});
    return true;
}

// The estimate: the probe times still ahead, scaled by how the time spent
// so far compares with the probe times behind.
void TSken::Zapocitej(std::int32_t rychlost) {
    VysledekSkenu.Hotovo = ++StavSkenu.Hotovo;
    StavSkenu.Nalezeno = static_cast<int>(VysledekSkenu.Moduly.size());
    OcekavanoHotovo += CasSondy(rychlost);
    const std::chrono::duration<double, std::milli> uplynulo =
        std::chrono::steady_clock::now() - Zacatek;
    StavSkenu.Zbyva = std::chrono::milliseconds(static_cast<std::int64_t>(
        uplynulo.count() * (OcekavanoCelkem - OcekavanoHotovo) / OcekavanoHotovo));
}

TVysledekSkenu Skenuj(const TData& data, const std::vector<std::uint8_t>& adresy,
                      const std::vector<std::int32_t>& rychlosti,
                      const std::function<void(const TStavSkenu&)>& prubeh,
                      const std::function<bool()>& prerusit) {
    TSken sken(data, adresy, rychlosti);
    while (!sken.Skonceno()) {
        if (prerusit && prerusit()) sken.Zastav();
        if (!sken.Krok()) break;
        if (prubeh) prubeh(sken.Stav());
    }
    return sken.Vysledek();
}

QString TextCasu(std::chrono::milliseconds cas) {
    const auto s = cas.count() / 1000;
    if (s < 60) return QStringLiteral("%1 s").arg(s);
    return QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60);
}
