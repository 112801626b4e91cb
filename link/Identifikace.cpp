#include "Identifikace.h"

#include "Prikazy.h"
#include "Xxxx683.h"

#include <QByteArray>
#include <QStringDecoder>
#include <array>

namespace {

// Identification items in the order they are asked for.
constexpr std::array<std::uint8_t, 5> PolozkyIdentifikace = {
    Prikaz::IdNazev1, Prikaz::IdNazev2, Prikaz::IdVerze, Prikaz::IdDoplnek1, Prikaz::IdDoplnek2};

} // namespace

QString ZnakyModulu(const QByteArray& bajty) {
    QStringDecoder dekoder("windows-1250");
    if (!dekoder.isValid()) return QString::fromLatin1(bajty);
    return dekoder.decode(bajty);
}

bool JednobajtovyInicializacniCas(const QString& verze) {
    return verze == QLatin1String("1.00") || verze == QLatin1String("1.01") ||
           verze == QLatin1String("1.02");
}

TIdentifikace IdentifikujModul(std::uint8_t typ, std::uint32_t spojeni, std::uint8_t adresa) {
    TIdentifikace id;
    QByteArray znaky;
    std::uint8_t d1 = 0;
    for (const std::uint8_t polozka : PolozkyIdentifikace) {
        const TOdpovedModulu o =
            ProvedPrikaz(typ, spojeni, adresa, Prikaz::Identifikace, polozka, {d1, 0, 0, 0, 0});
        if (!o.Ok()) {
            id.Vysledek = o.Vysledek;
            return id;
        }
        d1 = o.S;
        for (const std::uint8_t znak : o.A)
            znaky.append(static_cast<char>(znak));
    }
    const QString text = ZnakyModulu(znaky);
    id.Nazev = text.left(8);
    id.Verze = text.mid(8, 4);
    id.Doplnek = text.mid(12, 8);
    return id;
}
