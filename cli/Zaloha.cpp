// bus save / bus diff: the bus backup of zr_nastroje with the program's
// lines, JSON documents and exit codes.
#include "Cli.h"
#include "ObycejnySoubor.h"
#include "PopisRozdilu.h"
#include "PrikazyCli.h"
#include "TextyZalohy.h"
#include "ZalohaSbernice.h"
#include "zr464_build.h"

#include <QDir>
#include <QJsonArray>
#include <QRegularExpression>

namespace {

const QString Puvod = QStringLiteral("zr464-cli " ZR464_VERSION);
constexpr qint64 NejvetsiSeznam = 64 * 1024;

TChyba ChybaPouziti(const QString& krok, const QString& text) {
    return {krok, 0, text, KodUkonceni::ChybaPouziti};
}

} // namespace

std::optional<std::vector<TModulSbernice>> SeznamModuluZeSouboru(const QString& soubor,
                                                                 QString& duvod) {
    const auto obsah = PrectiObycejnySoubor(soubor, NejvetsiSeznam, duvod);
    if (!obsah) return std::nullopt;
    static const QRegularExpression komentar(QStringLiteral("^\\s*#[^\\n]*$"),
                                             QRegularExpression::MultilineOption);
    auto moduly = TextNaSeznamModulu(QString::fromUtf8(*obsah).remove(komentar));
    if (!moduly)
        duvod = QStringLiteral("seznam není ve tvaru „ADRESA:RYCHLOST, …“ (např. 1:9600, "
                               "5:19200)");
    return moduly;
}

