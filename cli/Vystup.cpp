#include "Vystup.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString Bajty(const std::uint8_t* b, std::size_t pocet) {
    QStringList casti;
    for (std::size_t i = 0; i < pocet; ++i)
        casti << QString::number(b[i]);
    return casti.join(QLatin1Char(' '));
}

QJsonArray PoleBajtu(const std::uint8_t* b, std::size_t pocet) {
    QJsonArray pole;
    for (std::size_t i = 0; i < pocet; ++i)
        pole.append(b[i]);
    return pole;
}

std::string TraceJson(const TZaznamPrikazu& z, const QString& text, double ms) {
    const QJsonObject o{{QStringLiteral("prikaz"), z.Kod},
                        {QStringLiteral("parametr"), z.Parametr},
                        {QStringLiteral("adresa"), z.Adresa},
                        {QStringLiteral("d"), PoleBajtu(z.Odeslano.data(), 5)},
                        {QStringLiteral("vysledek"), z.Odpoved.Vysledek},
                        {QStringLiteral("text"), text},
                        {QStringLiteral("s"), z.Odpoved.S},
                        {QStringLiteral("a"), PoleBajtu(z.Odpoved.A.data(), 4)},
                        {QStringLiteral("ms"), ms}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

// "příkaz 100/0 adresa 1 D 0 0 0 0 0 -> výsledek 0 (text) S 16 A 1 2 3 4 0.09 ms"
std::string TraceText(const TZaznamPrikazu& z, const QString& text, double ms) {
    return Utf8(
        QStringLiteral("příkaz %1/%2 adresa %3 D ").arg(z.Kod).arg(z.Parametr).arg(z.Adresa) +
        Bajty(z.Odeslano.data(), 5) + QStringLiteral(" -> výsledek %1 (").arg(z.Odpoved.Vysledek) +
        text + QStringLiteral(") S %1 A ").arg(z.Odpoved.S) + Bajty(z.Odpoved.A.data(), 4) +
        QStringLiteral(" %1 ms").arg(ms, 0, 'f', 2));
}

QString Cas(std::chrono::system_clock::time_point t) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
    return CasSPosunem(QDateTime::fromMSecsSinceEpoch(ms.count()));
}

QString Ms(const std::optional<double>& ms) {
    return ms ? QString::number(*ms, 'f', 2) : QStringLiteral("-");
}

QJsonValue JsonMs(const std::optional<double>& ms) {
    return ms ? QJsonValue(*ms) : QJsonValue();
}

QJsonObject JsonStatistiky(const TSouhrnSpojeni& s) {
    QJsonArray kody;
    for (const TSouhrnSpojeni::TChyba& c : s.PodleKodu)
        kody.append(QJsonObject{{QStringLiteral("kod"), c.Kod},
                                {QStringLiteral("text"), TextKodu(s.Rozhrani, c.Kod)},
                                {QStringLiteral("pocet"), static_cast<qint64>(c.Pocet)}});
    QJsonValue posledni;
    if (s.PosledniChyba)
        posledni = QJsonObject{{QStringLiteral("kod"), *s.PosledniChyba},
                               {QStringLiteral("text"), TextKodu(s.Rozhrani, *s.PosledniChyba)},
                               {QStringLiteral("cas"), Cas(s.CasPosledniChyby)}};
    return {
        {QStringLiteral("transakci"), static_cast<qint64>(s.Transakci)},
        {QStringLiteral("uspesnych"), static_cast<qint64>(s.Uspesnych)},
        {QStringLiteral("neuspesnych"), static_cast<qint64>(s.Neuspesnych)},
        {QStringLiteral("vyprseni"), static_cast<qint64>(s.Vyprseni)},
        {QStringLiteral("poskozenych"), static_cast<qint64>(s.Poskozenych)},
        {QStringLiteral("podle_kodu"), kody},
        {QStringLiteral("odezva_ms"), QJsonObject{{QStringLiteral("min"), JsonMs(s.MinMs)},
                                                  {QStringLiteral("median"), JsonMs(s.MedianMs)},
                                                  {QStringLiteral("p95"), JsonMs(s.P95Ms)},
                                                  {QStringLiteral("max"), JsonMs(s.MaxMs)}}},
        {QStringLiteral("posledni_chyba"), posledni}};
}

QStringList TextStatistiky(const TSouhrnSpojeni& s) {
    QStringList radky{
        QStringLiteral("transakcí %1, úspěšných %2, neúspěšných %3 (vypršení času %4, "
                       "poškozené odpovědi %5)")
            .arg(s.Transakci)
            .arg(s.Uspesnych)
            .arg(s.Neuspesnych)
            .arg(s.Vyprseni)
            .arg(s.Poskozenych),
        QStringLiteral("doba odezvy ms: min %1, medián %2, 95 % %3, max %4")
            .arg(Ms(s.MinMs), Ms(s.MedianMs), Ms(s.P95Ms), Ms(s.MaxMs))};
    for (const TSouhrnSpojeni::TChyba& c : s.PodleKodu)
        radky << QStringLiteral("kód %1 (%2): %3")
                     .arg(c.Kod)
                     .arg(TextKodu(s.Rozhrani, c.Kod))
                     .arg(c.Pocet);
    if (s.PosledniChyba)
        radky << QStringLiteral("poslední chyba: %1 kód %2 (%3)")
                     .arg(Cas(s.CasPosledniChyby))
                     .arg(*s.PosledniChyba)
                     .arg(TextKodu(s.Rozhrani, *s.PosledniChyba));
    return radky;
}

} // namespace

