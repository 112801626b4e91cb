#include "ZalohaSbernice.h"

#include "ObycejnySoubor.h"
#include "Prevod.h"
#include "RelaceModulu.h"
#include "Texty.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

constexpr int FormatIndexu = 1;

bool Stejny(const TModulSbernice& a, const TModulSbernice& b) {
    return a == b;
}
bool Stejny(const TModulZalohy& a, const TModulSbernice& b) {
    return a.Modul == b;
}

template <class T> bool Obsahuje(const std::vector<T>& v, const TModulSbernice& m) {
    return std::any_of(v.begin(), v.end(), [&](const T& x) { return Stejny(x, m); });
}

// The pass over the bus: the module session on the record's connection, the
// line at each module's rate as it comes, and back at the end.
class TPruchod {
public:
    TPruchod(const TData& data, const TPrubehZalohy& prubeh, TBehSbernice& beh)
        : Data(data), Relace(data), Puvodni(data.Rychlost), Prubeh(prubeh), Beh(beh) {}

    // Whether the module may be worked on: not stopped, the line at its rate.
    // The record of the module's address and rate is in Modul().
    bool Zacni(const TModulSbernice& m, int poradi, int celkem);
    TIdentifikace Identifikuj();
    TVysledekSekvence Precti(TKonfigurace& k);
    void Krok() const {
        if (Prubeh.Krok) Prubeh.Krok();
    }
    // The connection's rate again, when a module had another.
    void Zpet();

private:
    TData Data;
    TRelaceModulu Relace;
    const std::int32_t Puvodni;
    bool Zmeneno = false; // the line was set (or tried) to another rate
    const TPrubehZalohy& Prubeh;
    TBehSbernice& Beh;
};

bool TPruchod::Zacni(const TModulSbernice& m, int poradi, int celkem) {
    if (Beh.Preruseno || Beh.KodLinky != 0) return false;
    if (Prubeh.Pauza && !Prubeh.Pauza()) {
        Beh.Preruseno = true;
        return false;
    }
    if (Prubeh.Modul) Prubeh.Modul(m, poradi, celkem);
    if (Relace.Rychlost() != m.Rychlost) {
        Zmeneno = true;
        if (const std::uint32_t kod = Relace.NastavLinku(m.Rychlost); kod != 0) {
            Beh.KodLinky = kod;
            Beh.RychlostLinky = m.Rychlost;
            return false;
        }
    }
    Relace.NastavAdresu(m.Adresa);
    Data.Adresa = m.Adresa;
    Data.Rychlost = m.Rychlost;
    return true;
}

TIdentifikace TPruchod::Identifikuj() {
    const TIdentifikace id = Relace.Identifikuj();
    Krok();
    return id;
}

TVysledekSekvence TPruchod::Precti(TKonfigurace& k) {
    const TVysledekSekvence v = PrectiKonfiguraci(Data, k, {nullptr, Prubeh.Pauza, Prubeh.Krok});
    if (v.Konec == TKonecSekvence::Preruseno) Beh.Preruseno = true;
    return v;
}

void TPruchod::Zpet() {
    // Also after a refused rate: the line's state is not known then.
    if (!Zmeneno) return;
    const std::uint32_t kod = Relace.NastavLinku(Puvodni);
    if (kod == 0) return;
    Beh.LinkaZpet = false;
    if (Beh.KodLinky != 0) return;
    Beh.KodLinky = kod;
    Beh.RychlostLinky = Puvodni;
}

} // namespace

QString NazevSouboruModulu(const TModulSbernice& m) {
    return QStringLiteral("modul-%1-%2.cfm").arg(m.Adresa, 3, 10, QLatin1Char('0')).arg(m.Rychlost);
}

std::vector<TModulSbernice> PodleRychlosti(const std::vector<TModulSbernice>& moduly,
                                           std::int32_t prvni) {
    std::vector<std::int32_t> rychlosti{prvni};
    for (const TModulSbernice& m : moduly)
        if (std::find(rychlosti.begin(), rychlosti.end(), m.Rychlost) == rychlosti.end())
            rychlosti.push_back(m.Rychlost);
    std::vector<TModulSbernice> poradi;
    for (const std::int32_t r : rychlosti)
        for (const TModulSbernice& m : moduly)
            if (m.Rychlost == r && !Obsahuje(poradi, m)) poradi.push_back(m);
    return poradi;
}

int KrokuNaModul() {
    return 1 + PocetRegistruCteni();
}