namespace {

// The modules of the options, the file or the settings file's list.
std::optional<std::vector<TModulSbernice>> Moduly(TKontext& kontext, const TSeznamSbernice& z,
                                                  const TData& data, int& kod) {
    if (!z.Soubor.isEmpty()) {
        QString duvod;
        auto moduly = SeznamModuluZeSouboru(z.Soubor, duvod);
        if (!moduly) kod = kontext.Vystup.Chyba(ChybaPouziti(z.Soubor, duvod));
        return moduly;
    }
    if (z.Adresy.empty()) return data.Sbernice;
    std::vector<TModulSbernice> moduly;
    for (std::size_t i = 0; i < z.Adresy.size(); ++i) {
        const std::int32_t rychlost = z.Rychlosti.empty()       ? data.Rychlost
                                      : z.Rychlosti.size() == 1 ? z.Rychlosti[0]
                                                                : z.Rychlosti[i];
        moduly.push_back({z.Adresy[i], rychlost});
    }
    return moduly;
}

TPrubehZalohy Prubeh(TKontext& kontext, const QString& co) {
    TPrubehZalohy p;
    p.Pauza = [] { return !PozadavekPreruseni().load(); };
    if (kontext.Prostredi.ChybovyTerminal)
        p.Modul = [&kontext, co](const TModulSbernice& m, int i, int n) {
            kontext.Vystup.Prubeh(QStringLiteral("\r%1: modul %2/%3 (%4)   ")
                                      .arg(co)
                                      .arg(i + 1)
                                      .arg(n)
                                      .arg(TextModuluSbernice(m)));
        };
    return p;
}

void KonecPrubehu(TKontext& kontext) {
    if (kontext.Prostredi.ChybovyTerminal) kontext.Vystup.Prubeh(QStringLiteral("\n"));
}

QJsonObject JsonModulu(const TModulSbernice& m) {
    return {{QStringLiteral("adresa"), m.Adresa}, {QStringLiteral("rychlost"), m.Rychlost}};
}

// The pass's own fault, the line, after the modules' lines.
int ChybaBehu(TKontext& kontext, const TSpojeni& s, const TBehSbernice& b, QJsonObject& doc) {
    if (b.KodLinky == 0) return b.Preruseno ? KodUkonceni::Preruseno : KodUkonceni::Uspech;
    const TChyba c{QStringLiteral("nastavení linky"), b.KodLinky,
                   TextLinkySbernice(s.Data.Rozhrani, b), KodUkonceni::ChybaModulu};
    kontext.Vystup.Hlaseni(QStringLiteral("chyba: ") + PopisChyby(c));
    doc.insert(QStringLiteral("chyba"), JsonChyby(c));
    return b.Preruseno ? KodUkonceni::Preruseno : c.KodUkonceni;
}

int KodUlozeni(const TUlozenyModul& u) {
    switch (u.Konec) {
    case TKonecUlozeni::Ulozeno:
        return KodUkonceni::Uspech;
    case TKonecUlozeni::ChybaSouboru:
        return KodUkonceni::ChybaPouziti;
    case TKonecUlozeni::Neprovedeno:
        return KodUkonceni::Preruseno;
    default:
        return KodUkonceni::ChybaModulu;
    }
}

int TiskniZalohu(TKontext& kontext, const TSpojeni& s, const TVysledekZalohy& v,
                 const QString& slozka) {
    QJsonArray moduly;
    int kod = KodUkonceni::Uspech;
    for (const TUlozenyModul& u : v.Moduly) {
        const QString text = TextUlozeni(s.Data.Rozhrani, u, v.Beh);
        kontext.Vystup.Radek(TextModuluSbernice(u.Modul) + QStringLiteral(": ") + text);
        QJsonObject o = JsonModulu(u.Modul);
        o.insert(QStringLiteral("ok"), u.Ok());
        o.insert(QStringLiteral("vysledek"), text);
        if (u.Ok()) o.insert(QStringLiteral("soubor"), u.Soubor);
        if (u.Id.Ok()) o.insert(QStringLiteral("modul"), u.Id.Modul());
        moduly.append(o);
        if (u.Konec != TKonecUlozeni::Neprovedeno || v.Beh.KodLinky == 0)
            kod = HorsiUkonceni(kod, KodUlozeni(u));
    }
    kontext.Vystup.Radek(TextSouhrnuZalohy(v, slozka));
    if (!v.ChybaIndexu.isEmpty()) kod = HorsiUkonceni(kod, KodUkonceni::ChybaPouziti);
    QJsonObject doc{{QStringLiteral("slozka"), slozka},
                    {QStringLiteral("index"), v.Index},
                    {QStringLiteral("moduly"), moduly},
                    {QStringLiteral("ulozeno"), v.Ulozenych()},
                    {QStringLiteral("preruseno"), v.Beh.Preruseno}};
    kod = HorsiUkonceni(kod, ChybaBehu(kontext, s, v.Beh, doc));
    doc.insert(QStringLiteral("ok"), kod == KodUkonceni::Uspech);
    if (kontext.Vystup.Json()) kontext.Vystup.Dokument(doc);
    return kod;
}

} // namespace

int UlozSbernici(TKontext& kontext, const QString& slozka, const TSeznamSbernice& seznam) {
    const QString krok = QStringLiteral("složka ") + slozka;
    if (!QDir().mkpath(slozka))
        return kontext.Vystup.Chyba(ChybaPouziti(krok, QStringLiteral("nelze vytvořit")));
    return SPripojenim(kontext, [&](TSpojeni& s) {
        int kod = 0;
        const auto moduly = Moduly(kontext, seznam, s.Data, kod);
        if (!moduly) return kod;
        if (moduly->empty())
            return kontext.Vystup.Chyba(ChybaPouziti(
                QStringLiteral("seznam modulů"),
                QStringLiteral("je prázdný: zadejte --addresses nebo --from (nebo seznam okna "
                               "Přehled sběrnice v souboru nastavení)")));
        const TVysledekZalohy v = ZalohujSbernici(s.Data, *moduly, slozka, Puvod,
                                                  Prubeh(kontext, QStringLiteral("Záloha")));
        KonecPrubehu(kontext);
        return TiskniZalohu(kontext, s, v, slozka);
    });
}

