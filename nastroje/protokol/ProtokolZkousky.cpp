#include "ProtokolZkousky.h"

#include "ObycejnySoubor.h"
#include "TextyZkousky.h"
#include "Xxxx683.h"
#include "zr464_build.h"

#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSysInfo>
#include <QTextDocument>
#include <utility>
#include <vector>

namespace {

using TRadky = std::vector<std::pair<QString, QString>>;

QString Maska(const std::array<std::uint8_t, 4>& bajty, const QString& predpona) {
    const std::uint32_t m = Slovo32(bajty);
    const QString kanaly = m == 0xFFFFFFFFu ? QStringLiteral("všechny")
                           : m == 0         ? QStringLiteral("žádný")
                                            : SeznamKanalu(predpona, m);
    return QStringLiteral("0x%1 (%2)").arg(m, 8, 16, QLatin1Char('0')).arg(kanaly);
}

// The configuration under the labels of the configuration dialogs.
TRadky RadkyKonfigurace(const TKonfigurace& k) {
    return {
        {QStringLiteral("Adresa modulu"), QString::number(k.Adresa)},
        {QStringLiteral("Komunikační rychlost"), k.Rychlost < PocetRychlosti
                                                     ? TextRychlosti(k.Rychlost)
                                                     : QStringLiteral("index %1").arg(k.Rychlost)},
        {QStringLiteral("Inicializační čas"), QStringLiteral("%1 s").arg(k.InicializacniCas)},
        {QStringLiteral("Doba vypnutí relé"), QStringLiteral("%1 s").arg(k.DobaVypnutiRele)},
        {QStringLiteral("Aktivace časovače"), k.AktivaceCasovace == 0
                                                  ? QStringLiteral("watchdog vypnut")
                                                  : QStringLiteral("watchdog aktivován")},
        {QStringLiteral("Negace DIN"), Maska(k.NegaceDIN, QStringLiteral("DIN"))},
        {QStringLiteral("Negace DOUT"), Maska(k.NegaceDOUT, QStringLiteral("DOUT"))},
        {QStringLiteral("Počáteční stav DOUT"), Maska(k.PocatecniStavDOUT, QStringLiteral("DOUT"))},
    };
}

TRadky RadkyHlavicky(const TProtokolZkousky& p) {
    const TIdentifikace& id = p.Vysledek.Id;
    return {
        {QStringLiteral("Datum a čas"), p.Cas.toString(QStringLiteral("d. M. yyyy HH:mm:ss"))},
        {QStringLiteral("Obsluha"), p.Obsluha},
        {QStringLiteral("Počítač"), p.Pocitac},
        {QStringLiteral("Program"),
         QStringLiteral("ZR-464 nastavení modulu, verze " ZR464_VERSION)},
        {QStringLiteral("Rozhraní"), p.Rozhrani},
        {QStringLiteral("Modul"),
         id.Ok() ? TextIdentifikace(id) : QStringLiteral("neidentifikován")},
        {QStringLiteral("Adresa a rychlost"),
         QStringLiteral("%1, %2 Bd").arg(p.Adresa).arg(p.Rychlost)},
        {QStringLiteral("Propojení výstupů se vstupy"),
         p.Propojeni ? QStringLiteral("ano (automatická kontrola)")
                     : QStringLiteral("ne (potvrzuje obsluha)")},
        {QStringLiteral("Očekávaná konfigurace"),
         p.SouborOcekavane.isEmpty() ? QStringLiteral("nezvolena") : p.SouborOcekavane},
        {QStringLiteral("Výstupy po zkoušce"),
         QStringLiteral("0x%1").arg(p.ObnovitVystupy, 8, 16, QLatin1Char('0'))},
    };
}

QString Tabulka(const TRadky& radky) {
    QString html =
        QStringLiteral("<table border='1' cellspacing='0' cellpadding='3' width='100%'>");
    for (const auto& [popis, hodnota] : radky)
        html += QStringLiteral("<tr><td width='35%'>%1</td><td>%2</td></tr>")
                    .arg(popis.toHtmlEscaped(), hodnota.toHtmlEscaped());
    return html + QStringLiteral("</table>");
}

QString TabulkaKroku(const std::vector<TKrokZkousky>& kroky) {
    QString html = QStringLiteral("<table border='1' cellspacing='0' cellpadding='3' width='100%'>"
                                  "<tr><th align='left' width='34%'>Krok</th>"
                                  "<th align='left' width='16%'>Výsledek</th>"
                                  "<th align='left'>Naměřeno</th></tr>");
    for (const TKrokZkousky& k : kroky) {
        QString vysledek = TextVysledkuKroku(k.Vysledek).toHtmlEscaped();
        // Bold capitals, so a failure stands out in black and white too.
        if (k.Vysledek == TVysledekKroku::Selhalo) vysledek = QStringLiteral("<b>SELHALO</b>");
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td></tr>")
                    .arg(k.Nazev.toHtmlEscaped(), vysledek, k.Namereno.toHtmlEscaped());
    }
    return html + QStringLiteral("</table>");
}

QJsonArray JsonKroku(const std::vector<TKrokZkousky>& kroky) {
    QJsonArray a;
    for (const TKrokZkousky& k : kroky) {
        QJsonObject o{{QStringLiteral("krok"), k.Nazev},
                      {QStringLiteral("vysledek"), TextVysledkuKroku(k.Vysledek)},
                      {QStringLiteral("namereno"), k.Namereno}};
        if (k.Kanal >= 0) o.insert(QStringLiteral("kanal"), k.Kanal);
        if (k.Kod != 0) o.insert(QStringLiteral("kod"), k.Kod);
        a.append(o);
    }
    return a;
}

QJsonObject JsonRadku(const TRadky& radky) {
    QJsonObject o;
    for (const auto& [popis, hodnota] : radky)
        o.insert(popis, hodnota);
    return o;
}

} // namespace