// ---- The index ---------------------------------------------------------------

QByteArray ZapisIndexZalohy(const TIndexZalohy& index) {
    QJsonArray moduly;
    for (const TModulZalohy& m : index.Moduly)
        moduly.append(QJsonObject{{QStringLiteral("adresa"), m.Modul.Adresa},
                                  {QStringLiteral("rychlost"), m.Modul.Rychlost},
                                  {QStringLiteral("soubor"), m.Soubor},
                                  {QStringLiteral("modul"), m.Ident},
                                  {QStringLiteral("doplnek"), m.Doplnek}});
    const QJsonObject o{{QStringLiteral("format"), FormatIndexu},
                        {QStringLiteral("cas"), index.Cas},
                        {QStringLiteral("program"), index.Puvod},
                        {QStringLiteral("uplna"), index.Uplna},
                        {QStringLiteral("moduly"), moduly}};
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

namespace {

// A file name of the folder itself: no folder part, not "." or "..".
bool JmenoVeSlozce(const QString& jmeno) {
    return !jmeno.isEmpty() && !jmeno.contains(u'/') && !jmeno.contains(u'\\') &&
           jmeno != QStringLiteral(".") && jmeno != QStringLiteral("..");
}

std::optional<TModulZalohy> ModulIndexu(const QJsonValue& hodnota, QString& chyba) {
    const QJsonObject o = hodnota.toObject();
    const int adresa = o.value(QStringLiteral("adresa")).toInt(-1);
    const int rychlost = o.value(QStringLiteral("rychlost")).toInt(-1);
    TModulZalohy m;
    m.Soubor = o.value(QStringLiteral("soubor")).toString();
    m.Ident = o.value(QStringLiteral("modul")).toString();
    m.Doplnek = o.value(QStringLiteral("doplnek")).toString();
    const bool znamaRychlost =
        rychlost > 0 && std::find(RychlostiBd.begin(), RychlostiBd.end(),
                                  static_cast<std::uint32_t>(rychlost)) != RychlostiBd.end();
    if (!hodnota.isObject() || adresa < 0 || adresa > 255 || !znamaRychlost) {
        chyba = QStringLiteral("modul bez platné adresy a rychlosti");
        return std::nullopt;
    }
    if (!JmenoVeSlozce(m.Soubor)) {
        chyba = QStringLiteral("soubor modulu „%1“ není jméno souboru ve složce").arg(m.Soubor);
        return std::nullopt;
    }
    m.Modul = {static_cast<std::uint8_t>(adresa), rychlost};
    return m;
}

} // namespace

std::optional<TIndexZalohy> PrectiIndexZalohy(const QByteArray& obsah, QString& chyba) {
    QJsonParseError p;
    const QJsonDocument d = QJsonDocument::fromJson(obsah, &p);
    const QJsonObject o = d.object();
    if (p.error != QJsonParseError::NoError || !d.isObject() ||
        o.value(QStringLiteral("format")).toInt() != FormatIndexu ||
        !o.value(QStringLiteral("moduly")).isArray()) {
        chyba = QStringLiteral("není to seznam zálohy (formát %1)").arg(FormatIndexu);
        return std::nullopt;
    }
    TIndexZalohy index;
    index.Cas = o.value(QStringLiteral("cas")).toString();
    index.Puvod = o.value(QStringLiteral("program")).toString();
    index.Uplna = o.value(QStringLiteral("uplna")).toBool(true);
    for (const QJsonValue& h : o.value(QStringLiteral("moduly")).toArray()) {
        auto m = ModulIndexu(h, chyba);
        if (!m) return std::nullopt;
        if (Obsahuje(index.Moduly, m->Modul)) {
            chyba = QStringLiteral("modul %1 při %2 Bd je v seznamu dvakrát")
                        .arg(m->Modul.Adresa)
                        .arg(m->Modul.Rychlost);
            return std::nullopt;
        }
        index.Moduly.push_back(std::move(*m));
    }
    return index;
}

// ---- Saving ----------------------------------------------------------------------

int TVysledekZalohy::Ulozenych() const {
    return static_cast<int>(
        std::count_if(Moduly.begin(), Moduly.end(), [](const auto& m) { return m.Ok(); }));
}

bool TVysledekZalohy::Ok() const {
    return !Beh.Preruseno && Beh.KodLinky == 0 && !Index.isEmpty() &&
           Ulozenych() == static_cast<int>(Moduly.size());
}

namespace {

// The file of one module whose configuration was read.
void UlozModul(TUlozenyModul& u, const TKonfigurace& k, const QString& slozka,
               const QString& puvod) {
    const QString ident = ZobrazitelnyText(u.Id.Modul());
    const QByteArray text =
        ZapisCfm(k, HlavickaCfm(puvod, ident, u.Modul.Adresa, u.Modul.Rychlost), ident);
    u.Soubor = NazevSouboruModulu(u.Modul);
    if (!UlozSouborCfm(QDir(slozka).filePath(u.Soubor), text, u.Duvod)) {
        u.Konec = TKonecUlozeni::ChybaSouboru;
        return;
    }
    u.Varovani = NeplatnaHodnota(text);
    u.Konec = TKonecUlozeni::Ulozeno;
}

void ZalohujModul(TPruchod& pruchod, TUlozenyModul& u, const QString& slozka,
                  const QString& puvod) {
    u.Id = pruchod.Identifikuj();
    if (!u.Id.Ok()) {
        u.Konec = TKonecUlozeni::Neodpovida;
        return;
    }
    TKonfigurace k = VychoziKonfigurace();
    u.Cteni = pruchod.Precti(k);
    if (u.Cteni.Konec == TKonecSekvence::Preruseno) return;
    if (!u.Cteni.Ok()) {
        u.Konec = TKonecUlozeni::ChybaCteni;
        return;
    }
    UlozModul(u, k, slozka, puvod);
}

// The index of the modules saved, written after them.
void UlozIndex(TVysledekZalohy& v, const QString& slozka, const QString& puvod) {
    const QDateTime ted = QDateTime::currentDateTime();
    TIndexZalohy index;
    index.Cas = ted.toOffsetFromUtc(ted.offsetFromUtc()).toString(Qt::ISODate);
    index.Puvod = puvod;
    index.Uplna = v.Ulozenych() == static_cast<int>(v.Moduly.size());
    for (const TUlozenyModul& u : v.Moduly)
        if (u.Ok())
            index.Moduly.push_back({u.Modul, u.Soubor, ZobrazitelnyText(u.Id.Modul()),
                                    ZobrazitelnyText(u.Id.Doplnek), VychoziKonfigurace()});
    const QString cesta = QDir(slozka).filePath(QLatin1String(SouborIndexuZalohy));
    if (ZapisObycejnySoubor(cesta, ZapisIndexZalohy(index), v.ChybaIndexu)) v.Index = cesta;
}

} // namespace

TVysledekZalohy ZalohujSbernici(const TData& data, const std::vector<TModulSbernice>& moduly,
                                const QString& slozka, const QString& puvod,
                                const TPrubehZalohy& prubeh) {
    TVysledekZalohy v;
    for (const TModulSbernice& m : PodleRychlosti(moduly, data.Rychlost))
        v.Moduly.push_back({m, TKonecUlozeni::Neprovedeno, {}, {}, {}, {}, {}});
    TPruchod pruchod(data, prubeh, v.Beh);
    const int celkem = static_cast<int>(v.Moduly.size());
    for (int i = 0; i < celkem; ++i) {
        TUlozenyModul& u = v.Moduly[static_cast<std::size_t>(i)];
        if (!pruchod.Zacni(u.Modul, i, celkem)) break;
        ZalohujModul(pruchod, u, slozka, puvod);
    }
    pruchod.Zpet();
    // Nothing saved leaves the folder as it was, an earlier index too.
    if (v.Ulozenych() > 0) UlozIndex(v, slozka, puvod);
    return v;
}

// ---- Comparing -------------------------------------------------------------------

namespace {

// The file of one module of the index, checked whole.
bool NactiModul(const QString& slozka, TModulZalohy& m, QString& chyba) {
    const QString cesta = QDir(slozka).filePath(m.Soubor);
    TChybaCfm c;
    const auto k = NactiSouborCfm(cesta, c);
    if (!k) {
        const QString misto = MistoCfm(c);
        chyba = cesta + (misto.isEmpty() ? QString() : QStringLiteral(", ") + misto) +
                QStringLiteral(": ") + c.Text;
        return false;
    }
    m.Konfigurace = *k;
    return true;
}

} // namespace

std::optional<TZaloha> NactiZalohu(const QString& slozka, QString& chyba) {
    const QString cesta = QDir(slozka).filePath(QLatin1String(SouborIndexuZalohy));
    QString duvod;
    const auto obsah = PrectiObycejnySoubor(cesta, NejvetsiIndexZalohy + 1, duvod);
    if (obsah && obsah->size() > NejvetsiIndexZalohy)
        duvod = QStringLiteral("soubor je příliš velký");
    std::optional<TIndexZalohy> index;
    if (duvod.isEmpty() && obsah) index = PrectiIndexZalohy(*obsah, duvod);
    if (!index) {
        chyba = cesta + QStringLiteral(": ") + duvod;
        return std::nullopt;
    }
    for (TModulZalohy& m : index->Moduly)
        if (!NactiModul(slozka, m, chyba)) return std::nullopt;
    return TZaloha{slozka, std::move(*index)};
}

bool TPorovnanyModul::Rozdil() const {
    return Stav == TStavPorovnani::Rozdily || Stav == TStavPorovnani::ChybiNaSbernici ||
           Stav == TStavPorovnani::NeniVZaloze;
}

int TVysledekPorovnani::Pocet(TStavPorovnani stav) const {
    return static_cast<int>(std::count_if(Moduly.begin(), Moduly.end(),
                                          [stav](const auto& m) { return m.Stav == stav; }));
}

bool TVysledekPorovnani::Rozdil() const {
    return std::any_of(Moduly.begin(), Moduly.end(), [](const auto& m) { return m.Rozdil(); });
}

namespace {

// The module's configuration against its file's; the identification first.
void Porovnej(TPorovnanyModul& p, const TKonfigurace& k) {
    const QString ted = ZobrazitelnyText(p.Id.Modul());
    p.JinyModul = !p.Zaloha->Ident.isEmpty() && p.Zaloha->Ident != ted;
    if (p.JinyModul) p.Popis.push_back({QStringLiteral("Modul"), p.Zaloha->Ident, ted});
    for (TPopisRozdilu& r : PopisRozdilu(p.Zaloha->Konfigurace, k, true))
        p.Popis.push_back(std::move(r));
    p.Rozdily = PorovnejKonfigurace(p.Zaloha->Konfigurace, k, true);
    p.Stav = p.Popis.empty() ? TStavPorovnani::Shoda : TStavPorovnani::Rozdily;
}

void PorovnejModul(TPruchod& pruchod, TPorovnanyModul& p) {
    p.Id = pruchod.Identifikuj();
    if (!p.Id.Ok()) {
        p.Stav = p.Zaloha ? TStavPorovnani::ChybiNaSbernici : TStavPorovnani::Neodpovida;
        return;
    }
    if (!p.Zaloha) {
        p.Stav = TStavPorovnani::NeniVZaloze;
        return;
    }
    TKonfigurace k = VychoziKonfigurace();
    p.Cteni = pruchod.Precti(k);
    if (p.Cteni.Konec == TKonecSekvence::Preruseno) return;
    if (!p.Cteni.Ok()) {
        p.Stav = TStavPorovnani::ChybaCteni;
        return;
    }
    Porovnej(p, k);
}

} // namespace

std::vector<TModulSbernice> ModulyPorovnani(const TZaloha& zaloha,
                                            const std::vector<TModulSbernice>& seznam,
                                            std::int32_t prvni) {
    std::vector<TModulSbernice> vse;
    for (const TModulZalohy& m : zaloha.Index.Moduly)
        vse.push_back(m.Modul);
    vse.insert(vse.end(), seznam.begin(), seznam.end());
    return PodleRychlosti(vse, prvni);
}

TVysledekPorovnani PorovnejSbernici(const TData& data, const TZaloha& zaloha,
                                    const std::vector<TModulSbernice>& seznam,
                                    const TPrubehZalohy& prubeh) {
    TVysledekPorovnani v;
    for (const TModulSbernice& m : ModulyPorovnani(zaloha, seznam, data.Rychlost)) {
        TPorovnanyModul p;
        p.Modul = m;
        for (const TModulZalohy& z : zaloha.Index.Moduly)
            if (z.Modul == m) p.Zaloha = z;
        v.Moduly.push_back(std::move(p));
    }
    TPruchod pruchod(data, prubeh, v.Beh);
    const int celkem = static_cast<int>(v.Moduly.size());
    for (int i = 0; i < celkem; ++i) {
        TPorovnanyModul& p = v.Moduly[static_cast<std::size_t>(i)];
        if (!pruchod.Zacni(p.Modul, i, celkem)) break;
        PorovnejModul(pruchod, p);
    }
    pruchod.Zpet();
    return v;
}
