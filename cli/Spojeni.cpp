#include "Spojeni.h"

#include "Cli.h"
#include "Xxxx683.h"

namespace {

constexpr std::uint8_t TypCOM = 0;
constexpr std::uint8_t TypISA = 1;
constexpr std::uint8_t TypLAN = 4;
constexpr std::uint32_t KonstantaLinky = 2;

const QString KrokInicializace = QStringLiteral("inicializace připojení");

TChyba ChybaKodu(const QString& krok, std::uint8_t typ, std::uint32_t kod) {
    return {krok, kod, TextKodu(typ, kod), KodUkonceni::ChybaModulu};
}

} // namespace

TData DataPripojeni(const TVolbyPripojeni& v, const QString& nastaveni) {
    TData d;
    VychoziData(&d);
    NactiNastaveni(&d, nastaveni);
    if (v.Rozhrani) d.Rozhrani = *v.Rozhrani;
    if (v.CisloPortu) d.CisloPortu = static_cast<std::uint8_t>(*v.CisloPortu);
    if (v.BazovaAdresa) d.BazovaAdresa = *v.BazovaAdresa;
    if (v.IPAdresa) d.IPAdresa = *v.IPAdresa;
    if (v.UDPPort) d.UDPPort = *v.UDPPort;
    if (v.UDPTimeout) d.UDPTimeout = *v.UDPTimeout;
    if (v.Adresa) d.Adresa = *v.Adresa;
    if (v.Rychlost) d.Rychlost = *v.Rychlost;
    d.Parametry.fill(0);
    if (d.Rozhrani == TypCOM) d.Parametry[0] = v.CisloPortu ? *v.CisloPortu : d.CisloPortu;
    if (d.Rozhrani == TypISA) d.Parametry[0] = d.BazovaAdresa;
    return d;
}

TSpojeni::~TSpojeni() {
    if (!PripojeniPouzitelne(&Data)) return;
    KonecRozhrani(Data.Rozhrani, Data.Spojeni);
    Data.Inicializovano = false;
}

std::optional<TChyba> TSpojeni::Otevri() {
    if (Data.Rozhrani == TypLAN && (Data.IPAdresa.isEmpty() || !ParametryLAN(Data)))
        return TChyba{KrokInicializace, 0, QStringLiteral("Neplatná IP adresa"),
                      KodUkonceni::ChybaPouziti};
    std::uint32_t spojeni = 0;
    const std::uint32_t kod = InitRozhrani(Data.Rozhrani, spojeni, Data.Parametry);
    if (kod != 0) return ChybaKodu(KrokInicializace, Data.Rozhrani, kod);
    Data.Spojeni = spojeni;
    Data.Inicializovano = true;
    return NastavLinku(Data.Rychlost, static_cast<std::uint32_t>(RychlostNaCekani(Data.Rychlost)));
}

std::optional<TChyba> TSpojeni::NastavLinku(std::int32_t rychlost, std::uint32_t cekani) {
    const std::uint32_t kod =
        NastavRozhrani(Data.Rozhrani, Data.Spojeni, rychlost, cekani, KonstantaLinky);
    if (kod == 0) return std::nullopt;
    return ChybaKodu(KrokInicializace, Data.Rozhrani, kod);
}
