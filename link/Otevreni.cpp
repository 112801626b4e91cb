#include "Otevreni.h"

#include "Xxxx683.h"
#include "zr683.h"

namespace {

TOtevreni Selhani(TData& data, std::uint32_t spojeni, TKrokOtevreni krok, std::uint32_t kod,
                  const TUkazSelhani& ukaz) {
    TOtevreni o{krok, kod, TextKodu(data.Rozhrani, kod), {}};
    if (ukaz) ukaz(o);
    if (krok != TKrokOtevreni::Inicializace) {
        KonecRozhrani(data.Rozhrani, spojeni);
        data.Spojeni = spojeni;
    }
    data.Inicializovano = false;
    return o;
}

} // namespace

TOtevreni OtevriPripojeni(TData& data, std::int32_t rychlost, std::optional<std::uint8_t> adresa,
                          const TUkazSelhani& ukaz) {
    std::uint32_t spojeni = 0;
    std::uint32_t kod = InitRozhrani(data.Rozhrani, spojeni, data.Parametry);
    if (kod != 0) return Selhani(data, spojeni, TKrokOtevreni::Inicializace, kod, ukaz);
    const auto cekani = static_cast<std::uint32_t>(RychlostNaCekani(rychlost));
    kod = NastavRozhrani(data.Rozhrani, spojeni, rychlost, cekani, ZR683_CONFIG_CONSTANT);
    if (kod != 0) return Selhani(data, spojeni, TKrokOtevreni::NastaveniLinky, kod, ukaz);
    TOtevreni o;
    if (adresa) {
        o.Id = IdentifikujModul(data.Rozhrani, spojeni, *adresa);
        if (!o.Id.Ok())
            return Selhani(data, spojeni, TKrokOtevreni::Identifikace, o.Id.Vysledek, ukaz);
    }
    data.Spojeni = spojeni;
    data.Inicializovano = true;
    return o;
}
