#include "Texty.h"

#include "Prevod.h"
#include "Xxxx683.h"

#include <QDateTime>

QString MistoSekvence(const QString& krok, const TVysledekSekvence& v,
                      const TKonfigurace* zapsano) {
    if (v.Konec == TKonecSekvence::Preruseno && zapsano == nullptr) return krok;
    return QStringLiteral("%1, registr %2").arg(krok).arg(v.Registr);
}

QString DuvodSekvence(std::uint8_t typ, const TVysledekSekvence& v, const TKonfigurace* zapsano) {
    if (v.Konec == TKonecSekvence::Preruseno && zapsano != nullptr)
        return QStringLiteral("přerušeno; registr %1 už může držet novou hodnotu").arg(v.Registr);
    if (v.Konec == TKonecSekvence::Preruseno) return QStringLiteral("přerušeno");
    if (v.Konec == TKonecSekvence::ChybaZapisu && zapsano != nullptr)
        return QStringLiteral("Chyba zápisu dat. (zapsáno %1, přečteno %2)")
            .arg(HodnotaRegistru(*zapsano, v.Registr).value_or(0))
            .arg(v.Precteno);
    if (v.Konec == TKonecSekvence::ChybaZapisu) return TextChybyZapisu(v.Precteno);
    return TextKodu(typ, v.Kod);
}

QString RadekSekvence(std::uint8_t typ, const QString& krok, const TVysledekSekvence& v) {
    if (v.Konec == TKonecSekvence::Nepripojeno) return TextNeinicializovano();
    const QString radek =
        u' ' + MistoSekvence(krok, v) + QStringLiteral(": ") + DuvodSekvence(typ, v);
    return v.Konec == TKonecSekvence::Preruseno ? radek + u'.' : radek;
}

QString TextChybyZapisu(std::uint8_t precteno) {
    return QStringLiteral("Chyba zápisu dat. (přečteno %1)").arg(precteno);
}

QString TextZapisuRegistru(const TZapisRegistru& z) {
    if (z.Ok()) return {};
    return z.Precteno ? TextChybyZapisu(*z.Precteno) : z.Text;
}

QString TextVerze(const TKontrolaVerze& v, std::uint16_t inicializacniCas) {
    return QStringLiteral("modul verze %1 dovoluje inicializační čas 1-255 s, soubor udává %2 s")
        .arg(v.Verze)
        .arg(inicializacniCas);
}

QString TextObsazeneAdresy(const TKontrolaVerze& v, const TKonfigurace& k) {
    return QStringLiteral("adresa %1 při %2 Bd je obsazena%3")
        .arg(k.Adresa)
        .arg(IndexNaRychlost(k.Rychlost))
        .arg(v.Modul.isEmpty() ? QString()
                               : QStringLiteral(" (modul %1)").arg(ZobrazitelnyText(v.Modul)));
}

QString TextOvereni(const TVysledekSekvence& v, const TKonfigurace& zapsana) {
    return QStringLiteral("modul nyní drží %1 místo zapsané %2 (zapisoval do něj současně "
                          "někdo jiný?)")
        .arg(v.Precteno)
        .arg(HodnotaRegistru(zapsana, v.Registr).value_or(0));
}

QString MistoCfm(const TChybaCfm& chyba) {
    return chyba.Radek > 0 ? QStringLiteral("řádek %1").arg(chyba.Radek) : QString();
}

QString TextNeplatneHodnoty(const TChybaCfm& chyba) {
    return QStringLiteral("řádek %1: %2; soubor nepůjde nahrát, dokud hodnotu neopravíte")
        .arg(chyba.Radek)
        .arg(chyba.Text);
}

QStringList HlavickaCfm(const QString& puvod, const QString& modul, std::uint8_t adresa,
                        std::int32_t rychlost) {
    QString prvni = QStringLiteral("Konfigurace modulu ZR-464");
    if (!puvod.isEmpty()) prvni += QStringLiteral(" (%1)").arg(puvod);
    return {prvni, QStringLiteral("modul %1, adresa %2, %3 Bd, %4")
                       .arg(modul.isEmpty() ? QStringLiteral("?") : modul)
                       .arg(adresa)
                       .arg(rychlost)
                       .arg(QDateTime::currentDateTime().toString(Qt::ISODate))};
}

QString TextSouhrnuSkenu(const TVysledekSkenu& v, int celkem) {
    const QString nepotvrzene =
        v.Nepotvrzene.empty()
            ? QString()
            : QStringLiteral(", nepotvrzených odpovědí: %1").arg(v.Nepotvrzene.size());
    return QStringLiteral("Nalezeno modulů: %1 (sond %2 z %3)%4%5")
        .arg(v.Moduly.size())
        .arg(v.Hotovo)
        .arg(celkem)
        .arg(nepotvrzene, v.Preruseno ? QStringLiteral(", přerušeno") : QString());
}

QString TextJenPoskozena() {
    return QStringLiteral(
        "jen poškozená odpověď, možná kolize dvou modulů na stejné adrese a rychlosti");
}

QString TextNepotvrzene(std::uint8_t typ, const TNepotvrzenaOdpoved& n) {
    const QString misto = QStringLiteral("adresa %1, %2 Bd: ").arg(n.Adresa).arg(n.Rychlost);
    if (n.JenPoskozena) return misto + TextJenPoskozena();
    return misto +
           QStringLiteral("odpověděla, ale identifikace selhala (%1)").arg(TextKodu(typ, n.Kod));
}

QString RadekNastaveniLinky(std::uint8_t typ, std::int32_t rychlost, std::uint32_t kod) {
    return QStringLiteral(" Nastavení rychlosti %1 Bd: %2").arg(rychlost).arg(TextKodu(typ, kod));
}
