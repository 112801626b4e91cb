// config show / save / diff / load: the configuration engine of zr_nastroje
// with the program's lines, JSON documents and exit codes.
#include "Cfm.h"
#include "Cli.h"
#include "Identifikace.h"
#include "KonfiguraceModulu.h"
#include "ObycejnySoubor.h"
#include "PopisRozdilu.h"
#include "Prevod.h"
#include "PrikazyCli.h"
#include "Texty.h"

#include <QJsonArray>

namespace {

// Every pause checks for Ctrl-C; the command in progress always ends first.
const TPrubehSekvence Prubeh{nullptr, [] { return !PozadavekPreruseni().load(); }};

// The error of a sequence; `zapsano` is the configuration of a write (the
// values sent), null for a read.
TChyba ChybaSekvence(const TSpojeni& s, const TVysledekSekvence& v, const QString& co,
                     const TKonfigurace* zapsano = nullptr) {
    const int kod = v.Konec == TKonecSekvence::Preruseno     ? KodUkonceni::Preruseno
                    : v.Konec == TKonecSekvence::ChybaZapisu ? KodUkonceni::Nesouhlas
                                                             : KodUkonceni::ChybaModulu;
    const std::uint32_t vysledek = kod == KodUkonceni::ChybaModulu ? v.Kod : 0;
    return {MistoSekvence(co, v, zapsano), vysledek, DuvodSekvence(s.Data.Rozhrani, v, zapsano),
            kod};
}

// Reads every configuration register of the connection's module.
std::optional<TChyba> PrectiVse(TSpojeni& s, TKonfigurace& k) {
    const TVysledekSekvence v = PrectiKonfiguraci(s.Data, k, Prubeh);
    if (!v.Ok()) return ChybaSekvence(s, v, QStringLiteral("čtení konfigurace"));
    return std::nullopt;
}

QJsonObject JsonKonfigurace(const TKonfigurace& k) {
    QJsonObject o;
    for (int i = 1; i < PocetKlicuCfm; ++i) {
        const auto klic = static_cast<TKlicCfm>(i);
        const QString hodnota = HodnotaKlice(k, klic);
        o.insert(QLatin1String(NazevKlice(klic)),
                 static_cast<qint64>(hodnota.toULongLong(nullptr, 0)));
    }
    // A rate index outside the table has no rate in Bd.
    if (k.Rychlost >= PocetRychlosti) o.insert(QStringLiteral("rychlost"), QJsonValue::Null);
    o.insert(QStringLiteral("rychlost_index"), k.Rychlost);
    o.insert(QStringLiteral("aktivace_registr"), k.AktivaceCasovace);
    return o;
}

void TiskniKonfiguraci(TVystup& v, const TKonfigurace& k) {
    const QString rychlost = k.Rychlost < PocetRychlosti
                                 ? TextRychlosti(k.Rychlost)
                                 : QStringLiteral("neznámá (index %1)").arg(k.Rychlost);
    v.Radek(QStringLiteral("Adresa modulu: %1").arg(k.Adresa));
    v.Radek(QStringLiteral("Komunikační rychlost: ") + rychlost);
    v.Radek(QStringLiteral("Inicializační čas: %1 s").arg(k.InicializacniCas));
    v.Radek(QStringLiteral("Doba vypnutí relé: %1 s").arg(k.DobaVypnutiRele));
    v.Radek(k.AktivaceCasovace == 0 ? QStringLiteral("Watchdog: watchdog vypnut")
                                    : QStringLiteral("Watchdog: watchdog aktivován"));
    v.Radek(QStringLiteral("Negace DIN: ") + HodnotaKlice(k, TKlicCfm::NegaceDIN));
    v.Radek(QStringLiteral("Negace DOUT: ") + HodnotaKlice(k, TKlicCfm::NegaceDOUT));
    v.Radek(QStringLiteral("Počáteční stav DOUT: ") + HodnotaKlice(k, TKlicCfm::PocatecniStavDOUT));
}

// The file checked whole; a fault is a usage error naming the line.
std::optional<TKonfigurace> SouborKonfigurace(TKontext& kontext, const QString& soubor, int& kod,
                                              QString* modul = nullptr) {
    TChybaCfm chyba;
    auto k = NactiSouborCfm(soubor, chyba, modul);
    if (k) return k;
    const QString radek = MistoCfm(chyba);
    const QString misto = radek.isEmpty() ? QStringLiteral("soubor") : radek;
    TChyba c{soubor + QStringLiteral(", ") + misto, 0, chyba.Text, KodUkonceni::ChybaPouziti};
    kod = kontext.Vystup.Chyba(c);
    return std::nullopt;
}

// The module's values are saved as they are; one that a file may not hold
// (a relay switch-off time of 0, say) is named, as loading will refuse it.
void VarujNeplatny(TVystup& vystup, const QString& soubor, const QByteArray& text) {
    const auto chyba = NeplatnaHodnota(text);
    if (!chyba) return;
    vystup.Hlaseni(QStringLiteral("varování: ") + soubor + QStringLiteral(", ") +
                   TextNeplatneHodnoty(*chyba));
}

} // namespace

