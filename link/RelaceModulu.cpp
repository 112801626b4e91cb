#include "RelaceModulu.h"

#include "Prikazy.h"
#include "zr683.h"

TRelaceModulu::TRelaceModulu(const TData& data)
    : TypRozhrani(data.Rozhrani), Handle(PripojeniPouzitelne(&data) ? data.Spojeni : 0),
      AdresaModulu(data.Adresa), RychlostLinky(data.Rychlost) {}

TRelaceModulu::~TRelaceModulu() {
    Zavri();
}

TOtevreni TRelaceModulu::Otevri(TData& data, std::int32_t rychlost,
                                std::optional<std::uint8_t> adresa) {
    Zavri();
    TOtevreni o = OtevriPripojeni(data, rychlost, adresa);
    TypRozhrani = data.Rozhrani;
    if (!o.Ok()) return o;
    Handle = data.Spojeni;
    Vlastni = true;
    AdresaModulu = adresa.value_or(data.Adresa);
    RychlostLinky = rychlost;
    return o;
}

void TRelaceModulu::Zavri() {
    if (Vlastni && Handle != 0) KonecRozhrani(TypRozhrani, Handle);
    Handle = 0;
    Vlastni = false;
}

std::uint32_t TRelaceModulu::NastavLinku(std::int32_t rychlost) {
    return NastavLinku(rychlost, static_cast<std::uint32_t>(RychlostNaCekani(rychlost)));
}

std::uint32_t TRelaceModulu::NastavLinku(std::int32_t rychlost, std::uint32_t cekani) {
    const std::uint32_t kod =
        NastavRozhrani(TypRozhrani, Handle, rychlost, cekani, ZR683_CONFIG_CONSTANT);
    if (kod == 0) RychlostLinky = rychlost;
    return kod;
}

TOdpovedModulu TRelaceModulu::Posli(std::uint8_t kod, std::uint8_t parametr,
                                    const TDataPrikazu& d) const {
    return ProvedPrikaz(TypRozhrani, Handle, AdresaModulu, kod, parametr, d);
}

QString TRelaceModulu::TextKodu(std::uint8_t kod) const {
    return ::TextKodu(TypRozhrani, kod);
}

template <class T>
TVysledekPrikazu<T> TRelaceModulu::Vysledek(const TOdpovedModulu& o, T hodnota) const {
    if (!o.Ok()) return {o.Vysledek, std::nullopt, TextKodu(o.Vysledek)};
    return {0, hodnota, {}};
}

TVysledekPrikazu<std::uint32_t> TRelaceModulu::CtiVstupy() const {
    const TOdpovedModulu o = Posli(Prikaz::CtiVstupy, Prikaz::ParDIO);
    return Vysledek(o, o.Slovo());
}

TVysledekPrikazu<TBezHodnoty> TRelaceModulu::ZapisVystupy(std::uint32_t vystupy) const {
    return Vysledek(Posli(Prikaz::ZapisVystupy, Prikaz::ParDIO, DataSlova(vystupy)), TBezHodnoty{});
}

TVysledekPrikazu<std::uint32_t> TRelaceModulu::CtiStatus() const {
    const TOdpovedModulu o = Posli(Prikaz::CtiStav, Prikaz::ParStatusRegistr);
    return Vysledek(o, o.Slovo());
}

TVysledekPrikazu<TBezHodnoty> TRelaceModulu::NulujStatus() const {
    return Vysledek(Posli(Prikaz::ZapisStav, Prikaz::ParStatusRegistr), TBezHodnoty{});
}

TVysledekPrikazu<std::uint16_t> TRelaceModulu::CtiWatchdog() const {
    const TOdpovedModulu o = Posli(Prikaz::CtiStav, Prikaz::ParCasWatchdog);
    return Vysledek(o, static_cast<std::uint16_t>(o.Slovo() & 0xFFFFu));
}

TVysledekPrikazu<TBezHodnoty> TRelaceModulu::NastavWatchdog(std::uint16_t sekund) const {
    return Vysledek(Posli(Prikaz::ZapisStav, Prikaz::ParCasWatchdog, DataSlova(sekund)),
                    TBezHodnoty{});
}

TVysledekPrikazu<std::uint8_t> TRelaceModulu::CtiRegistr(std::uint8_t registr) const {
    const TOdpovedModulu o =
        Posli(Prikaz::CtiRegistr, Prikaz::ParRegistr, {0, registr, registr, 0, 0});
    return Vysledek(o, o.A[2]);
}

TZapisRegistru TRelaceModulu::ZapisRegistr(std::uint8_t registr, std::uint8_t hodnota) const {
    TZapisRegistru z;
    const TOdpovedModulu o =
        Posli(Prikaz::ZapisRegistr, Prikaz::ParRegistr, {0, registr, registr, hodnota, hodnota});
    const TVysledekPrikazu<std::uint8_t> cteni =
        o.Ok() ? CtiRegistr(registr) : Vysledek(o, std::uint8_t{0});
    static_cast<TVysledekPrikazu<std::uint8_t>&>(z) = cteni;
    if (cteni.Ok() && *cteni.Hodnota != hodnota) {
        z.Precteno = cteni.Hodnota;
        z.Hodnota.reset();
    }
    return z;
}

TIdentifikace TRelaceModulu::Identifikuj() const {
    return IdentifikujModul(TypRozhrani, Handle, AdresaModulu);
}

void PrevezmiModul(TData& data, std::uint8_t adresa, std::int32_t rychlost,
                   const TIdentifikace& id) {
    data.Adresa = adresa;
    data.Rychlost = rychlost;
    data.Modul = id.Modul();
    data.ModulDoplnek = id.Doplnek;
    data.StavPripojeni = ZpravaProgramu(ZpravaVPoradku);
}
