#include "Cfm.h"

#include "ObycejnySoubor.h"
#include "Prevod.h"
#include "Xxxx683.h"

#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <cstdint>

namespace {

const QString Format = QStringLiteral("zr464-cfm 1");
constexpr int NejdelsiRadek = 200;

// A key: its name, its range, and how its value is taken from and put into
// the configuration.
struct TPopisKlice {
    TKlicCfm Klic;
    const char* Nazev;
    std::uint32_t Min;
    std::uint32_t Max;
    bool Maska; // written in hexadecimal
    std::uint32_t (*Cti)(const TKonfigurace&);
    void (*Nastav)(TKonfigurace&, std::uint32_t);
};

using K = TKonfigurace;
using U = std::uint32_t;

const std::array<TPopisKlice, PocetKlicuCfm> Klice = {{
    {TKlicCfm::Format, "format", 0, 0, false, [](const K&) { return U{0}; }, [](K&, U) {}},
    {TKlicCfm::Adresa, "adresa", 0, 255, false, [](const K& k) { return U{k.Adresa}; },
     [](K& k, U v) { k.Adresa = static_cast<std::uint8_t>(v); }},
    {TKlicCfm::Rychlost, "rychlost", 600, 115200, false,
     [](const K& k) { return static_cast<U>(IndexNaRychlost(k.Rychlost)); },
     [](K& k, U v) { k.Rychlost = RychlostNaIndex(static_cast<std::int32_t>(v)); }},
    {TKlicCfm::InicializacniCas, "inicializacni_cas", 1, 65535, false,
     [](const K& k) { return U{k.InicializacniCas}; },
     [](K& k, U v) { k.InicializacniCas = static_cast<std::uint16_t>(v); }},
    {TKlicCfm::DobaVypnutiRele, "doba_vypnuti_rele", 1, 65535, false,
     [](const K& k) { return U{k.DobaVypnutiRele}; },
     [](K& k, U v) { k.DobaVypnutiRele = static_cast<std::uint16_t>(v); }},
    // Any non-zero activation byte means "on", as in the watchdog window.
    {TKlicCfm::AktivaceWatchdogu, "aktivace_watchdogu", 0, 1, false,
     [](const K& k) { return U{k.AktivaceCasovace != 0}; },
     [](K& k, U v) { k.AktivaceCasovace = static_cast<std::uint8_t>(v); }},
    {TKlicCfm::NegaceDIN, "negace_din", 0, 0xFFFFFFFFu, true,
     [](const K& k) { return Slovo32(k.NegaceDIN); }, [](K& k, U v) { k.NegaceDIN = Bajty32(v); }},
    {TKlicCfm::NegaceDOUT, "negace_dout", 0, 0xFFFFFFFFu, true,
     [](const K& k) { return Slovo32(k.NegaceDOUT); },
     [](K& k, U v) { k.NegaceDOUT = Bajty32(v); }},
    {TKlicCfm::PocatecniStavDOUT, "pocatecni_stav_dout", 0, 0xFFFFFFFFu, true,
     [](const K& k) { return Slovo32(k.PocatecniStavDOUT); },
     [](K& k, U v) { k.PocatecniStavDOUT = Bajty32(v); }},
}};

} // namespace

