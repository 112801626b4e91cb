// identify, inputs, outputs, status, watchdog: single commands to the module,
// once or repeated with --watch; and the connection around every subcommand.
#include "Cli.h"
#include "Identifikace.h"
#include "Prevod.h"
#include "Prikazy.h"
#include "PrikazyCli.h"
#include "RucniPrikaz.h"
#include "StatistikaSpojeni.h"
#include "Xxxx683.h"

#include <QDateTime>
#include <QJsonArray>
#include <chrono>
#include <thread>

namespace {

QString Hex32(std::uint32_t v) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

// Bits 0 to 31 as "1"/"0", DIN0 first.
QJsonArray Bity(std::uint32_t v) {
    QJsonArray pole;
    for (int n = 0; n < 32; ++n)
        pole.append(static_cast<int>((v >> n) & 1u));
    return pole;
}

// The 32 bits in four groups of eight, bit 0 (channel 0) leftmost.
QString Skupiny(std::uint32_t v) {
    QString text;
    for (int n = 0; n < 32; ++n) {
        if (n > 0 && n % 8 == 0) text += u' ';
        text += ((v >> n) & 1u) ? u'1' : u'0';
    }
    return text;
}

QString BezMezerNaKonci(QString text) {
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

template <class T> TChyba ChybaPrikazu(const QString& krok, const TVysledekPrikazu<T>& v) {
    return {krok, v.Kod, v.Text, KodUkonceni::ChybaModulu};
}

// One poll: the command, its text line and its JSON record, or the error.
using TCteni = std::function<std::optional<TChyba>(TSpojeni&, QString&, QJsonObject&)>;

int Jednou(TKontext& kontext, TSpojeni& s, const TCteni& cteni) {
    QString text;
    QJsonObject json{{QStringLiteral("adresa"), s.Data.Adresa}};
    if (auto chyba = cteni(s, text, json)) return kontext.Vystup.Chyba(*chyba);
    kontext.Vystup.Radek(text);
    if (kontext.Vystup.Json()) kontext.Vystup.Dokument(json);
    return KodUkonceni::Uspech;
}

// --watch: a line (or JSON line) per poll; a failed poll is reported and the
// polling goes on, as in the live windows.
int Opakovane(TKontext& kontext, TSpojeni& s, const TCteni& cteni, const TOpakovani& o) {
    int vysledek = KodUkonceni::Uspech;
    for (int i = 0; o.Pocet == 0 || i < o.Pocet; ++i) {
        if (i > 0) Cekej(o.Interval);
        if (PozadavekPreruseni().load()) return KodUkonceni::Preruseno;
        QString text;
        const QDateTime cas = QDateTime::currentDateTime();
        QJsonObject json{{QStringLiteral("cas"), CasSPosunem(cas)},
                         {QStringLiteral("adresa"), s.Data.Adresa}};
        // Each text line begins with the time of its reading.
        const QString kdy = cas.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz "));
        if (auto chyba = cteni(s, text, json)) {
            vysledek = KodUkonceni::ChybaModulu;
            kontext.Vystup.Hlaseni(kdy + QStringLiteral("chyba: ") + PopisChyby(*chyba));
            json.insert(QStringLiteral("chyba"), JsonChyby(*chyba));
        } else {
            kontext.Vystup.Radek(kdy + text.replace(u'\n', u'\n' + kdy));
        }
        if (kontext.Vystup.Json()) kontext.Vystup.RadekJson(json);
    }
    return PozadavekPreruseni().load() ? KodUkonceni::Preruseno : vysledek;
}

int Spust(TKontext& kontext, const TCteni& cteni, const TOpakovani& o) {
    return SPripojenim(kontext, [&](TSpojeni& s) {
        return o.Zapnuto ? Opakovane(kontext, s, cteni, o) : Jednou(kontext, s, cteni);
    });
}

std::optional<TChyba> CtiVstupy(TSpojeni& s, QString& text, QJsonObject& json) {
    const auto o = s.Relace().CtiVstupy();
    if (!o.Ok()) return ChybaPrikazu(QStringLiteral("čtení vstupů"), o);
    const std::uint32_t v = *o.Hodnota;
    text = QStringLiteral("DIN0-31: %1 (%2)").arg(Skupiny(v), Hex32(v));
    json.insert(QStringLiteral("vstupy"), static_cast<qint64>(v));
    json.insert(QStringLiteral("din"), Bity(v));
    return std::nullopt;
}

std::optional<TChyba> CtiStatus(TSpojeni& s, QString& text, QJsonObject& json) {
    const auto o = s.Relace().CtiStatus();
    if (!o.Ok()) return ChybaPrikazu(QStringLiteral("čtení status registru"), o);
    const std::uint32_t v = *o.Hodnota;
    const QStringList nazvy = NazvyBituStatusu(v);
    text = QStringLiteral("Status registr: ") + Hex32(v);
    if (!nazvy.isEmpty()) text += QStringLiteral(" (") + nazvy.join(QLatin1Char(' ')) + u')';
    json.insert(QStringLiteral("status"), static_cast<qint64>(v));
    json.insert(QStringLiteral("bity"), Bity(v));
    json.insert(QStringLiteral("nastavene"), QJsonArray::fromStringList(nazvy));
    return std::nullopt;
}

std::optional<TChyba> CtiWatchdog(TSpojeni& s, QString& text, QJsonObject& json) {
    const auto o = s.Relace().CtiWatchdog();
    if (!o.Ok()) return ChybaPrikazu(QStringLiteral("čtení času watchdogu"), o);
    const int zbyva = *o.Hodnota;
    text = QStringLiteral("Watchdog: zbývá %1 s").arg(zbyva);
    json.insert(QStringLiteral("zbyva"), zbyva);
    return std::nullopt;
}

} // namespace

void Cekej(int ms) {
    const auto konec = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!PozadavekPreruseni().load() && std::chrono::steady_clock::now() < konec)
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 10)));
}

