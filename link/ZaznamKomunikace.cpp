#include "ZaznamKomunikace.h"

#include "Prikazy.h"

#include <QDateTime>
#include <QIODevice>
#include <QStringList>
#include <algorithm>

static_assert(sizeof(TRadekKomunikace) == 32, "a row of the traffic log stays 32 bytes");

TZaznamKomunikace::TZaznamKomunikace(std::size_t kapacita)
    : Velikost(std::max<std::size_t>(kapacita, 1)) {}

void TZaznamKomunikace::Zaznamenej(const TZaznamPrikazu& z,
                                   std::chrono::system_clock::time_point kdy) {
    if (Radky.empty()) Radky.resize(Velikost);
    TRadekKomunikace& r = Radky[static_cast<std::size_t>(Dalsi % Velikost)];
    r.CasUs = std::chrono::duration_cast<std::chrono::microseconds>(kdy.time_since_epoch()).count();
    r.TrvaniUs = static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(z.Trvani.count(), 0, std::int64_t{0xFFFFFFFF}));
    r.Rozhrani = z.Rozhrani;
    r.Adresa = z.Adresa;
    r.Kod = z.Kod;
    r.Parametr = z.Parametr;
    r.D = z.Odeslano;
    r.Vysledek = z.Odpoved.Vysledek;
    r.S = z.Odpoved.S;
    r.A = z.Odpoved.A;
    ++Dalsi;
    if (Dalsi - Prvni > Velikost) Prvni = Dalsi - Velikost;
}

bool TFiltrKomunikace::Propusti(const TRadekKomunikace& r) const {
    if (Adresa && r.Adresa != *Adresa) return false;
    if (Prikaz && (r.Kod != Prikaz->first || r.Parametr != Prikaz->second)) return false;
    return !JenChyby || !r.Ok();
}

const QString& TTextyKodu::Text(std::uint8_t typ, std::uint8_t kod) {
    const int klic = typ << 8 | kod;
    auto it = Texty.find(klic);
    if (it == Texty.end()) it = Texty.insert(klic, TextKodu(typ, kod));
    return *it;
}

namespace {

constexpr std::array<const char*, PocetSloupcuKomunikace> Nadpisy = {
    "Čas", "Adresa", "Příkaz", "Název", "D1-D5", "Výsledek", "S", "A1-A4", "Doba (ms)"};

QDateTime Cas(const TRadekKomunikace& r) {
    return QDateTime::fromMSecsSinceEpoch(r.CasUs / 1000);
}

template <std::size_t N>
QString Bajty(const std::array<std::uint8_t, N>& b, int zaklad, QChar oddelovac) {
    QStringList casti;
    for (const std::uint8_t v : b)
        casti << (zaklad == 16 ? QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper()
                               : QString::number(v));
    return casti.join(oddelovac);
}

QString Hex(std::uint8_t v) {
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

QString Ms(const TRadekKomunikace& r) {
    return QString::number(static_cast<double>(r.TrvaniUs) / 1000.0, 'f', 2);
}

// A CSV field: quoted when it holds a separator, a quote or a line end.
QString Pole(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n')) return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QString RadekCsv(const TRadekKomunikace& r, TTextyKodu& texty) {
    const QDateTime cas = Cas(r);
    QStringList pole{cas.toOffsetFromUtc(cas.offsetFromUtc()).toString(Qt::ISODateWithMs),
                     QString::number(r.Adresa), QString::number(r.Kod), QString::number(r.Parametr),
                     QString::fromUtf8(Prikaz::Nazev(r.Kod, r.Parametr))};
    for (const std::uint8_t d : r.D)
        pole << QString::number(d);
    pole << QString::number(r.Vysledek) << texty.Text(r.Rozhrani, r.Vysledek) << Hex(r.S);
    for (const std::uint8_t a : r.A)
        pole << Hex(a);
    pole << Ms(r);
    for (QString& p : pole)
        p = Pole(p);
    return pole.join(u',') + u'\n';
}

} // namespace

QString NadpisSloupceKomunikace(TSloupecKomunikace sloupec) {
    return QString::fromUtf8(Nadpisy[static_cast<std::size_t>(sloupec)]);
}

QString TextBunkyKomunikace(const TRadekKomunikace& r, TSloupecKomunikace sloupec,
                            TTextyKodu& texty) {
    switch (sloupec) {
    case TSloupecKomunikace::Cas:
        return Cas(r).toString(QStringLiteral("HH:mm:ss.zzz"));
    case TSloupecKomunikace::Adresa:
        return QString::number(r.Adresa);
    case TSloupecKomunikace::Prikaz:
        return QStringLiteral("%1/%2").arg(r.Kod).arg(r.Parametr);
    case TSloupecKomunikace::Nazev:
        return QString::fromUtf8(Prikaz::Nazev(r.Kod, r.Parametr));
    case TSloupecKomunikace::Data:
        return Bajty(r.D, 10, u' ');
    case TSloupecKomunikace::Vysledek:
        return QStringLiteral("%1: %2").arg(r.Vysledek).arg(texty.Text(r.Rozhrani, r.Vysledek));
    case TSloupecKomunikace::S:
        return Hex(r.S);
    case TSloupecKomunikace::Odpoved:
        return Bajty(r.A, 16, u' ');
    case TSloupecKomunikace::Doba:
        return Ms(r);
    }
    return {};
}

bool ZapisCsvKomunikace(std::span<const TRadekKomunikace> radky, TTextyKodu& texty,
                        QIODevice& cil) {
    const QByteArray hlavicka = QByteArrayLiteral(
        "čas,adresa,kód,parametr,příkaz,D1,D2,D3,D4,D5,výsledek,text,S,A1,A2,A3,A4,doba ms\n");
    if (cil.write(hlavicka) < 0) return false;
    for (const TRadekKomunikace& r : radky)
        if (cil.write(RadekCsv(r, texty).toUtf8()) < 0) return false;
    return true;
}
