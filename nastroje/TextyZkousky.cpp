#include "TextyZkousky.h"

#include "Prikazy.h"

#include <QStringList>
#include <array>

QString NazevKroku(TDruhKroku druh, int kanal, bool propojeni) {
    static const std::array<const char*, 8> nazvy = {
        "Identifikace modulu", "Konfigurace", "Výstup",         "Všechny výstupy vypnuty",
        "Digitální vstupy",    "Watchdog",    "Status registr", "Obnovení výstupů"};
    if (druh != TDruhKroku::Vystup) return QString::fromUtf8(nazvy[static_cast<int>(druh)]);
    return propojeni ? QStringLiteral("DOUT%1 → DIN%1").arg(kanal)
                     : QStringLiteral("DOUT%1").arg(kanal);
}

namespace {

// One decimal place with the Czech decimal comma.
QString Desetinne(double x) {
    return QString::number(x, 'f', 1).replace(u'.', u',');
}

} // namespace

QString TextVysledkuKroku(TVysledekKroku v) {
    switch (v) {
    case TVysledekKroku::Proslo:
        return QStringLiteral("prošlo");
    case TVysledekKroku::Selhalo:
        return QStringLiteral("selhalo");
    case TVysledekKroku::Preskoceno:
        break;
    }
    return QStringLiteral("přeskočeno");
}

QString TextVerdiktu(TVerdikt v) {
    if (v == TVerdikt::Proslo) return QStringLiteral("prošlo");
    return v == TVerdikt::Selhalo ? QStringLiteral("selhalo") : QStringLiteral("nedokončeno");
}

QString SeznamKanalu(const QString& predpona, std::uint32_t bity) {
    QStringList kanaly;
    for (int n = 0; n < 32; ++n)
        if ((bity >> n) & 1u) kanaly << predpona + QString::number(n);
    return kanaly.join(QStringLiteral(", "));
}

QString TextBituStatusu(std::uint32_t status) {
    QStringList nazvy;
    for (const StatusBit::TPojmenovanyBit& b : StatusBit::Nazvy)
        if ((status >> b.Bit) & 1u) nazvy << QLatin1String(b.Nazev);
    for (int n = 0; n < 32; ++n)
        if (((status >> n) & 1u) && StatusBit::Nazev(n) == nullptr)
            nazvy << QStringLiteral("bit %1").arg(n);
    return nazvy.isEmpty() ? QStringLiteral("žádný") : nazvy.join(QStringLiteral(", "));
}

QString TextIdentifikace(const TIdentifikace& id) {
    return id.Modul() + QStringLiteral(", ") + id.Doplnek;
}

QString TextKonfigurace(int registru, const std::vector<TRozdilKonfigurace>& rozdily,
                        bool sSouborem) {
    const QString precteno = QStringLiteral("přečteno registrů: %1").arg(registru);
    if (!sSouborem) return precteno;
    if (rozdily.empty()) return precteno + QStringLiteral("; shoda se zvolenou konfigurací");
    QStringList r;
    for (const TRozdilKonfigurace& d : rozdily)
        r << QStringLiteral("%1 soubor %2, modul %3")
                 .arg(QLatin1String(NazevKlice(d.Klic)), d.VSouboru, d.VModulu);
    return precteno + QStringLiteral("; rozdíly: ") + r.join(QStringLiteral("; "));
}

QString TextVystupu(std::uint32_t precteno, std::uint32_t ocekavano, qint64 ms,
                    std::uint32_t vKlidu, std::uint32_t nehodnoceno) {
    QString text = QStringLiteral("vstupy 0x%1").arg(precteno, 8, 16, QLatin1Char('0'));
    const std::uint32_t rozdil = (precteno ^ ocekavano) & ~nehodnoceno;
    if (vKlidu != 0)
        text += QStringLiteral("; %1 nesleduje výstup: při vypnutých výstupech chybně")
                    .arg(SeznamKanalu(QStringLiteral("DIN"), vKlidu));
    else if (rozdil == 0)
        text += QStringLiteral(" za %1 ms").arg(ms);
    else
        text += QStringLiteral(", očekáváno 0x%1 do %2 ms; liší se %3")
                    .arg(ocekavano, 8, 16, QLatin1Char('0'))
                    .arg(ms)
                    .arg(SeznamKanalu(QStringLiteral("DIN"), rozdil));
    if (nehodnoceno != 0)
        text += QStringLiteral("; bez %1 (chybné při vypnutých výstupech)")
                    .arg(SeznamKanalu(QStringLiteral("DIN"), nehodnoceno));
    return text;
}

QString TextPotvrzeni(TVysledekKroku odpoved) {
    if (odpoved == TVysledekKroku::Proslo) return QStringLiteral("obsluha potvrdila");
    if (odpoved == TVysledekKroku::Selhalo) return QStringLiteral("obsluha nepotvrdila");
    return QStringLiteral("přeskočeno obsluhou");
}

QString TextVstupu(std::uint32_t videne) {
    const int pocet = __builtin_popcount(videne);
    const QString text = QStringLiteral("změnu ukázalo vstupů: %1 z 32").arg(pocet);
    if (pocet == 32) return text;
    return text + QStringLiteral("; neviděny: ") + SeznamKanalu(QStringLiteral("DIN"), ~videne);
}

QString TextWatchdogu(std::uint16_t nastaveno, qint64 ms, std::uint16_t precteno,
                      double ocekavano) {
    return QStringLiteral("nastaveno %1 s, po %2 s čteno %3 s (podle hodin PC %4 s ± 1)")
        .arg(nastaveno)
        .arg(Desetinne(static_cast<double>(ms) / 1000.0))
        .arg(precteno)
        .arg(Desetinne(ocekavano));
}

QString TextWatchdogVypnut() {
    return QStringLiteral("watchdog vypnut (registr 1 = 0), odpočet se neměří");
}

QString TextStatusu(std::uint32_t pred, std::uint32_t po) {
    return QStringLiteral("před vynulováním 0x%1 (%2), po vynulování 0x%3 (%4)")
        .arg(pred, 8, 16, QLatin1Char('0'))
        .arg(TextBituStatusu(pred))
        .arg(po, 8, 16, QLatin1Char('0'))
        .arg(TextBituStatusu(po));
}

QString TextObnoveni(std::uint32_t vystupy) {
    return QStringLiteral("výstupy vráceny na 0x%1").arg(vystupy, 8, 16, QLatin1Char('0'));
}

QString TextZastaveni() {
    return QStringLiteral("zkouška zastavena obsluhou");
}
