#include "KonfiguraceModulu.h"

#include "Identifikace.h"
#include "ObycejnySoubor.h"
#include "Prevod.h"
#include "RegistryKonfigurace.h"
#include "Sken.h"
#include "Xxxx683.h"
#include "zr683.h"

#include <array>

namespace {

// The configuration windows' three groups, with a pause between all commands.
constexpr TSekvenceRegistru SekvenceAdresy =
    SekvenceKonfigurace::SPauzami(SekvenceKonfigurace::Adresa);
constexpr TSekvenceRegistru SekvenceWatchdogu =
    SekvenceKonfigurace::SPauzami(SekvenceKonfigurace::Watchdog);
constexpr TSekvenceRegistru SekvenceDIO = SekvenceKonfigurace::SPauzami(SekvenceKonfigurace::DIO);

// Reading takes all three groups, the address first.
const std::array<const TSekvenceRegistru*, 3> SekvenceCteni = {&SekvenceAdresy, &SekvenceWatchdogu,
                                                               &SekvenceDIO};

bool JeAdresniKlic(TKlicCfm k) {
    return k == TKlicCfm::Adresa || k == TKlicCfm::Rychlost;
}

std::vector<const TSekvenceRegistru*> SekvenceZapisu(bool sAdresou) {
    std::vector<const TSekvenceRegistru*> sekvence = {&SekvenceDIO, &SekvenceWatchdogu};
    if (sAdresou) sekvence.push_back(&SekvenceAdresy);
    return sekvence;
}

} // namespace

int PocetRegistruCteni() {
    int celkem = 0;
    for (const TSekvenceRegistru* sekvence : SekvenceCteni)
        celkem += static_cast<int>(sekvence->Registry.size());
    return celkem;
}

TVysledekSekvence PrectiKonfiguraci(const TData& data, TKonfigurace& k,
                                    const TPrubehSekvence& prubeh) {
    for (const TSekvenceRegistru* sekvence : SekvenceCteni) {
        const TVysledekSekvence v = PrectiRegistry(data, *sekvence, k, prubeh);
        if (!v.Ok()) return v;
    }
    return {};
}

std::vector<TRozdilKonfigurace> PorovnejKonfigurace(const TKonfigurace& soubor,
                                                    const TKonfigurace& modul, bool sAdresou) {
    std::vector<TRozdilKonfigurace> rozdily;
    for (int i = 1; i < PocetKlicuCfm; ++i) {
        const auto klic = static_cast<TKlicCfm>(i);
        if (JeAdresniKlic(klic) && !sAdresou) continue;
        TRozdilKonfigurace r{klic, HodnotaKlice(soubor, klic), HodnotaKlice(modul, klic)};
        if (r.VSouboru != r.VModulu) rozdily.push_back(std::move(r));
    }
    return rozdily;
}

bool JinyModul(const QString& modulSouboru, const TIdentifikace& id) {
    if (modulSouboru.trimmed().isEmpty()) return false;
    return NazevVIdentifikaci(modulSouboru) != ZobrazitelnyText(id.Nazev.trimmed());
}

namespace {

using TKonec = TKontrolaVerze::TKonec;

// Whether a module answers at the new address at the new rate: one probe as
// the bus scan sends it, then the line back at the connection's rate.
TKontrolaVerze OverNovouAdresu(const TData& data, const TKonfigurace& k) {
    const std::int32_t rychlost = IndexNaRychlost(k.Rychlost);
    if (k.Adresa == data.Adresa && rychlost == data.Rychlost) return {};
    const TVysledekSkenu sken = Skenuj(data, {k.Adresa}, {rychlost}, {}, {});
    const std::uint32_t zpet =
        NastavRozhrani(data.Rozhrani, data.Spojeni, data.Rychlost, RychlostNaCekani(data.Rychlost),
                       ZR683_CONFIG_CONSTANT);
    if (sken.KodLinky != 0 || zpet != 0)
        return {TKonec::ChybaLinky, sken.KodLinky != 0 ? sken.KodLinky : zpet, {}, {}};
    if (!sken.Moduly.empty()) return {TKonec::AdresaObsazena, 0, {}, sken.Moduly[0].Id.Modul()};
    if (!sken.Nepotvrzene.empty()) return {TKonec::AdresaObsazena, 0, {}, {}};
    return {};
}

} // namespace