namespace {

const char* NazevStavu(TStavPorovnani stav) {
    static const char* const nazvy[] = {"shoda",       "rozdily",    "chybi_na_sbernici",
                                        "mimo_zalohu", "neodpovida", "chyba_cteni",
                                        "neporovnano"};
    return nazvy[static_cast<int>(stav)];
}

QJsonArray JsonRozdilu(const TPorovnanyModul& p) {
    QJsonArray rozdily;
    if (p.JinyModul)
        rozdily.append(QJsonObject{{QStringLiteral("klic"), QLatin1String(KlicModulu)},
                                   {QStringLiteral("soubor"), p.Zaloha->Ident},
                                   {QStringLiteral("modul"), p.Id.Modul()}});
    for (const TRozdilKonfigurace& r : p.Rozdily)
        rozdily.append(QJsonObject{{QStringLiteral("klic"), QLatin1String(NazevKlice(r.Klic))},
                                   {QStringLiteral("soubor"), r.VSouboru},
                                   {QStringLiteral("modul"), r.VModulu}});
    return rozdily;
}

int KodPorovnani(const TPorovnanyModul& p) {
    if (p.Rozdil()) return KodUkonceni::Nesouhlas;
    if (p.Stav == TStavPorovnani::ChybaCteni) return KodUkonceni::ChybaModulu;
    if (p.Stav == TStavPorovnani::Neprovedeno) return KodUkonceni::Preruseno;
    return KodUkonceni::Uspech;
}

QJsonObject JsonPorovnani(const TPorovnanyModul& p, const QString& text) {
    QJsonObject o = JsonModulu(p.Modul);
    o.insert(QStringLiteral("stav"), QLatin1String(NazevStavu(p.Stav)));
    o.insert(QStringLiteral("vysledek"), text);
    if (p.Zaloha) o.insert(QStringLiteral("soubor"), p.Zaloha->Soubor);
    if (p.Id.Ok()) o.insert(QStringLiteral("modul"), p.Id.Modul());
    o.insert(QStringLiteral("rozdily"), JsonRozdilu(p));
    return o;
}

int TiskniPorovnani(TKontext& kontext, const TSpojeni& s, const TVysledekPorovnani& v,
                    const TZaloha& zaloha) {
    QJsonArray moduly;
    int kod = KodUkonceni::Uspech;
    for (const TPorovnanyModul& p : v.Moduly) {
        const QString text = TextPorovnani(s.Data.Rozhrani, p, v.Beh);
        kontext.Vystup.Radek(TextModuluSbernice(p.Modul) + QStringLiteral(": ") + text);
        for (const TPopisRozdilu& r : p.Popis)
            kontext.Vystup.Radek(QStringLiteral("  ") + TextRozdilu(r));
        moduly.append(JsonPorovnani(p, text));
        if (p.Stav != TStavPorovnani::Neprovedeno || v.Beh.KodLinky == 0)
            kod = HorsiUkonceni(kod, KodPorovnani(p));
    }
    kontext.Vystup.Radek(TextSouhrnuPorovnani(v));
    QJsonObject doc{{QStringLiteral("slozka"), zaloha.Slozka},
                    {QStringLiteral("ulozeno"), zaloha.Index.Cas},
                    {QStringLiteral("shoda"), !v.Rozdil()},
                    {QStringLiteral("moduly"), moduly},
                    {QStringLiteral("preruseno"), v.Beh.Preruseno}};
    kod = HorsiUkonceni(kod, ChybaBehu(kontext, s, v.Beh, doc));
    if (kontext.Vystup.Json()) kontext.Vystup.Dokument(doc);
    return kod;
}

} // namespace

int RozdilySbernice(TKontext& kontext, const QString& slozka, const TSeznamSbernice& seznam) {
    QString chyba;
    // The whole folder is checked before the module is asked.
    const auto zaloha = NactiZalohu(slozka, chyba);
    if (!zaloha)
        return kontext.Vystup.Chyba(ChybaPouziti(QStringLiteral("záloha ") + slozka, chyba));
    return SPripojenim(kontext, [&](TSpojeni& s) {
        int kod = 0;
        const auto moduly = Moduly(kontext, seznam, s.Data, kod);
        if (!moduly) return kod;
        const TVysledekPorovnani v = PorovnejSbernici(s.Data, *zaloha, *moduly,
                                                      Prubeh(kontext, QStringLiteral("Porovnání")));
        KonecPrubehu(kontext);
        return TiskniPorovnani(kontext, s, v, *zaloha);
    });
}
