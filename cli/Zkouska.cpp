// commission: the commissioning test through the loopback fixture, its lines
// or JSON document, the report as PDF and JSON, and the exit code.
#include "Cfm.h"
#include "Cli.h"
#include "ObycejnySoubor.h"
#include "PrikazyCli.h"
#include "ProtokolZkousky.h"
#include "Texty.h"
#include "TextyZkousky.h"

#include <QJsonObject>

namespace {

int KodZkousky(const TVysledekZkousky& v) {
    if (v.KodChyby() != 0) return KodUkonceni::ChybaModulu;
    if (v.Verdikt() == TVerdikt::Selhalo) return KodUkonceni::Nesouhlas;
    return v.Zastaveno ? KodUkonceni::Preruseno : KodUkonceni::Uspech;
}

void TiskniKroky(TVystup& vystup, const TVysledekZkousky& v) {
    for (const TKrokZkousky& k : v.Kroky)
        vystup.Radek(
            QStringLiteral("%1: %2 (%3)").arg(k.Nazev, TextVysledkuKroku(k.Vysledek), k.Namereno));
    vystup.Radek(QStringLiteral("Výsledek zkoušky: ") + TextVerdiktu(v.Verdikt()));
}

} // namespace

int ZkousejModul(TKontext& kontext, const TZadaniZkousky& zadani) {
    TNastaveniZkousky n;
    n.Propojeni = true;
    n.CasOdezvyMs = zadani.CasOdezvyMs;
    n.ObnovitVystupy = zadani.ObnovitVystupy;
    // A path that cannot take the report is refused before the module is asked.
    if (const QString proc = NeniSouborem(zadani.Protokol); !proc.isEmpty())
        return kontext.Vystup.Chyba({QStringLiteral("zápis protokolu ") + zadani.Protokol, 0, proc,
                                     KodUkonceni::ChybaPouziti});
    TChybaCfm chybaCfm;
    if (!zadani.Ocekavana.isEmpty() &&
        !(n.Ocekavana = NactiSouborCfm(zadani.Ocekavana, chybaCfm))) {
        const QString radek = MistoCfm(chybaCfm);
        const QString misto = radek.isEmpty() ? QStringLiteral("soubor") : radek;
        return kontext.Vystup.Chyba({zadani.Ocekavana + QStringLiteral(", ") + misto, 0,
                                     chybaCfm.Text, KodUkonceni::ChybaPouziti});
    }
    return SPripojenim(kontext, [&](TSpojeni& s) {
        kontext.Vystup.Hlaseni(QStringLiteral("Výstupy se po zkoušce vrátí na 0x%1.")
                                   .arg(n.ObnovitVystupy, 8, 16, QLatin1Char('0')));
        const TVysledekZkousky v =
            Zkousej(s.Data, n, nullptr, [] { return PozadavekPreruseni().load(); });
        TProtokolZkousky p = NovyProtokol(s.Data, n, v, zadani.Obsluha);
        p.SouborOcekavane = zadani.Ocekavana;
        TiskniKroky(kontext.Vystup, v);
        QString chyba;
        if (!UlozProtokol(zadani.Protokol, p, true, chyba))
            return kontext.Vystup.Chyba({QStringLiteral("zápis protokolu ") + zadani.Protokol, 0,
                                         chyba, KodUkonceni::ChybaPouziti});
        kontext.Vystup.Radek(
            QStringLiteral("Protokol: %1, %2").arg(zadani.Protokol, CestaJson(zadani.Protokol)));
        if (kontext.Vystup.Json()) {
            QJsonObject json = JsonProtokolu(p);
            json.insert(QStringLiteral("protokol"), zadani.Protokol);
            kontext.Vystup.Dokument(json);
        }
        return KodZkousky(v);
    });
}
