#include "Spojeni.h"

#include "Cli.h"
#include "Otevreni.h"
#include "Xxxx683.h"
#include "zr683.h"

namespace {

const QString KrokInicializace = QStringLiteral("inicializace připojení");

TChyba ChybaKodu(const QString& krok, std::uint8_t typ, std::uint32_t kod) {
    return {krok, kod, TextKodu(typ, kod), KodUkonceni::ChybaModulu};
}

} // namespace

TData DataPripojeni(const TVolbyPripojeni& v, const QString& nastaveni, QString* varovani) {
    TData d;
    VychoziData(&d);
    QString duvod;
    NactiNastaveni(&d, nastaveni, &duvod);
    if (!duvod.isEmpty() && varovani != nullptr)
        *varovani = QStringLiteral("soubor nastavení %1 nelze použít (%2); platí výchozí připojení")
                        .arg(nastaveni, duvod);
    if (v.Rozhrani) d.Rozhrani = *v.Rozhrani;
    if (v.CisloPortu) d.CisloPortu = static_cast<std::uint8_t>(*v.CisloPortu);
    if (v.BazovaAdresa) d.BazovaAdresa = *v.BazovaAdresa;
    if (v.IPAdresa) d.IPAdresa = *v.IPAdresa;
    if (v.UDPPort) d.UDPPort = *v.UDPPort;
    if (v.UDPTimeout) d.UDPTimeout = *v.UDPTimeout;
    if (v.Adresa) d.Adresa = *v.Adresa;
    if (v.Rychlost) d.Rychlost = *v.Rychlost;
    // A LAN text that does not fit is refused when the connection opens.
    NaplnParametry(d, v.CisloPortu.value_or(d.CisloPortu));
    return d;
}

TSpojeni::~TSpojeni() {
    if (!PripojeniPouzitelne(&Data)) return;
    KonecRozhrani(Data.Rozhrani, Data.Spojeni);
    Data.Inicializovano = false;
}

std::optional<TChyba> TSpojeni::Otevri() {
    if (Data.Rozhrani == ZR683_TYPE_LAN && (Data.IPAdresa.isEmpty() || !ParametryLAN(Data)))
        return TChyba{KrokInicializace, 0, QStringLiteral("Neplatná IP adresa"),
                      KodUkonceni::ChybaPouziti};
    const TOtevreni o = OtevriPripojeni(Data, Data.Rychlost, std::nullopt);
    if (o.Ok()) return std::nullopt;
    return TChyba{KrokInicializace, o.Kod, o.Text, KodUkonceni::ChybaModulu};
}

std::optional<TChyba> TSpojeni::NastavLinku(std::int32_t rychlost, std::uint32_t cekani) {
    const std::uint32_t kod =
        NastavRozhrani(Data.Rozhrani, Data.Spojeni, rychlost, cekani, ZR683_CONFIG_CONSTANT);
    if (kod == 0) return std::nullopt;
    return ChybaLinky(kod);
}

TChyba TSpojeni::ChybaLinky(std::uint32_t kod) const {
    return ChybaKodu(KrokInicializace, Data.Rozhrani, kod);
}