// The counts cover the whole run, whatever connections it opens.
int SPripojenim(TKontext& kontext, const std::function<int(TSpojeni&)>& prace) {
    QString varovani;
    TSpojeni s(DataPripojeni(kontext.Pripojeni, kontext.Prostredi.Nastaveni, &varovani));
    if (!varovani.isEmpty()) kontext.Vystup.Varovani(varovani);
    TStatistikaSpojeni statistika;
    if (kontext.Stopa || kontext.Statistika)
        NastavPozorovatelePrikazu([&](const TZaznamPrikazu& z) {
            if (kontext.Stopa) kontext.Vystup.Stopa(z);
            if (kontext.Statistika) statistika.Zaznamenej(z, std::chrono::system_clock::now(), 0);
        });
    int kod = KodUkonceni::Uspech;
    if (auto chyba = s.Otevri())
        kod = kontext.Vystup.Chyba(*chyba);
    else
        kod = prace(s);
    NastavPozorovatelePrikazu(nullptr);
    if (kontext.Statistika) kontext.Vystup.Statistika(statistika.Souhrn());
    return kod;
}

int VypisIdentifikaci(TKontext& kontext) {
    return SPripojenim(kontext, [&](TSpojeni& s) {
        const TIdentifikace id = s.Relace().Identifikuj();
        if (!id.Ok())
            return kontext.Vystup.Chyba({QStringLiteral("identifikace"), id.Vysledek,
                                         TextKodu(s.Data.Rozhrani, id.Vysledek),
                                         KodUkonceni::ChybaModulu});
        // The characters are the module's: the text lines show them escaped,
        // JSON as they came. The module pads its 8-character texts with
        // blanks; JSON keeps them.
        kontext.Vystup.Radek(QStringLiteral("Modul: ") + ZobrazitelnyText(id.Modul()));
        kontext.Vystup.Radek(QStringLiteral("Název: ") +
                             ZobrazitelnyText(BezMezerNaKonci(id.Nazev)));
        kontext.Vystup.Radek(QStringLiteral("Verze: ") + ZobrazitelnyText(id.Verze));
        kontext.Vystup.Radek(QStringLiteral("Doplňková identifikace: ") +
                             ZobrazitelnyText(BezMezerNaKonci(id.Doplnek)));
        if (kontext.Vystup.Json())
            kontext.Vystup.Dokument({{QStringLiteral("adresa"), s.Data.Adresa},
                                     {QStringLiteral("rychlost"), s.Data.Rychlost},
                                     {QStringLiteral("modul"), id.Modul()},
                                     {QStringLiteral("nazev"), id.Nazev},
                                     {QStringLiteral("verze"), id.Verze},
                                     {QStringLiteral("doplnek"), id.Doplnek}});
        return KodUkonceni::Uspech;
    });
}