QString CasSPosunem(std::chrono::system_clock::time_point cas) {
    return Cas(cas);
}

QString CasSPosunem(const QDateTime& cas) {
    return cas.toOffsetFromUtc(cas.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QString PopisChyby(const TChyba& chyba) {
    QString text = chyba.Krok + QStringLiteral(": ") + chyba.Text;
    if (chyba.Kod != 0) text += QStringLiteral(" (kód %1)").arg(chyba.Kod);
    return text;
}

QJsonObject JsonChyby(const TChyba& chyba) {
    return {{QStringLiteral("krok"), chyba.Krok},
            {QStringLiteral("kod"), static_cast<qint64>(chyba.Kod)},
            {QStringLiteral("text"), chyba.Text}};
}

// Each line is flushed as it is written: a reader at a pipe or a file sees
// every reading of --watch as it comes.
void TVystup::Radek(const QString& text) {
    if (JeJson) return;
    Out << Utf8(text) << '\n';
    Out.flush();
}

void TVystup::Dokument(const QJsonObject& dokument) {
    RadekJson(dokument);
}

void TVystup::RadekJson(const QJsonObject& objekt) {
    QJsonObject o = objekt;
    if (!Varovani_.isEmpty())
        o.insert(QStringLiteral("varovani"), QJsonArray::fromStringList(Varovani_));
    Out << QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString() << '\n';
    Out.flush();
}

void TVystup::Varovani(const QString& text) {
    Hlaseni(QStringLiteral("varování: ") + text);
    Varovani_ << text;
}

void TVystup::Hlaseni(const QString& text) {
    Err << Utf8(text) << '\n';
    Err.flush();
}

int TVystup::Chyba(const TChyba& chyba) {
    Hlaseni(QStringLiteral("chyba: ") + PopisChyby(chyba));
    if (JeJson) Dokument({{QStringLiteral("chyba"), JsonChyby(chyba)}});
    return chyba.KodUkonceni;
}

void TVystup::Stopa(const TZaznamPrikazu& z) {
    const double ms = static_cast<double>(z.Trvani.count()) / 1000.0;
    const QString text = TextKodu(z.Rozhrani, z.Odpoved.Vysledek);
    Err << (JeJson ? TraceJson(z, text, ms) : TraceText(z, text, ms)) << '\n';
    Err.flush();
}

void TVystup::Statistika(const TSouhrnSpojeni& souhrn) {
    if (JeJson) {
        const QJsonObject o{{QStringLiteral("statistika"), JsonStatistiky(souhrn)}};
        Err << QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString() << '\n';
    } else {
        for (const QString& radek : TextStatistiky(souhrn))
            Err << Utf8(QStringLiteral("statistika: ") + radek) << '\n';
    }
    Err.flush();
}

void TVystup::Prubeh(const QString& text) {
    Err << Utf8(text);
    Err.flush();
}