int VypisKonfiguraci(TKontext& kontext) {
    return SPripojenim(kontext, [&](TSpojeni& s) {
        TKonfigurace k = VychoziKonfigurace();
        if (auto chyba = PrectiVse(s, k)) return kontext.Vystup.Chyba(*chyba);
        TiskniKonfiguraci(kontext.Vystup, k);
        if (kontext.Vystup.Json())
            kontext.Vystup.Dokument({{QStringLiteral("adresa_pripojeni"), s.Data.Adresa},
                                     {QStringLiteral("konfigurace"), JsonKonfigurace(k)}});
        return KodUkonceni::Uspech;
    });
}

int UlozKonfiguraci(TKontext& kontext, const QString& soubor) {
    // A path that cannot take the file is refused before the module is asked.
    if (const QString proc = NeniSouborem(soubor); !proc.isEmpty())
        return kontext.Vystup.Chyba(
            {QStringLiteral("zápis souboru ") + soubor, 0, proc, KodUkonceni::ChybaPouziti});
    return SPripojenim(kontext, [&](TSpojeni& s) {
        TKonfigurace k = VychoziKonfigurace();
        if (auto chyba = PrectiVse(s, k)) return kontext.Vystup.Chyba(*chyba);
        const TIdentifikace id = IdentifikujModul(s.Data.Rozhrani, s.Data.Spojeni, s.Data.Adresa);
        const QString modul = id.Ok() ? id.Modul() : QString();
        const QByteArray text = ZapisCfm(k,
                                         HlavickaCfm(QStringLiteral("zr464-cli config save"), modul,
                                                     s.Data.Adresa, s.Data.Rychlost),
                                         modul);
        VarujNeplatny(kontext.Vystup, soubor, text);
        QString duvod;
        if (!UlozSouborCfm(soubor, text, duvod))
            return kontext.Vystup.Chyba(
                {QStringLiteral("zápis souboru ") + soubor, 0, duvod, KodUkonceni::ChybaPouziti});
        kontext.Vystup.Radek(QStringLiteral("Konfigurace uložena do souboru ") + soubor);
        if (kontext.Vystup.Json())
            kontext.Vystup.Dokument({{QStringLiteral("soubor"), soubor},
                                     {QStringLiteral("konfigurace"), JsonKonfigurace(k)}});
        return KodUkonceni::Uspech;
    });
}