QString TextRozhrani(const TData& d) {
    switch (d.Rozhrani) {
    case 0:
        return QStringLiteral("COM port %1").arg(d.CisloPortu);
    case 1:
        return QStringLiteral("ISA karta, bázová adresa %1h").arg(d.BazovaAdresa, 0, 16);
    case 2:
        return QStringLiteral("PCI karta");
    case 3:
        return QStringLiteral("USB konvertor");
    default:
        break;
    }
    return QStringLiteral("LAN konvertor, IP %1, UDP port %2, timeout %3 ms")
        .arg(d.IPAdresa)
        .arg(d.UDPPort)
        .arg(d.UDPTimeout);
}

TProtokolZkousky NovyProtokol(const TData& data, const TNastaveniZkousky& nastaveni,
                              const TVysledekZkousky& vysledek, const QString& obsluha) {
    TProtokolZkousky p;
    p.Cas = QDateTime::currentDateTime();
    p.Obsluha = obsluha;
    p.Pocitac = QSysInfo::machineHostName();
    p.Rozhrani = NazevKnihovny(data.Rozhrani) + QStringLiteral(": ") + TextRozhrani(data);
    p.Adresa = data.Adresa;
    p.Rychlost = data.Rychlost;
    p.Propojeni = nastaveni.Propojeni;
    p.ObnovitVystupy = nastaveni.ObnovitVystupy;
    p.Vysledek = vysledek;
    return p;
}

QString HtmlProtokolu(const TProtokolZkousky& p) {
    QString html = QStringLiteral("<html><body style='color:black; background:white'>"
                                  "<h2>Protokol o zkoušce modulu ZR-464</h2>");
    html += Tabulka(RadkyHlavicky(p));
    if (p.Vysledek.Konfigurace) {
        html += QStringLiteral("<h3>Konfigurace modulu</h3>");
        html += Tabulka(RadkyKonfigurace(*p.Vysledek.Konfigurace));
    }
    html += QStringLiteral("<h3>Kroky zkoušky</h3>") + TabulkaKroku(p.Vysledek.Kroky);
    if (p.Vysledek.Zastaveno)
        html += QStringLiteral("<p>") + TextZastaveni() + QStringLiteral("</p>");
    html += QStringLiteral("<h3>Výsledek zkoušky: %1</h3>")
                .arg(TextVerdiktu(p.Vysledek.Verdikt()).toUpper());
    html += QStringLiteral("<p><br><br>Podpis: ______________________________ &nbsp; Datum: "
                           "______________</p><p>%1</p></body></html>")
                .arg(p.Obsluha.toHtmlEscaped());
    return html;
}

