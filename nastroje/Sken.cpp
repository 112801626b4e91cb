#include "Sken.h"

#include "Cli.h"
#include "Prikazy.h"
#include "PrikazyCli.h"
#include "Xxxx683.h"
#include "frame.h"
#include "link.h"
#include "serialtiming.h"

#include <QJsonArray>

namespace {

constexpr std::size_t ZnakuPozadavku = zrbus::kHeaderSize + 7 + zrbus::kCrcSize; // a request
constexpr std::size_t ZnakuOdpovedi = zrbus::kHeaderSize + 6 + zrbus::kCrcSize;  // an answer
constexpr std::uint32_t RezervaMs = 20;

// Whether a module answers the probe at the address.
TOdpovedModulu Sonda(const TSpojeni& s, std::uint8_t adresa) {
    return ProvedPrikaz(s.Data.Rozhrani, s.Data.Spojeni, adresa, Prikaz::Identifikace,
                        Prikaz::IdNazev1, {0, 0, 0, 0, 0});
}

// The full identification of an address that answered, tried twice: a
// damaged answer in the middle must not lose a module, and an address whose
// identification never completes is not reported as one.
TIdentifikace Over(const TSpojeni& s, std::uint8_t adresa) {
    TIdentifikace id = IdentifikujModul(s.Data.Rozhrani, s.Data.Spojeni, adresa);
    if (!id.Ok()) id = IdentifikujModul(s.Data.Rozhrani, s.Data.Spojeni, adresa);
    return id;
}

} // namespace

std::uint32_t CasovyLimitSondy(std::int32_t rychlost) {
    const auto baud = static_cast<std::uint32_t>(rychlost);
    const auto naLince = zrbus::lineTime(ZnakuPozadavku + ZnakuOdpovedi, baud) +
                         std::chrono::milliseconds(2 * zrbus::lineSilenceMs(baud));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(naLince).count() + 1;
    return static_cast<std::uint32_t>(ms + ms / 4) + RezervaMs;
}

TVysledekSkenu Skenuj(TSpojeni& s, const std::vector<std::uint8_t>& adresy,
                      const std::vector<std::int32_t>& rychlosti,
                      const std::function<void(const TStavSkenu&)>& prubeh,
                      const std::function<bool()>& prerusit) {
    TVysledekSkenu v;
    TStavSkenu stav;
    stav.Celkem = static_cast<int>(adresy.size() * rychlosti.size());
    // The estimate: the time-outs still ahead, scaled by how the time spent
    // so far compares with the time-outs behind.
    double ocekavanoCelkem = 0, ocekavanoHotovo = 0;
    for (const std::int32_t rychlost : rychlosti)
        ocekavanoCelkem += static_cast<double>(CasovyLimitSondy(rychlost) * adresy.size());
    const auto zacatek = std::chrono::steady_clock::now();
    for (const std::int32_t rychlost : rychlosti) {
        if ((v.Chyba = s.NastavLinku(rychlost, CasovyLimitSondy(rychlost)))) return v;
        for (const std::uint8_t adresa : adresy) {
            if (prerusit && prerusit()) {
                v.Preruseno = true;
                return v;
            }
            if (Sonda(s, adresa).Ok()) {
                const TIdentifikace id = Over(s, adresa);
                if (id.Ok())
                    v.Moduly.push_back({adresa, rychlost, id});
                else
                    v.Nepotvrzene.push_back({adresa, rychlost, id.Vysledek});
            }
            v.Hotovo = ++stav.Hotovo;
            stav.Nalezeno = static_cast<int>(v.Moduly.size());
            ocekavanoHotovo += CasovyLimitSondy(rychlost);
            const std::chrono::duration<double, std::milli> uplynulo =
                std::chrono::steady_clock::now() - zacatek;
            stav.Zbyva = std::chrono::milliseconds(static_cast<std::int64_t>(
                uplynulo.count() * (ocekavanoCelkem - ocekavanoHotovo) / ocekavanoHotovo));
            if (prubeh) prubeh(stav);
        }
    }
    return v;
}

// ---- The subcommand --------------------------------------------------------

namespace {

QString TextCasu(std::chrono::milliseconds cas) {
    const auto s = cas.count() / 1000;
    if (s < 60) return QStringLiteral("%1 s").arg(s);
    return QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60);
}

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
                         .arg(m.Id.Modul(), m.Id.Doplnek));
        moduly.append(JsonModulu(m));
    }
    for (const TNepotvrzenaOdpoved& n : v.Nepotvrzene) {
        nepotvrzene.append(QJsonObject{{QStringLiteral("adresa"), n.Adresa},
                                       {QStringLiteral("rychlost"), n.Rychlost},
                                       {QStringLiteral("kod"), n.Kod}});
        vystup.Hlaseni(QStringLiteral("varování: adresa %1, %2 Bd odpověděla, ale identifikace "
                                      "selhala (%3); modul není započítán")
                           .arg(n.Adresa)
                           .arg(n.Rychlost)
                           .arg(TextKodu(s.Data.Rozhrani, n.Kod)));
    }
    vystup.Radek(QStringLiteral("Nalezeno modulů: %1 (sond %2 z %3)%4")
                     .arg(v.Moduly.size())
                     .arg(v.Hotovo)
                     .arg(celkem)
                     .arg(v.Preruseno ? QStringLiteral(", přerušeno") : QString()));
    if (vystup.Json())
        vystup.Dokument({{QStringLiteral("moduly"), moduly},
                         {QStringLiteral("nepotvrzene"), nepotvrzene},
                         {QStringLiteral("sond"), v.Hotovo},
                         {QStringLiteral("celkem"), celkem},
                         {QStringLiteral("preruseno"), v.Preruseno}});
}

} // namespace

int Scan(TKontext& kontext, const std::vector<std::uint8_t>& adresy,
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
            Skenuj(s, adresy, rychlosti, prubeh, [] { return PozadavekPreruseni().load(); });
        if (ukazovat) kontext.Vystup.Prubeh(QStringLiteral("\n"));
        if (v.Chyba) return kontext.Vystup.Chyba(*v.Chyba);
        TiskniVysledek(kontext, s, v, static_cast<int>(adresy.size() * rychlosti.size()));
        return v.Preruseno ? KodUkonceni::Preruseno : KodUkonceni::Uspech;
    });
}