int RozdilyKonfigurace(TKontext& kontext, const QString& soubor, bool sAdresou) {
    int kod = 0;
    const auto zeSouboru = SouborKonfigurace(kontext, soubor, kod);
    if (!zeSouboru) return kod;
    return SPripojenim(kontext, [&](TSpojeni& s) {
        TKonfigurace k = VychoziKonfigurace();
        if (auto chyba = PrectiVse(s, k)) return kontext.Vystup.Chyba(*chyba);
        QJsonArray rozdily;
        // The lines as the windows show them; the JSON document by the keys.
        for (const TPopisRozdilu& r : PopisRozdilu(*zeSouboru, k, sAdresou))
            kontext.Vystup.Radek(TextRozdilu(r));
        for (const TRozdilKonfigurace& r : PorovnejKonfigurace(*zeSouboru, k, sAdresou)) {
            const QString nazev = QLatin1String(NazevKlice(r.Klic));
            rozdily.append(QJsonObject{{QStringLiteral("klic"), nazev},
                                       {QStringLiteral("soubor"), r.VSouboru},
                                       {QStringLiteral("modul"), r.VModulu}});
        }
        if (rozdily.isEmpty()) kontext.Vystup.Radek(QStringLiteral("Bez rozdílů."));
        if (kontext.Vystup.Json())
            kontext.Vystup.Dokument({{QStringLiteral("adresa"), s.Data.Adresa},
                                     {QStringLiteral("shoda"), rozdily.isEmpty()},
                                     {QStringLiteral("rozdily"), rozdily}});
        return rozdily.isEmpty() ? KodUkonceni::Uspech : KodUkonceni::Nesouhlas;
    });
}

int HorsiUkonceni(int a, int b) {
    auto vaha = [](int k) {
        return k == KodUkonceni::Preruseno     ? 4
               : k == KodUkonceni::ChybaModulu ? 3
               : k == KodUkonceni::Nesouhlas   ? 2
                                               : (k != 0 ? 1 : 0);
    };
    return vaha(a) >= vaha(b) ? a : b;
}

