// send: one command of any code and parameter with its five data bytes, once
// or repeated, with the answer in words and the round-trip times.
#include "Cli.h"
#include "Prikazy.h"
#include "PrikazyCli.h"

#include <QJsonArray>

namespace {

template <std::size_t N> QJsonArray PoleBajtu(const std::array<std::uint8_t, N>& b) {
    QJsonArray pole;
    for (const std::uint8_t v : b)
        pole.append(v);
    return pole;
}

QJsonValue JsonMs(const std::optional<double>& ms) {
    return ms ? QJsonValue(*ms) : QJsonValue();
}

double Ms(const TOdpovedRucni& o) {
    return static_cast<double>(o.Doba.count()) / 1000.0;
}

QJsonObject JsonOdpovedi(const TRucniPrikaz& p, const TOdpovedRucni& o, const QString& text) {
    const char* nazev = Prikaz::Nazev(p.Kod, p.Parametr);
    return {{QStringLiteral("adresa"), p.Adresa},
            {QStringLiteral("prikaz"), p.Kod},
            {QStringLiteral("parametr"), p.Parametr},
            {QStringLiteral("nazev"),
             nazev != nullptr ? QJsonValue(QString::fromUtf8(nazev)) : QJsonValue()},
            {QStringLiteral("d"), PoleBajtu(p.D)},
            {QStringLiteral("vysledek"), o.Odpoved.Vysledek},
            {QStringLiteral("text"), text},
            {QStringLiteral("s"), o.Odpoved.S},
            {QStringLiteral("s_bity"), QJsonArray::fromStringList(NazvyBituStatusu(o.Odpoved.S))},
            {QStringLiteral("a"), PoleBajtu(o.Odpoved.A)},
            {QStringLiteral("znaky"), ZnakyOdpovedi(o.Odpoved.A)},
            {QStringLiteral("ms"), Ms(o)}};
}

QJsonObject JsonSouhrnu(const TSouhrnSpojeni& s) {
    return {
        {QStringLiteral("odeslano"), static_cast<qint64>(s.Transakci)},
        {QStringLiteral("neuspesnych"), static_cast<qint64>(s.Neuspesnych)},
        {QStringLiteral("odezva_ms"), QJsonObject{{QStringLiteral("min"), JsonMs(s.MinMs)},
                                                  {QStringLiteral("median"), JsonMs(s.MedianMs)},
                                                  {QStringLiteral("p95"), JsonMs(s.P95Ms)},
                                                  {QStringLiteral("max"), JsonMs(s.MaxMs)}}}};
}

// The answer over several lines, after the command.
void VypisOdpoved(TVystup& v, const TRucniPrikaz& p, const TOdpovedRucni& o, const QString& text) {
    const TOdpovedModulu& a = o.Odpoved;
    v.Radek(QStringLiteral("příkaz %1, adresa %2, D %3")
                .arg(TextPrikazu(p.Kod, p.Parametr))
                .arg(p.Adresa)
                .arg(TextDat(p.D)));
    v.Radek(QStringLiteral("výsledek %1: %2").arg(a.Vysledek).arg(text));
    v.Radek(QStringLiteral("S %1").arg(TextS(a.S)));
    v.Radek(QStringLiteral("A1-A4 %1 | %2 | „%3“")
                .arg(HexOdpovedi(a.A), DesitkoveOdpovedi(a.A), ZnakyOdpovedi(a.A)));
    v.Radek(QStringLiteral("doba %1 ms").arg(TextMs(Ms(o))));
}

// One repeat on one line: "3: výsledek 0 (text), S 0x00, A 0x.. .., 0.21 ms".
QString RadekOpakovani(int poradi, const TOdpovedRucni& o, const QString& text) {
    return QStringLiteral("%1: výsledek %2 (%3), S %4, A %5, %6 ms")
        .arg(poradi)
        .arg(o.Odpoved.Vysledek)
        .arg(text, TextS(o.Odpoved.S), HexOdpovedi(o.Odpoved.A), TextMs(Ms(o)));
}

int Jednou(TKontext& k, TSpojeni& s, const TRucniPrikaz& p) {
    TRelaceModulu relace = s.Relace();
    const TOdpovedRucni o = OdesliRucne(relace, p);
    const QString text = relace.TextKodu(o.Odpoved.Vysledek);
    VypisOdpoved(k.Vystup, p, o, text);
    if (k.Vystup.Json()) k.Vystup.Dokument(JsonOdpovedi(p, o, text));
    return o.Odpoved.Ok() ? KodUkonceni::Uspech : KodUkonceni::ChybaModulu;
}

int Opakovane(TKontext& k, TSpojeni& s, const TRucniPrikaz& p, int pocet, int interval) {
    TRelaceModulu relace = s.Relace();
    TStatistikaSpojeni statistika;
    k.Vystup.Radek(QStringLiteral("příkaz %1, adresa %2, D %3, %4krát")
                       .arg(TextPrikazu(p.Kod, p.Parametr))
                       .arg(p.Adresa)
                       .arg(TextDat(p.D))
                       .arg(pocet));
    for (int i = 0; i < pocet && !PozadavekPreruseni().load(); ++i) {
        if (i > 0) Cekej(interval);
        if (PozadavekPreruseni().load()) break;
        const TOdpovedRucni o = OdesliRucne(relace, p);
        Zapocitej(statistika, p, o);
        const QString text = relace.TextKodu(o.Odpoved.Vysledek);
        k.Vystup.Radek(RadekOpakovani(i + 1, o, text));
        QJsonObject json = JsonOdpovedi(p, o, text);
        json.insert(QStringLiteral("poradi"), i + 1);
        if (k.Vystup.Json()) k.Vystup.RadekJson(json);
    }
    const TSouhrnSpojeni souhrn = statistika.Souhrn();
    k.Vystup.Radek(QStringLiteral("souhrn: ") + TextOpakovani(souhrn));
    if (k.Vystup.Json()) k.Vystup.RadekJson({{QStringLiteral("souhrn"), JsonSouhrnu(souhrn)}});
    if (PozadavekPreruseni().load()) return KodUkonceni::Preruseno;
    return souhrn.Neuspesnych == 0 ? KodUkonceni::Uspech : KodUkonceni::ChybaModulu;
}

} // namespace

int PosliRucne(TKontext& kontext, const TRucniPrikaz& prikaz, int pocet, int interval) {
    return SPripojenim(kontext, [&](TSpojeni& s) {
        TRucniPrikaz p = prikaz;
        p.Adresa = s.Data.Adresa;
        return pocet > 0 ? Opakovane(kontext, s, p, pocet, interval) : Jednou(kontext, s, p);
    });
}
