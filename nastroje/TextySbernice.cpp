#include "TextySbernice.h"

#include "Prikazy.h"
#include "RucniPrikaz.h"

#include <QDateTime>

QString TextStavuModulu(const TRadekPrehledu& r) {
    if (r.Dotazu == 0) return QStringLiteral("čeká na první dotaz");
    if (r.Odpovida) return QStringLiteral("odpovídá");
    if (r.Mlci)
        return QStringLiteral("neodpovídá, dotaz jednou za %1 s")
            .arg(TPrehledSbernice::Zaloha.count() / 1000);
    return QStringLiteral("poslední dotaz selhal");
}

QString TextIdentifikaceModulu(const TRadekPrehledu& r) {
    if (!r.Id) return {};
    return r.Id->Nazev.trimmed() + QStringLiteral(" v.") + r.Id->Verze.trimmed() +
           QStringLiteral(", ") + r.Id->Doplnek.trimmed();
}

QString TextSlova(const std::optional<std::uint32_t>& v) {
    if (!v) return {};
    return QStringLiteral("0x") + QStringLiteral("%1").arg(*v, 8, 16, QLatin1Char('0')).toUpper();
}

QString TextBituStatusu(const std::optional<std::uint32_t>& status) {
    if (!status) return {};
    const QStringList nazvy = NazvyBituStatusu(*status);
    return nazvy.isEmpty() ? QStringLiteral("žádný") : nazvy.join(u' ');
}

QString TextWatchdogu(const std::optional<std::uint16_t>& sekund) {
    return sekund ? QStringLiteral("%1 s").arg(*sekund) : QString();
}

QString TextZdraviModulu(const TRadekPrehledu& r) {
    const qint64 procent =
        r.Dotazu == 0 ? 0 : static_cast<qint64>((r.Neuspesnych * 100 + r.Dotazu / 2) / r.Dotazu);
    return QStringLiteral("dotazů %1, chyb %2 %, medián %3")
        .arg(r.Dotazu)
        .arg(procent)
        .arg(r.MedianMs ? TextMs(*r.MedianMs) + QStringLiteral(" ms") : QStringLiteral("-"));
}

QString TextSelhani(std::uint8_t kod, std::uint8_t parametr, const QString& text) {
    const char* nazev = Prikaz::Nazev(kod, parametr);
    return (nazev != nullptr ? QString::fromUtf8(nazev) : TextPrikazu(kod, parametr)) +
           QStringLiteral(": ") + text;
}

QString TextCasuDne(std::chrono::system_clock::time_point cas) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(cas.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(ms.count()).toString(QStringLiteral("HH:mm:ss"));
}

QString TextChybyModulu(const TRadekPrehledu& r) {
    if (!r.PosledniChyba) return {};
    const TChybaPrehledu& c = *r.PosledniChyba;
    return TextCasuDne(c.Cas) + u' ' + c.Krok + QStringLiteral(": ") + c.Text;
}

QString TextStarychHodnot(const std::optional<std::chrono::system_clock::time_point>& cas) {
    if (!cas) return QStringLiteral("nepřečteno");
    return QStringLiteral("nepřečteno, platí z ") + TextCasuDne(*cas);
}

QString TextZapsanychVystupu(const std::optional<std::uint32_t>& slovo) {
    if (!slovo) return QStringLiteral("z tohoto okna zatím nezapsáno");
    return QStringLiteral("naposledy zapsáno ") + TextSlova(slovo);
}

QString NapovedaVystupu() {
    return QStringLiteral("Modul nemá příkaz ke čtení výstupů: přepínače ukazují slovo naposledy "
                          "zapsané z tohoto okna, ne skutečný stav výstupů. Každá změna zapíše "
                          "celé slovo DOUT0-31 najednou.");
}

QString TextZdraviSpojeni(const TSouhrnSpojeni& s) {
    return QStringLiteral("Transakcí %1, neúspěšných %2, medián %3")
        .arg(s.Transakci)
        .arg(s.Neuspesnych)
        .arg(s.MedianMs ? TextMs(*s.MedianMs) + QStringLiteral(" ms") : QStringLiteral("-"));
}