namespace {

// A write refused before anything was sent, as an error.
TChyba ChybaVerze(const TSpojeni& s, const TKontrolaVerze& v, const TKonfigurace& k,
                  const QString& modulSouboru) {
    using TKonec = TKontrolaVerze::TKonec;
    if (v.Konec == TKonec::ChybaIdentifikace || v.Konec == TKonec::ChybaLinky)
        return TChyba{v.Konec == TKonec::ChybaLinky ? QStringLiteral("zkouška nové adresy")
                                                    : QStringLiteral("identifikace"),
                      v.Kod, TextKodu(s.Data.Rozhrani, v.Kod), KodUkonceni::ChybaModulu};
    if (v.Konec == TKonec::JinyModul)
        return TChyba{QStringLiteral("kontrola modulu"), 0,
                      QStringLiteral("soubor je z modulu %1, cílový modul je %2 (zapsat přesto: "
                                     "--force)")
                          .arg(modulSouboru, ZobrazitelnyText(v.Modul)),
                      KodUkonceni::ChybaPouziti};
    if (v.Konec == TKonec::AdresaObsazena)
        return TChyba{QStringLiteral("zkouška nové adresy"), 0, TextObsazeneAdresy(v, k),
                      KodUkonceni::ChybaModulu};
    return TChyba{QStringLiteral("kontrola verze"), 0, TextVerze(v, k.InicializacniCas),
                  KodUkonceni::ChybaModulu};
}

// The last check of a write: the whole configuration read again.
TChyba ChybaOvereni(const TSpojeni& s, const TVysledekSekvence& v, const TKonfigurace& k) {
    if (v.Konec != TKonecSekvence::ChybaZapisu)
        return ChybaSekvence(s, v, QStringLiteral("ověření"));
    return {MistoSekvence(QStringLiteral("ověření"), v), 0, TextOvereni(v, k),
            KodUkonceni::Nesouhlas};
}

// The line and JSON record of a module that was not written whole.
int Neuspech(TKontext& kontext, std::uint8_t adresa, int hotovo, int celkem,
             std::optional<std::uint8_t> registr, const TChyba& c, QJsonArray& moduly) {
    kontext.Vystup.Radek(QStringLiteral("adresa %1: zastaveno po %2 z %3 registrů: %4")
                             .arg(adresa)
                             .arg(hotovo)
                             .arg(celkem)
                             .arg(PopisChyby(c)));
    QJsonObject o{{QStringLiteral("adresa"), adresa},
                  {QStringLiteral("ok"), false},
                  {QStringLiteral("zapsano"), hotovo},
                  {QStringLiteral("registru"), celkem},
                  {QStringLiteral("chyba"), JsonChyby(c)}};
    if (registr) o.insert(QStringLiteral("registr"), *registr);
    moduly.append(o);
    return c.KodUkonceni;
}

// Writes the configuration into the module at `adresa`; the outcome as one
// line and one JSON record.
int ZapisDoModulu(TKontext& kontext, TSpojeni& s, std::uint8_t adresa, const TKonfigurace& k,
                  bool sAdresou, const TPodminkyZapisu& podminky, QJsonArray& moduly) {
    s.Data.Adresa = adresa;
    const TVysledekZapisu v = ZapisKonfiguraci(s.Data, k, sAdresou, Prubeh, podminky);
    const int celkem = v.Celkem, hotovo = v.Hotovo;
    if (!v.Verze.Ok())
        return Neuspech(kontext, adresa, 0, celkem, std::nullopt,
                        ChybaVerze(s, v.Verze, k, podminky.ModulSouboru), moduly);
    if (!v.Sekvence.Ok())
        return Neuspech(kontext, adresa, hotovo, celkem, v.Sekvence.Registr,
                        ChybaSekvence(s, v.Sekvence, QStringLiteral("zápis"), &k), moduly);
    if (!v.Overeni.Ok())
        return Neuspech(kontext, adresa, hotovo, celkem, v.Overeni.Registr,
                        ChybaOvereni(s, v.Overeni, k), moduly);
    kontext.Vystup.Radek(
        QStringLiteral("adresa %1: zapsáno a ověřeno (%2 registrů)").arg(adresa).arg(celkem));
    moduly.append(QJsonObject{{QStringLiteral("adresa"), adresa},
                              {QStringLiteral("ok"), true},
                              {QStringLiteral("zapsano"), hotovo},
                              {QStringLiteral("registru"), celkem}});
    return KodUkonceni::Uspech;
}

// A module of the list not reached after Ctrl-C.
int Nezapsano(TKontext& kontext, std::uint8_t adresa, int celkem, QJsonArray& moduly) {
    kontext.Vystup.Radek(QStringLiteral("adresa %1: nezapsáno (přerušeno)").arg(adresa));
    moduly.append(QJsonObject{{QStringLiteral("adresa"), adresa},
                              {QStringLiteral("ok"), false},
                              {QStringLiteral("zapsano"), 0},
                              {QStringLiteral("registru"), celkem},
                              {QStringLiteral("preruseno"), true}});
    return KodUkonceni::Preruseno;
}

} // namespace

int NahrajKonfiguraci(TKontext& kontext, const QString& soubor,
                      const std::vector<std::uint8_t>& cile, bool sAdresou, bool jinyModul) {
    int kod = 0;
    TPodminkyZapisu podminky;
    podminky.JinyModul = jinyModul;
    const auto k = SouborKonfigurace(kontext, soubor, kod, &podminky.ModulSouboru);
    if (!k) return kod;
    return SPripojenim(kontext, [&](TSpojeni& s) {
        std::vector<std::uint8_t> adresy = cile;
        if (adresy.empty()) adresy.push_back(s.Data.Adresa);
        QJsonArray moduly;
        int vysledek = KodUkonceni::Uspech;
        for (const std::uint8_t adresa : adresy) {
            const int vysledekModulu =
                PozadavekPreruseni().load()
                    ? Nezapsano(kontext, adresa, PocetRegistruZapisu(sAdresou), moduly)
                    : ZapisDoModulu(kontext, s, adresa, *k, sAdresou, podminky, moduly);
            vysledek = HorsiUkonceni(vysledek, vysledekModulu);
        }
        if (kontext.Vystup.Json())
            kontext.Vystup.Dokument({{QStringLiteral("soubor"), soubor},
                                     {QStringLiteral("moduly"), moduly},
                                     {QStringLiteral("ok"), vysledek == KodUkonceni::Uspech}});
        return vysledek;
    });
}
