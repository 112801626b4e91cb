#include "Vystup.h"

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

} // namespace

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

void TVystup::Radek(const QString& text) {
    if (!JeJson) Out << Utf8(text) << '\n';
}

void TVystup::Dokument(const QJsonObject& dokument) {
    Out << QJsonDocument(dokument).toJson(QJsonDocument::Compact).toStdString() << '\n';
    Out.flush();
}

void TVystup::RadekJson(const QJsonObject& objekt) {
    Out << QJsonDocument(objekt).toJson(QJsonDocument::Compact).toStdString() << '\n';
    Out.flush();
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

void TVystup::Prubeh(const QString& text) {
    Err << Utf8(text);
    Err.flush();
}