std::optional<std::uint32_t> CisloBezZnamenka(const QString& text) {
    const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const QString cislice = hex ? text.mid(2) : text;
    const int nejvic = hex ? 8 : 10;
    if (cislice.isEmpty() || cislice.size() > nejvic) return std::nullopt;
    bool ok = false;
    const qulonglong v = cislice.toULongLong(&ok, hex ? 16 : 10);
    const bool jenCislice = std::all_of(cislice.begin(), cislice.end(), [hex](QChar c) {
        return hex ? QStringLiteral("0123456789abcdefABCDEF").contains(c) : c.isDigit();
    });
    if (!ok || !jenCislice || v > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(v);
}

namespace {

// The reading of one file: the keys seen so far (with their lines) and the
// configuration they built.
class TCteni {
public:
    bool Radek(int cislo, const QByteArray& bajty, TChybaCfm& chyba);
    bool Konec(int posledni, TChybaCfm& chyba) const;
    TKonfigurace Konfigurace = VychoziKonfigurace();
    QString Modul;

private:
    bool Hodnota(const TPopisKlice& p, const QString& text, QString& chyba);
    bool HodnotaModulu(int cislo, const QString& hodnota, QString& chyba);
    std::array<int, PocetKlicuCfm> Videno{}; // line of each key, 0 = not yet
    int VidenModul = 0;
};

bool TCteni::HodnotaModulu(int cislo, const QString& hodnota, QString& chyba) {
    if (VidenModul != 0)
        return (chyba = QStringLiteral("klíč „%1“ je uveden podruhé (poprvé na řádku %2)")
                            .arg(QLatin1String(KlicModulu))
                            .arg(VidenModul)),
               false;
    VidenModul = cislo;
    Modul = hodnota;
    return true;
}

// The text of a line; empty with `chyba` set when it is no text. The line is
// decoded whole: a sequence cut off at its end is an error too.
std::optional<QString> TextRadku(const QByteArray& bajty, QString& chyba) {
    if (bajty.contains('\0')) return (chyba = QStringLiteral("binární data")), std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString radek = QString(utf8.decode(bajty)).trimmed();
    if (utf8.hasError())
        return (chyba = QStringLiteral("text není v kódování UTF-8 (binární data?)")), std::nullopt;
    return radek;
}

bool TCteni::Radek(int cislo, const QByteArray& bajty, TChybaCfm& chyba) {
    chyba.Radek = cislo;
    const auto text = TextRadku(bajty, chyba.Text);
    if (!text) return false;
    const QString& radek = *text;
    if (radek.size() > NejdelsiRadek)
        return (chyba.Text = QStringLiteral("řádek je delší než %1 znaků").arg(NejdelsiRadek)),
               false;
    if (std::any_of(radek.begin(), radek.end(),
                    [](QChar c) { return c.category() == QChar::Other_Control && c != u'\t'; }))
        return (chyba.Text = QStringLiteral("řídicí znak v textu (binární data?)")), false;
    if (radek.isEmpty() || radek.startsWith(u'#')) return true;
    const qsizetype rovnitko = radek.indexOf(u'=');
    if (rovnitko < 0)
        return (chyba.Text = QStringLiteral("očekáván zápis „klíč = hodnota“")), false;
    const QString nazev = radek.left(rovnitko).trimmed();
    if (nazev == QLatin1String(KlicModulu))
        return HodnotaModulu(cislo, radek.mid(rovnitko + 1).trimmed(), chyba.Text);
    const auto p = std::find_if(Klice.begin(), Klice.end(), [&](const TPopisKlice& k) {
        return nazev == QLatin1String(k.Nazev);
    });
    if (p == Klice.end())
        return (chyba.Text = QStringLiteral("neznámý klíč „%1“").arg(nazev)), false;
    int& videno = Videno[static_cast<std::size_t>(p - Klice.begin())];
    if (videno != 0)
        return (chyba.Text = QStringLiteral("klíč „%1“ je uveden podruhé (poprvé na řádku %2)")
                                 .arg(nazev)
                                 .arg(videno)),
               false;
    videno = cislo;
    return Hodnota(*p, radek.mid(rovnitko + 1).trimmed(), chyba.Text);
}

bool TCteni::Hodnota(const TPopisKlice& p, const QString& text, QString& chyba) {
    const QString klic = QLatin1String(p.Nazev);
    if (p.Klic == TKlicCfm::Format) {
        if (text == Format) return true;
        return (chyba = QStringLiteral("neznámý formát „%1“, očekáván „%2“").arg(text, Format)),
               false;
    }
    const auto v = CisloBezZnamenka(text);
    if (!v)
        return (chyba = QStringLiteral("hodnota „%1“ klíče „%2“ není číslo").arg(text, klic)),
               false;
    const bool rychlost = p.Klic == TKlicCfm::Rychlost;
    const bool platna = rychlost ? std::find(RychlostiBd.begin(), RychlostiBd.end(),
                                             static_cast<std::int64_t>(*v)) != RychlostiBd.end()
                                 : *v >= p.Min && *v <= p.Max;
    if (platna) {
        p.Nastav(Konfigurace, *v);
        return true;
    }
    chyba = rychlost ? QStringLiteral("rychlost „%1“ není jedna z 600, 1200, 2400, 4800, 9600, "
                                      "19200, 38400, 57600, 115200 Bd")
                           .arg(text)
                     : QStringLiteral("hodnota „%1“ klíče „%2“ je mimo rozsah %3-%4")
                           .arg(text, klic)
                           .arg(p.Min)
                           .arg(p.Max);
    return false;
}

bool TCteni::Konec(int posledni, TChybaCfm& chyba) const {
    for (std::size_t i = 0; i < Klice.size(); ++i) {
        if (Videno[i] != 0) continue;
        chyba.Radek = posledni;
        chyba.Text = QStringLiteral("chybí klíč „%1“ (soubor končí na řádku %2)")
                         .arg(QLatin1String(Klice[i].Nazev))
                         .arg(posledni);
        return false;
    }
    return true;
}

} // namespace

const char* NazevKlice(TKlicCfm klic) {
    return Klice[static_cast<std::size_t>(klic)].Nazev;
}

QString HodnotaKlice(const TKonfigurace& k, TKlicCfm klic) {
    const TPopisKlice& p = Klice[static_cast<std::size_t>(klic)];
    if (klic == TKlicCfm::Format) return Format;
    // A rate index outside the table is kept as it is, not turned into a rate.
    if (klic == TKlicCfm::Rychlost && k.Rychlost >= PocetRychlosti)
        return QStringLiteral("index %1").arg(k.Rychlost);
    if (!p.Maska) return QString::number(p.Cti(k));
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(p.Cti(k), 8, 16, QLatin1Char('0')).toUpper();
}

QByteArray ZapisCfm(const TKonfigurace& k, const QStringList& komentar, const QString& modul) {
    QString text;
    for (const QString& r : komentar)
        text += QStringLiteral("# ") + ZobrazitelnyText(r) + u'\n';
    for (const TPopisKlice& p : Klice) {
        text += QLatin1String(p.Nazev) + QStringLiteral(" = ") + HodnotaKlice(k, p.Klic) + u'\n';
        if (p.Klic == TKlicCfm::Format && !modul.trimmed().isEmpty())
            text += QLatin1String(KlicModulu) + QStringLiteral(" = ") +
                    ZobrazitelnyText(modul.trimmed()) + u'\n';
    }
    return text.toUtf8();
}

QString NazevVIdentifikaci(const QString& modul) {
    const qsizetype v = modul.lastIndexOf(QStringLiteral(" v."));
    return (v < 0 ? modul : modul.left(v)).trimmed();
}

std::optional<TKonfigurace> PrectiCfm(const QByteArray& soubor, TChybaCfm& chyba, QString* modul) {
    chyba = {1, QString()};
    // A line ends with LF, CR LF or CR alike.
    QByteArray obsah = soubor;
    obsah.replace("\r\n", "\n").replace('\r', '\n');
    if (obsah.isEmpty()) return (chyba.Text = QStringLiteral("soubor je prázdný")), std::nullopt;
    if (soubor.size() > NejvetsiSouborCfm) {
        chyba.Radek = static_cast<int>(obsah.left(NejvetsiSouborCfm).count('\n')) + 1;
        chyba.Text = QStringLiteral("soubor je delší než %1 bajtů").arg(NejvetsiSouborCfm);
        return std::nullopt;
    }
    const QList<QByteArray> radky = obsah.split('\n');
    const int pocet = static_cast<int>(radky.size()) - 1; // the part after the last line break
    TCteni cteni;
    for (int i = 0; i < pocet; ++i) {
        if (!cteni.Radek(i + 1, radky[i], chyba)) return std::nullopt;
    }
    if (!radky.last().isEmpty()) {
        chyba.Radek = pocet + 1;
        if (TextRadku(radky.last(), chyba.Text))
            chyba.Text = QStringLiteral("řádek není ukončen, soubor je zřejmě useknutý");
        return std::nullopt;
    }
    if (!cteni.Konec(pocet, chyba)) return std::nullopt;
    if (modul != nullptr) *modul = cteni.Modul;
    return cteni.Konfigurace;
}

std::optional<TKonfigurace> NactiSouborCfm(const QString& cesta, TChybaCfm& chyba, QString* modul) {
    // One byte more than allowed tells a file that is too long.
    QString duvod;
    const auto obsah = PrectiObycejnySoubor(cesta, NejvetsiSouborCfm + 1, duvod);
    if (!obsah) {
        chyba = {0, QStringLiteral("soubor nelze přečíst: ") + duvod};
        return std::nullopt;
    }
    return PrectiCfm(*obsah, chyba, modul);
}
