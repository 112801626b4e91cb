// The subcommand scan: the bus scan of zr_nastroje with its progress line,
// its result lines and its JSON document.
#include "Cli.h"
#include "Prevod.h"
#include "PrikazyCli.h"
#include "Sken.h"
#include "Texty.h"

#include <QJsonArray>

namespace {

QJsonObject JsonModulu(const TNalezenyModul& m) {
    return {{QStringLiteral("adresa"), m.Adresa},    {QStringLiteral("rychlost"), m.Rychlost},
            {QStringLiteral("modul"), m.Id.Modul()}, {QStringLiteral("nazev"), m.Id.Nazev},
            {QStringLiteral("verze"), m.Id.Verze},   {QStringLiteral("doplnek"), m.Id.Doplnek}};
}

void TiskniVysledek(TKontext& kontext, const TSpojeni& s, const TVysledekSkenu& v, int celkem) {
    TVystup& vystup = kontext.Vystup;
    QJsonArray moduly, nepotvrzene;
    for (const TNalezenyModul& m : v.Moduly) {
        vystup.Radek(QStringLiteral("adresa %1, %2 Bd: %3, doplněk %4")
                         .arg(m.Adresa)
                         .arg(m.Rychlost)
                         .arg(ZobrazitelnyText(m.Id.Modul()), ZobrazitelnyText(m.Id.Doplnek)));
        moduly.append(JsonModulu(m));
    }
    for (const TNepotvrzenaOdpoved& n : v.Nepotvrzene) {
        nepotvrzene.append(QJsonObject{{QStringLiteral("adresa"), n.Adresa},
                                       {QStringLiteral("rychlost"), n.Rychlost},
                                       {QStringLiteral("kod"), n.Kod}});
        vystup.Hlaseni(QStringLiteral("varování: ") + TextNepotvrzene(s.Data.Rozhrani, n) +
                       QStringLiteral("; modul není započítán"));
    }
    vystup.Radek(TextSouhrnuSkenu(v, celkem));
    if (vystup.Json())
        vystup.Dokument({{QStringLiteral("moduly"), moduly},
                         {QStringLiteral("nepotvrzene"), nepotvrzene},
                         {QStringLiteral("sond"), v.Hotovo},
                         {QStringLiteral("celkem"), celkem},
                         {QStringLiteral("preruseno"), v.Preruseno}});
}

} // namespace

int HledejModuly(TKontext& kontext, const std::vector<std::uint8_t>& adresy,
                 const std::vector<std::int32_t>& rychlosti) {
    return SPripojenim(kontext, [&](TSpojeni& s) {
        const bool ukazovat = kontext.Prostredi.ChybovyTerminal;
        auto prubeh = [&](const TStavSkenu& st) {
            if (!ukazovat) return;
            kontext.Vystup.Prubeh(QStringLiteral("\rSkenování: %1/%2, nalezeno %3, zbývá asi %4   ")
                                      .arg(st.Hotovo)
                                      .arg(st.Celkem)
                                      .arg(st.Nalezeno)
                                      .arg(TextCasu(st.Zbyva)));
        };
        const TVysledekSkenu v =
            Skenuj(s.Data, adresy, rychlosti, prubeh, [] { return PozadavekPreruseni().load(); });
        if (ukazovat) kontext.Vystup.Prubeh(QStringLiteral("\n"));
        if (v.KodLinky != 0) return kontext.Vystup.Chyba(s.ChybaLinky(v.KodLinky));
        TiskniVysledek(kontext, s, v, static_cast<int>(adresy.size() * rychlosti.size()));
        return v.Preruseno ? KodUkonceni::Preruseno : KodUkonceni::Uspech;
    });
}
