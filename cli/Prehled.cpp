// The subcommand bus watch: the bus overview's engine polling the modules of
// a list in turn, each poll one row (a text line, or one JSON line), until
// the count is reached or Ctrl-C.
#include "Cli.h"
#include "PrehledSbernice.h"
#include "PrikazyCli.h"
#include "TextySbernice.h"

#include <QDateTime>
#include <QJsonArray>

namespace {

QString StavJson(const TRadekPrehledu& r) {
    if (r.Odpovida) return QStringLiteral("odpovida");
    return r.Mlci ? QStringLiteral("neodpovida") : QStringLiteral("chyba");
}

QJsonObject JsonRadku(const TRadekPrehledu& r) {
    QJsonObject o{{QStringLiteral("cas"), CasSPosunem(QDateTime::currentDateTime())},
                  {QStringLiteral("adresa"), r.Modul.Adresa},
                  {QStringLiteral("rychlost"), r.Modul.Rychlost},
                  {QStringLiteral("stav"), StavJson(r)},
                  {QStringLiteral("dotazu"), static_cast<qint64>(r.Dotazu)},
                  {QStringLiteral("neuspesnych"), static_cast<qint64>(r.Neuspesnych)}};
    if (r.Id) {
        o.insert(QStringLiteral("modul"), r.Id->Modul());
        o.insert(QStringLiteral("doplnek"), r.Id->Doplnek);
    }
    // The values of the last good poll; "platne_z" says when it was.
    if (r.Vstupy) o.insert(QStringLiteral("vstupy"), static_cast<qint64>(*r.Vstupy));
    if (r.Status) {
        o.insert(QStringLiteral("status"), static_cast<qint64>(*r.Status));
        o.insert(QStringLiteral("nastavene"),
                 QJsonArray::fromStringList(NazvyBituStatusu(*r.Status)));
    }
    if (r.Watchdog) o.insert(QStringLiteral("watchdog"), *r.Watchdog);
    if (r.CasCteni) o.insert(QStringLiteral("platne_z"), CasSPosunem(*r.CasCteni));
    if (r.MedianMs) o.insert(QStringLiteral("median_ms"), *r.MedianMs);
    if (r.PosledniChyba)
        o.insert(QStringLiteral("chyba"),
                 QJsonObject{{QStringLiteral("krok"), r.PosledniChyba->Krok},
                             {QStringLiteral("kod"), static_cast<qint64>(r.PosledniChyba->Kod)},
                             {QStringLiteral("text"), r.PosledniChyba->Text},
                             {QStringLiteral("cas"), CasSPosunem(r.PosledniChyba->Cas)}});
    return o;
}

QString TextRadku(const TRadekPrehledu& r) {
    QString text =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) +
        QStringLiteral("adresa %1, %2 Bd: %3")
            .arg(r.Modul.Adresa)
            .arg(r.Modul.Rychlost)
            .arg(TextStavuModulu(r));
    if (r.Vstupy)
        text += QStringLiteral("; vstupy %1; status %2; watchdog %3")
                    .arg(TextSlova(r.Vstupy), TextBituStatusu(r.Status), TextWatchdogu(r.Watchdog));
    text += QStringLiteral("; ") + TextZdraviModulu(r);
    if (!r.Odpovida && r.PosledniChyba) text += QStringLiteral("; ") + TextChybyModulu(r);
    return text;
}

} // namespace

int SledujSbernici(TKontext& kontext, const TZadaniPrehledu& zadani) {
    return SPripojenim(kontext, [&](TSpojeni& s) {
        const std::vector<TModulSbernice> moduly = zadani.Moduly.value_or(s.Data.Sbernice);
        if (moduly.empty())
            return kontext.Vystup.Chyba(
                {QStringLiteral("bus watch"), 0,
                 QStringLiteral("seznam modulů je prázdný (--modules, --from, nebo sekce "
                                "[Přehled sběrnice] souboru nastavení)"),
                 KodUkonceni::ChybaPouziti});
        TPrehledSbernice prehled(s.Data, moduly, zadani.PeriodaMs.value_or(s.Data.PeriodaPrehledu));
        int vysledek = KodUkonceni::Uspech;
        for (int radku = 0; zadani.Pocet == 0 || radku < zadani.Pocet;) {
            if (PozadavekPreruseni().load()) return KodUkonceni::Preruseno;
            const auto i = prehled.Krok();
            if (!i) {
                Cekej(static_cast<int>(std::max<TCasRozvrhu::rep>(
                    (prehled.PristiTermin() - TedRozvrhu()).count(), 1)));
                continue;
            }
            const TRadekPrehledu& r = prehled.Radky()[*i];
            if (!r.Odpovida) vysledek = KodUkonceni::ChybaModulu;
            kontext.Vystup.Radek(TextRadku(r));
            if (kontext.Vystup.Json()) kontext.Vystup.RadekJson(JsonRadku(r));
            ++radku;
        }
        prehled.ObnovLinku();
        return vysledek;
    });
}