QJsonObject JsonProtokolu(const TProtokolZkousky& p) {
    QJsonObject o{{QStringLiteral("cas"), p.Cas.toString(Qt::ISODate)},
                  {QStringLiteral("obsluha"), p.Obsluha},
                  {QStringLiteral("pocitac"), p.Pocitac},
                  {QStringLiteral("verze_programu"), QStringLiteral(ZR464_VERSION)},
                  {QStringLiteral("rozhrani"), p.Rozhrani},
                  {QStringLiteral("adresa"), p.Adresa},
                  {QStringLiteral("rychlost"), p.Rychlost},
                  {QStringLiteral("propojeni"), p.Propojeni},
                  {QStringLiteral("obnovit_vystupy"), static_cast<qint64>(p.ObnovitVystupy)},
                  {QStringLiteral("kroky"), JsonKroku(p.Vysledek.Kroky)},
                  {QStringLiteral("zastaveno"), p.Vysledek.Zastaveno},
                  {QStringLiteral("verdikt"), TextVerdiktu(p.Vysledek.Verdikt())}};
    const TIdentifikace& id = p.Vysledek.Id;
    if (id.Ok())
        o.insert(QStringLiteral("modul"), QJsonObject{{QStringLiteral("nazev"), id.Nazev},
                                                      {QStringLiteral("verze"), id.Verze},
                                                      {QStringLiteral("doplnek"), id.Doplnek}});
    if (!p.SouborOcekavane.isEmpty())
        o.insert(QStringLiteral("ocekavana_konfigurace"), p.SouborOcekavane);
    if (p.Vysledek.Konfigurace)
        o.insert(QStringLiteral("konfigurace"),
                 JsonRadku(RadkyKonfigurace(*p.Vysledek.Konfigurace)));
    return o;
}

QString CestaJson(const QString& pdf) {
    const QString zaklad =
        pdf.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? pdf.chopped(4) : pdf;
    return zaklad + QStringLiteral(".json");
}

// The report's text size, readable on a printed A4 page.
constexpr qreal VelikostPismaBodu = 10;

bool UlozProtokol(const QString& pdf, const TProtokolZkousky& p, bool json, QString& chyba) {
    if (chyba = NeniSouborem(pdf); !chyba.isEmpty()) return false;
    QSaveFile f(CilZapisu(pdf));
    if (!f.open(QIODevice::WriteOnly)) {
        chyba = DuvodUlozeni(pdf, f);
        return false;
    }
    {
        QPdfWriter zapis(&f);
        zapis.setPageSize(QPageSize(QPageSize::A4));
        zapis.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        zapis.setTitle(QStringLiteral("Protokol o zkoušce modulu ZR-464"));
        zapis.setCreator(QStringLiteral("ZR-464 nastavení modulu " ZR464_VERSION));
        QTextDocument dokument;
        // Without ligatures, so that the text taken out of the PDF reads as
        // written ("fi", not one glyph). In points: the program's own font
        // is sized in screen pixels, which on the writer's 1200 dpi page
        // would print a few tenths of a millimetre high.
        QFont pismo = dokument.defaultFont();
        pismo.setPointSizeF(VelikostPismaBodu);
        pismo.setStyleStrategy(QFont::PreferNoShaping);
        dokument.setDefaultFont(pismo);
        dokument.setHtml(HtmlProtokolu(p));
        dokument.print(&zapis);
    }
    if (!f.commit()) {
        chyba = DuvodUlozeni(pdf, f);
        return false;
    }
    if (!json) return true;
    return ZapisObycejnySoubor(CestaJson(pdf), QJsonDocument(JsonProtokolu(p)).toJson(), chyba);
}
