#include "RucniPrikaz.h"

#include "Identifikace.h"
#include "Prikazy.h"

TOdpovedRucni OdesliRucne(TRelaceModulu& relace, const TRucniPrikaz& prikaz) {
    relace.NastavAdresu(prikaz.Adresa);
    const auto zacatek = std::chrono::steady_clock::now();
    TOdpovedRucni o;
    o.Odpoved = relace.Posli(prikaz.Kod, prikaz.Parametr, prikaz.D);
    o.Doba = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - zacatek);
    return o;
}

void Zapocitej(TStatistikaSpojeni& statistika, const TRucniPrikaz& prikaz,
               const TOdpovedRucni& odpoved) {
    TZaznamPrikazu z;
    z.Adresa = prikaz.Adresa;
    z.Kod = prikaz.Kod;
    z.Parametr = prikaz.Parametr;
    z.Odeslano = prikaz.D;
    z.Odpoved = odpoved.Odpoved;
    z.Trvani = odpoved.Doba;
    statistika.Zaznamenej(z, std::chrono::system_clock::now(), 0);
}

QString OtazkaZapisu(const TRucniPrikaz& p) {
    if (p.Kod != Prikaz::ZapisRegistr) return {};
    const std::uint8_t hodnota = p.D[3];
    if (p.D[1] == Registr::Adresa)
        return QStringLiteral("Zápis registru 63 změní adresu modulu na %1. Modul pak "
                              "odpovídá jen na ní. Odeslat?")
            .arg(hodnota);
    if (p.D[1] != Registr::Rychlost) return {};
    const QString rychlost = hodnota < Sbernice::RychlostiBd.size()
                                 ? QStringLiteral("%1 Bd").arg(Sbernice::RychlostiBd[hodnota])
                                 : QStringLiteral("neplatnou hodnotu");
    return QStringLiteral("Zápis registru 62 změní rychlost modulu na %1 (index %2). Modul pak "
                          "odpovídá jen při ní. Odeslat?")
        .arg(rychlost)
        .arg(hodnota);
}

QString TextPrikazu(std::uint8_t kod, std::uint8_t parametr) {
    const char* nazev = Prikaz::Nazev(kod, parametr);
    const QString text = QStringLiteral("%1/%2").arg(kod).arg(parametr);
    return nazev != nullptr ? text + QStringLiteral(" (%1)").arg(QString::fromUtf8(nazev)) : text;
}

QStringList NazvyBituStatusu(std::uint32_t hodnota) {
    QStringList nazvy;
    for (const StatusBit::TPojmenovanyBit& b : StatusBit::Nazvy)
        if (hodnota & (1u << b.Bit)) nazvy << QLatin1String(b.Nazev);
    return nazvy;
}

QString TextS(std::uint8_t s) {
    const QString hex =
        QStringLiteral("0x") + QStringLiteral("%1").arg(s, 2, 16, QLatin1Char('0')).toUpper();
    const QStringList nazvy = NazvyBituStatusu(s);
    return nazvy.isEmpty() ? hex : hex + QStringLiteral(" (%1)").arg(nazvy.join(u' '));
}

QString HexOdpovedi(const std::array<std::uint8_t, 4>& a) {
    QStringList casti;
    for (const std::uint8_t v : a)
        casti << QStringLiteral("0x") +
                     QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
    return casti.join(u' ');
}

QString DesitkoveOdpovedi(const std::array<std::uint8_t, 4>& a) {
    QStringList casti;
    for (const std::uint8_t v : a)
        casti << QString::number(v);
    return casti.join(u' ');
}

QString TextDat(const TDataPrikazu& d) {
    QStringList casti;
    for (const std::uint8_t v : d)
        casti << QString::number(v);
    return casti.join(u' ');
}

QString ZnakyOdpovedi(const std::array<std::uint8_t, 4>& a) {
    QString znaky = ZnakyModulu(QByteArray(reinterpret_cast<const char*>(a.data()), 4));
    for (QChar& z : znaky)
        if (!z.isPrint()) z = u'.';
    return znaky;
}

QString TextMs(double ms, QChar carka) {
    return QString::number(ms, 'f', 2).replace(u'.', carka);
}

QString TextOpakovani(const TSouhrnSpojeni& s, QChar carka) {
    const auto ms = [carka](const std::optional<double>& v) {
        return v ? TextMs(*v, carka) : QStringLiteral("-");
    };
    return QStringLiteral("odesláno %1, neúspěšných %2; doba odezvy ms: min %3, medián %4, "
                          "95 % %5, max %6")
        .arg(s.Transakci)
        .arg(s.Neuspesnych)
        .arg(ms(s.MinMs), ms(s.MedianMs), ms(s.P95Ms), ms(s.MaxMs));
}