TKontrolaVerze OverCil(const TData& data, const TKonfigurace& k, bool sAdresou,
                       const TPodminkyZapisu& podminky) {
    const TIdentifikace id =
        podminky.Id ? *podminky.Id : IdentifikujModul(data.Rozhrani, data.Spojeni, data.Adresa);
    if (!id.Ok()) return {TKonec::ChybaIdentifikace, id.Vysledek, {}, {}};
    if (!podminky.JinyModul && JinyModul(podminky.ModulSouboru, id))
        return {TKonec::JinyModul, 0, {}, id.Modul()};
    if (k.InicializacniCas > 255 && JednobajtovyInicializacniCas(id.Verze))
        return {TKonec::NepovolenyCas, 0, id.Verze, {}};
    return sAdresou ? OverNovouAdresu(data, k) : TKontrolaVerze{};
}

std::optional<std::uint8_t> HodnotaRegistru(const TKonfigurace& k, std::uint8_t registr) {
    for (const auto* q : SekvenceZapisu(true))
        for (const TRegistrKonfigurace& r : q->Registry)
            if (r.Registr == registr) return BajtKonfigurace(k, r);
    return std::nullopt;
}

int PocetRegistruZapisu(bool sAdresou) {
    int celkem = 0;
    for (const auto* q : SekvenceZapisu(sAdresou))
        celkem += static_cast<int>(q->Registry.size());
    return celkem;
}

namespace {

// The whole configuration read once more after the last register: every
// register written must still hold its value. Another writer at the same
// time (a second program, a window) leaves a mix that each register's own
// read-back cannot see. The first register that differs, as a write error.
TVysledekSekvence OverZapsane(const TData& data, const TKonfigurace& k, bool sAdresou,
                              const TPrubehSekvence& prubeh, TKonfigurace& modul) {
    TVysledekSekvence v = PrectiKonfiguraci(data, modul, prubeh);
    if (!v.Ok()) return v;
    for (const auto* q : SekvenceZapisu(sAdresou))
        for (const TRegistrKonfigurace& r : q->Registry) {
            const std::uint8_t precteno = BajtKonfigurace(modul, r);
            if (precteno == BajtKonfigurace(k, r)) continue;
            v.Konec = TKonecSekvence::ChybaZapisu;
            v.Registr = r.Registr;
            v.Precteno = precteno;
            return v;
        }
    return v;
}

} // namespace

TVysledekZapisu ZapisKonfiguraci(const TData& data, const TKonfigurace& k, bool sAdresou,
                                 const TPrubehSekvence& prubeh, const TPodminkyZapisu& podminky) {
    TVysledekZapisu v;
    v.Celkem = PocetRegistruZapisu(sAdresou);
    v.Verze = OverCil(data, k, sAdresou, podminky);
    if (!v.Verze.Ok()) return v;
    for (const auto* q : SekvenceZapisu(sAdresou)) {
        v.Sekvence = ZapisRegistry(data, *q, k, prubeh);
        v.Hotovo += v.Sekvence.Hotovych;
        if (!v.Sekvence.Ok()) return v;
    }
    v.Overeni = OverZapsane(data, k, sAdresou, prubeh, v.Modul);
    return v;
}

std::optional<TChybaCfm> NeplatnaHodnota(const QByteArray& text) {
    TChybaCfm chyba;
    if (PrectiCfm(text, chyba)) return std::nullopt;
    return chyba;
}

bool UlozSouborCfm(const QString& cesta, const QByteArray& text, QString& chyba) {
    return ZapisObycejnySoubor(cesta, text, chyba);
}
