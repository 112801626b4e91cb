#include "Sken.h"

#include "Codes.h"
#include "LineTiming.h"
#include "Prikazy.h"
#include "Xxxx683.h"
#include "zr683.h"

namespace {

std::uint32_t Limit(std::int32_t rychlost) {
    return zrbus::probeTimeoutMs(static_cast<std::uint32_t>(rychlost));
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
    for (const std::int32_t rychlost : Rychlosti)
        OcekavanoCelkem += static_cast<double>(Limit(rychlost) * Adresy.size());
    if (Adresy.empty()) IndexRychlosti = Rychlosti.size();
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
        const std::uint32_t kod = NastavRozhrani(Data.Rozhrani, Data.Spojeni, rychlost,
                                                 Limit(rychlost), ZR683_CONFIG_CONSTANT);
        if (kod != 0) {
            VysledekSkenu.KodLinky = kod;
            VysledekSkenu.RychlostLinky = rychlost;
            return false;
        }
        LinkaNastavena = true;
    }
    Sonduj(Adresy[IndexAdresy], rychlost);
    Zapocitej(rychlost);
    if (++IndexAdresy == Adresy.size()) {
        IndexAdresy = 0;
        ++IndexRychlosti;
        LinkaNastavena = false;
    }
    return true;
}

void TSken::Sonduj(std::uint8_t adresa, std::int32_t rychlost) {
    const TOdpovedModulu sonda = Sonda(Data, adresa);
    if (!sonda.Ok()) {
        if (JenPoskozena(Data, adresa, sonda))
            VysledekSkenu.Nepotvrzene.push_back({adresa, rychlost, zrbus::kBadCrc, true});
        return;
    }
    const TIdentifikace id = Over(Data, adresa);
    if (id.Ok())
        VysledekSkenu.Moduly.push_back({adresa, rychlost, id});
    else
        VysledekSkenu.Nepotvrzene.push_back({adresa, rychlost, id.Vysledek});
}

// The estimate: the time-outs still ahead, scaled by how the time spent so
// far compares with the time-outs behind.
void TSken::Zapocitej(std::int32_t rychlost) {
    VysledekSkenu.Hotovo = ++StavSkenu.Hotovo;
    StavSkenu.Nalezeno = static_cast<int>(VysledekSkenu.Moduly.size());
    OcekavanoHotovo += Limit(rychlost);
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