int VypisVstupy(TKontext& kontext, const TOpakovani& opakovani) {
    return Spust(kontext, CtiVstupy, opakovani);
}

int VypisStav(TKontext& kontext, bool vynulovat, const TOpakovani& opakovani) {
    if (!vynulovat) return Spust(kontext, CtiStatus, opakovani);
    // Cleared once, then read (once or repeatedly) to show what remains.
    const TCteni cteni = [vynulovano = false](TSpojeni& s, QString& text,
                                              QJsonObject& json) mutable -> std::optional<TChyba> {
        if (!vynulovano) {
            const auto o = s.Relace().NulujStatus();
            if (!o.Ok()) return ChybaPrikazu(QStringLiteral("nulování status registru"), o);
            vynulovano = true;
            json.insert(QStringLiteral("vynulovano"), true);
            auto chyba = CtiStatus(s, text, json);
            text = QStringLiteral("Status registr vynulován.\n") + text;
            return chyba;
        }
        return CtiStatus(s, text, json);
    };
    return Spust(kontext, cteni, opakovani);
}

int VypisWatchdog(TKontext& kontext, std::optional<std::uint16_t> nastavit,
                  const TOpakovani& opakovani) {
    if (!nastavit) return Spust(kontext, CtiWatchdog, opakovani);
    const std::uint16_t cas = *nastavit;
    const TCteni cteni = [cas,
                          nastaveno = false](TSpojeni& s, QString& text,
                                             QJsonObject& json) mutable -> std::optional<TChyba> {
        if (!nastaveno) {
            const auto o = s.Relace().NastavWatchdog(cas);
            if (!o.Ok()) return ChybaPrikazu(QStringLiteral("zápis času watchdogu"), o);
            nastaveno = true;
            json.insert(QStringLiteral("nastaveno"), cas);
            auto chyba = CtiWatchdog(s, text, json);
            text = QStringLiteral("Čas watchdogu nastaven na %1 s.\n").arg(cas) + text;
            return chyba;
        }
        return CtiWatchdog(s, text, json);
    };
    return Spust(kontext, cteni, opakovani);
}

int NastavVystupy(TKontext& kontext, std::uint32_t maska) {
    return SPripojenim(kontext, [&](TSpojeni& s) {
        const auto o = s.Relace().ZapisVystupy(maska);
        if (!o.Ok()) return kontext.Vystup.Chyba(ChybaPrikazu(QStringLiteral("zápis výstupů"), o));
        kontext.Vystup.Radek(
            QStringLiteral("Data zapsána: DOUT0-31 %1 (%2)").arg(Skupiny(maska), Hex32(maska)));
        if (kontext.Vystup.Json())
            kontext.Vystup.Dokument({{QStringLiteral("adresa"), s.Data.Adresa},
                                     {QStringLiteral("vystupy"), static_cast<qint64>(maska)},
                                     {QStringLiteral("dout"), Bity(maska)}});
        return KodUkonceni::Uspech;
    });
}
