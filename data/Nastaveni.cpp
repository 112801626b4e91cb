// The settings file W_zr464.ini: an INI file whose bytes, names included, are
// Windows-1250 text. SimpleIni works on the raw bytes; names are matched
// without regard to ASCII case, everything not written here is kept.
#include "Dekl.h"
#include "ObycejnySoubor.h"
#include "Prevod.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <SimpleIni.h>
#include <optional>

namespace {

const QString SekcePripojeni = QStringLiteral("Připojení");
const QString SekceCOM = QStringLiteral("COMx");
const QString SekceISA = QStringLiteral("KC-683");
const QString SekceLAN = QStringLiteral("ZR-1683");
const QString SekceOken = QStringLiteral("Okna");
const QString SekceSbernice = QStringLiteral("Přehled sběrnice");
const QString KlicModuly = QStringLiteral("Moduly");
const QString KlicPerioda = QStringLiteral("Perioda");
const QString KlicRozhrani = QStringLiteral("Rozhraní");
const QString KlicAdresa = QStringLiteral("Adresa");
const QString KlicRychlost = QStringLiteral("Rychlost");
const QString KlicPort = QStringLiteral("Číslo portu");
const QString KlicBazova = QStringLiteral("Bázová adresa");
const QString KlicIP = QStringLiteral("IP adresa");
const QString KlicUDPPort = QStringLiteral("UDP port");
const QString KlicUDPTimeout = QStringLiteral("UDP timeout");

// Interface names by interface type.
const QString NazvyRozhrani[] = {QStringLiteral("COMx"), QStringLiteral("KC-683"),
                                 QStringLiteral("KC-1683"), QStringLiteral("KU-1683"),
                                 QStringLiteral("ZR-1683")};

std::string Bajty(const QString& text) {
    QStringEncoder encoder("windows-1250");
    const QByteArray b = encoder.encode(text);
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

QString Text(const char* bajty) {
    QStringDecoder decoder("windows-1250");
    return decoder.decode(QByteArray(bajty));
}

// A 32-bit integer as the file stores it, in the grammar of the edit fields
// (data/Prevod.h); the parser has trimmed the value already.
std::optional<std::int32_t> CtiCislo(std::string_view s) {
    return TextNaCislo(QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())));
}

// Blanks as the file's lines may hold them; the INI parser itself knows
// only the blank and the tab.
bool JeMezera(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// What marks a line that the parser cannot read (no "=", or no key before
// it) as a comment of its own, so that it is kept where it stands; the mark
// is taken off again when the file is written. A comment that begins with
// the mark gets a second one, so that taking one off gives it back whole.
const QByteArray ZnackaCizihoRadku = QByteArrayLiteral(";\x01");

// Whether the parser reads the line (its leading blanks skipped) as a
// section header, a comment or a key with its value.
bool CitelnyRadek(const QByteArray& radek) {
    const char prvni = radek[0];
    if (prvni == ';' || prvni == '#' || prvni == '[') return !radek.startsWith(ZnackaCizihoRadku);
    return radek.contains('=') && prvni != '=';
}

// One line as the INI parser is to read it, so that what it keeps is written
// back as it was read:
// - a line it cannot read is marked as a comment (ZnackaCizihoRadku);
// - a comment indented with a vertical tab or a form feed loses the indent
//   (the parser would take the line for an unreadable key and drop it);
// - a line of blanks alone is empty;
// - a section header without its closing bracket becomes a comment (the
//   parser would take the next lines into its name, and the header would be
//   written back broken, a line longer at every save).
QByteArray Radek(QByteArray radek) {
    qsizetype i = 0;
    while (i < radek.size() && JeMezera(radek[i]))
        ++i;
    if (i == radek.size()) return {};
    // The parser skips a UTF-8 byte order mark before the first line.
    const QByteArray bom = QByteArrayLiteral("\xEF\xBB\xBF");
    const QByteArray obsah = radek.mid(i).startsWith(bom) ? radek.mid(i + 3) : radek.mid(i);
    if (!obsah.isEmpty() && !CitelnyRadek(obsah)) return ZnackaCizihoRadku + radek;
    const char prvni = radek[i];
    // Blanks before the first character that the parser does not skip.
    const bool cizi = radek.left(i).contains('\v') || radek.left(i).contains('\f');
    if ((prvni == ';' || prvni == '#') && cizi) return radek.mid(i);
    if (prvni == '[' && !cizi && !radek.contains(']')) radek.prepend(';');
    return radek;
}

// The file's bytes as its lines say them: a NUL is no text character and
// reads as a blank (it would end the parse early), every line ends with LF
// whether it ended with CR LF, CR or LF, and each line is prepared by Radek.
QByteArray Radky(QByteArray obsah) {
    obsah.replace('\0', ' ');
    obsah.replace("\r\n", "\n");
    obsah.replace('\r', '\n');
    QByteArray vysledek;
    vysledek.reserve(obsah.size() + 16);
    for (qsizetype od = 0; od < obsah.size();) {
        qsizetype nl = obsah.indexOf('\n', od);
        const bool konecRadku = nl >= 0;
        if (!konecRadku) nl = obsah.size();
        vysledek += Radek(obsah.mid(od, nl - od));
        if (konecRadku) vysledek += '\n';
        od = nl + 1;
    }
    return vysledek;
}

// Where the comment and blank lines that end the file begin: the offset
// after the last line holding anything else, 0 when no line does.
qsizetype ZacatekZaveru(const QByteArray& obsah) {
    qsizetype konec = 0;
    for (qsizetype od = 0; od < obsah.size();) {
        qsizetype nl = obsah.indexOf('\n', od);
        nl = nl < 0 ? obsah.size() : nl + 1;
        const QByteArray radek = obsah.mid(od, nl - od).trimmed();
        if (!radek.isEmpty() && radek[0] != ';' && radek[0] != '#') konec = nl;
        od = nl;
    }
    return konec;
}

// A file of comment and blank lines alone, in the form the parser writes
// such lines back when they stand before the first section, so that they
// read back and save again the same: the comments without their indent;
// the first group of comment lines (the file's own comment) followed by two
// blank lines, the blank lines between later comments kept.
QByteArray Uvod(const QByteArray& obsah) {
    enum class Kde { Pred, Prvni, ZaPrvni, Dalsi } kde = Kde::Pred;
    QByteArray uvod, prazdne;
    for (const QByteArray& radek : obsah.split('\n')) {
        qsizetype i = 0;
        while (i < radek.size() && (radek[i] == ' ' || radek[i] == '\t'))
            ++i;
        const bool komentar = i < radek.size();
        if (komentar) {
            if (kde == Kde::Dalsi) uvod += prazdne;
            prazdne.clear();
            uvod += radek.mid(i) + '\n';
            kde = kde == Kde::Pred || kde == Kde::Prvni ? Kde::Prvni : Kde::Dalsi;
        } else if (kde == Kde::Prvni) {
            uvod += "\n\n";
            kde = Kde::ZaPrvni;
        } else if (kde == Kde::Dalsi) {
            prazdne += '\n';
        }
    }
    if (kde == Kde::Prvni) uvod += "\n\n";
    return uvod;
}

// The text as a Windows editor keeps it, for a file that came with CR LF
// line ends: every line ends with CR LF, and sections stand one blank line
// apart (the parser writes two). Runs of blank lines become one, so that
// none pile up from save to save.
std::string RadkyWindows(std::string_view text) {
    std::string vysledek;
    vysledek.reserve(text.size() + text.size() / 16);
    bool predtimPrazdny = false;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        const std::string_view radek = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (radek.empty() && predtimPrazdny) continue;
        predtimPrazdny = radek.empty();
        vysledek += radek;
        if (nl != std::string_view::npos) vysledek += "\r\n";
    }
    return vysledek;
}

// The text to write with the marks of unreadable lines taken off.
std::string BezZnacek(const std::string& text) {
    const std::string znacka = ZnackaCizihoRadku.toStdString();
    std::string vysledek;
    vysledek.reserve(text.size());
    for (std::size_t od = 0; od < text.size();) {
        std::size_t nl = text.find('\n', od);
        nl = nl == std::string::npos ? text.size() : nl + 1;
        const bool znaceny = text.compare(od, znacka.size(), znacka) == 0;
        vysledek.append(text, od + (znaceny ? znacka.size() : 0),
                        nl - od - (znaceny ? znacka.size() : 0));
        od = nl;
    }
    return vysledek;
}

QString ChybaUlozeni(const QString& cesta, const QString& duvod) {
    return QStringLiteral("Nelze uložit nastavení do souboru %1 (%2)")
        .arg(QDir::toNativeSeparators(cesta), duvod);
}

class Soubor {
public:
    Soubor() {
        ini_.SetSpaces(false);
        // A key that stands twice reads as its first value and keeps the rest.
        ini_.SetMultiKey(true);
    }

    // Loads the file's bytes; a missing file reads as empty. False when the
    // file exists but cannot be read; then *duvod says why.
    bool Nacti(const QString& cesta, QString* duvod = nullptr);

    QString CtiText(const QString& sekce, const QString& klic, const QString& vychozi) const {
        const char* v = ini_.GetValue(Bajty(sekce).c_str(), Bajty(klic).c_str(), nullptr);
        return v == nullptr ? vychozi : Text(v);
    }
    std::int32_t CtiCele(const QString& sekce, const QString& klic, std::int32_t vychozi) const {
        const char* v = ini_.GetValue(Bajty(sekce).c_str(), Bajty(klic).c_str(), nullptr);
        return v == nullptr ? vychozi : CtiCislo(v).value_or(vychozi);
    }
    void PisText(const QString& sekce, const QString& klic, const QString& hodnota) {
        ini_.SetValue(Bajty(sekce).c_str(), Bajty(klic).c_str(), Bajty(hodnota).c_str(), nullptr,
                      true);
    }
    void PisCele(const QString& sekce, const QString& klic, std::int64_t hodnota) {
        PisText(sekce, klic, QString::number(hodnota));
    }
    void Smaz(const QString& sekce, const QString& klic) {
        ini_.Delete(Bajty(sekce).c_str(), Bajty(klic).c_str(), true);
    }
    bool Uloz(const QString& cesta, QString* chyba) const;

    // Every key of a section with its first value.
    std::vector<std::pair<QString, QString>> Sekce(const QString& sekce) const {
        CSimpleIniA::TNamesDepend klice;
        ini_.GetAllKeys(Bajty(sekce).c_str(), klice);
        std::vector<std::pair<QString, QString>> obsah;
        for (const auto& k : klice)
            obsah.emplace_back(Text(k.pItem), Text(ini_.GetValue(Bajty(sekce).c_str(), k.pItem)));
        return obsah;
    }

private:
    CSimpleIniA ini_;
    // SimpleIni keeps a comment only with the section or key after it, so
    // what it would drop is kept here: the comments that end the file, or a
    // whole file that holds nothing but comments.
    QByteArray pred_;
    QByteArray zaver_;
    // The file's first line ended with CR LF: it is written back so.
    bool windows_ = false;
};

// The file's bytes; empty for a missing file. Empty with `duvod` set when
// the file exists but cannot be used.
std::optional<QByteArray> ObsahSouboru(const QString& cesta, QString& duvod) {
    const QFileInfo info(cesta);
    if (!info.exists() && !info.isSymLink()) return QByteArray();
    // One byte more than allowed tells a file that is too big.
    auto obsah = PrectiObycejnySoubor(cesta, NejvetsiSouborNastaveni + 1, duvod);
    if (obsah && obsah->size() > NejvetsiSouborNastaveni) {
        duvod = QStringLiteral("soubor je větší než %1 MiB").arg(NejvetsiSouborNastaveni >> 20);
        return std::nullopt;
    }
    if (!obsah) duvod = QStringLiteral("soubor nelze přečíst: ") + duvod;
    return obsah;
}

bool Soubor::Nacti(const QString& cesta, QString* duvod) {
    QString proc = NeniSouborem(cesta);
    std::optional<QByteArray> precteno;
    if (proc.isEmpty()) precteno = ObsahSouboru(cesta, proc);
    if (!precteno) {
        if (duvod != nullptr) *duvod = proc;
        return false;
    }
    QByteArray obsah = std::move(*precteno);
    const qsizetype prvniKonec = obsah.indexOf('\n');
    windows_ = prvniKonec > 0 && obsah[prvniKonec - 1] == '\r';
    obsah = Radky(obsah);
    // Blank lines before the first line: the parser takes a leading comment
    // for the file's own comment only when nothing stands before it, and
    // what it writes back has none; dropped now, the first save is settled.
    qsizetype uvodni = 0;
    while (uvodni < obsah.size() && obsah[uvodni] == '\n')
        ++uvodni;
    obsah.remove(0, uvodni);
    const qsizetype zaver = ZacatekZaveru(obsah);
    if (zaver == 0) {
        pred_ = Uvod(obsah);
        return true;
    }
    zaver_ = obsah.mid(zaver);
    return ini_.LoadData(obsah.constData(), static_cast<std::size_t>(zaver)) >= 0;
}

bool Soubor::Uloz(const QString& cesta, QString* chyba) const {
    std::string obsah(pred_.constData(), static_cast<std::size_t>(pred_.size()));
    const bool sestaveno = ini_.Save(obsah, false) >= 0;
    obsah.append(zaver_.constData(), static_cast<std::size_t>(zaver_.size()));
    obsah = BezZnacek(obsah);
    if (windows_) obsah = RadkyWindows(obsah);
    // A file the program would refuse at its next start is not written:
    // the one there stays readable.
    if (static_cast<qint64>(obsah.size()) > NejvetsiSouborNastaveni) {
        if (chyba != nullptr)
            *chyba = ChybaUlozeni(cesta, QStringLiteral("soubor by byl větší než 1 MiB"));
        return false;
    }
    QSaveFile f(cesta);
    const bool ok = sestaveno && f.open(QIODevice::WriteOnly) &&
                    f.write(obsah.data(), static_cast<qint64>(obsah.size())) ==
                        static_cast<qint64>(obsah.size()) &&
                    f.commit();
    if (!ok && chyba != nullptr) *chyba = ChybaUlozeni(cesta, DuvodUlozeni(cesta, f));
    return ok;
}

void CtiParametry(const Soubor& s, TData& d) {
    d.Adresa = static_cast<std::uint8_t>(s.CtiCele(SekcePripojeni, KlicAdresa, d.Adresa));
    d.Rychlost = s.CtiCele(SekcePripojeni, KlicRychlost, d.Rychlost);
    d.BazovaAdresa = static_cast<std::uint16_t>(s.CtiCele(SekceISA, KlicBazova, d.BazovaAdresa));
    d.CisloPortu = static_cast<std::uint8_t>(s.CtiCele(SekceCOM, KlicPort, d.CisloPortu));
    d.IPAdresa = s.CtiText(SekceLAN, KlicIP, d.IPAdresa);
    d.UDPPort = s.CtiCele(SekceLAN, KlicUDPPort, d.UDPPort);
    d.UDPTimeout = s.CtiCele(SekceLAN, KlicUDPTimeout, d.UDPTimeout);
}

// A size as "WIDTHxHEIGHT"; nothing for anything else.
void CtiVelikostiOken(const Soubor& s, TData& d) {
    for (const auto& [okno, hodnota] : s.Sekce(SekceOken)) {
        const QStringList casti = hodnota.split(u'x');
        if (casti.size() != 2) continue;
        const auto sirka = CtiCislo(Bajty(casti[0]));
        const auto vyska = CtiCislo(Bajty(casti[1]));
        if (sirka && vyska && *sirka > 0 && *vyska > 0)
            d.VelikostiOken[okno] = QSize(*sirka, *vyska);
    }
}

void PisVelikostiOken(Soubor& s, const TData& d) {
    for (auto i = d.VelikostiOken.cbegin(); i != d.VelikostiOken.cend(); ++i)
        s.PisText(SekceOken, i.key(),
                  QStringLiteral("%1x%2").arg(i.value().width()).arg(i.value().height()));
}

void CtiSbernici(const Soubor& s, TData& d) {
    const auto moduly = TextNaSeznamModulu(s.CtiText(SekceSbernice, KlicModuly, QString()));
    if (moduly) d.Sbernice = *moduly;
    const std::int32_t perioda = s.CtiCele(SekceSbernice, KlicPerioda, d.PeriodaPrehledu);
    if (perioda > 0) d.PeriodaPrehledu = perioda;
}

// An empty list leaves no section behind; a list emptied on purpose removes
// the one there was.
void PisSbernici(Soubor& s, const TData& d) {
    if (d.Sbernice.empty()) {
        s.Smaz(SekceSbernice, KlicModuly);
        return;
    }
    s.PisText(SekceSbernice, KlicModuly, SeznamModuluNaText(d.Sbernice));
    s.PisCele(SekceSbernice, KlicPerioda, d.PeriodaPrehledu);
}

void PisRozhrani(Soubor& s, const TData& d) {
    const std::uint8_t typ = d.Rozhrani <= 4 ? d.Rozhrani : 0;
    s.PisText(SekcePripojeni, KlicRozhrani, NazvyRozhrani[typ]);
    if (typ == 0) s.PisCele(SekceCOM, KlicPort, d.CisloPortu);
    if (typ == 1) s.PisCele(SekceISA, KlicBazova, d.BazovaAdresa);
    if (typ == 4) {
        s.PisText(SekceLAN, KlicIP, d.IPAdresa);
        s.PisCele(SekceLAN, KlicUDPPort, d.UDPPort);
        s.PisCele(SekceLAN, KlicUDPTimeout, d.UDPTimeout);
    }
}

} // namespace

bool NactiNastaveni(TData* data, const QString& cesta, QString* duvod) {
    if (data == nullptr) return false;
    Soubor s;
    if (!s.Nacti(cesta, duvod)) return false;
    CtiVelikostiOken(s, *data);
    CtiSbernici(s, *data);
    const QString chybi = QStringLiteral("jkl");
    const QString nazev = s.CtiText(SekcePripojeni, KlicRozhrani, chybi);
    if (nazev == chybi) return false;
    CtiParametry(s, *data);
    const auto* konec = std::end(NazvyRozhrani);
    const auto* shoda = std::find(std::begin(NazvyRozhrani), konec, nazev);
    if (shoda != konec)
        data->Rozhrani = static_cast<std::uint8_t>(shoda - std::begin(NazvyRozhrani));
    return true;
}

bool UlozNastaveni(TData* data, const QString& cesta, QString* chyba) {
    if (data == nullptr) return false;
    Soubor s;
    QString duvod;
    if (!s.Nacti(cesta, &duvod)) {
        // Writing now would replace content that could not be read, or
        // something that is no settings file.
        if (chyba != nullptr) *chyba = ChybaUlozeni(cesta, duvod);
        return false;
    }
    PisRozhrani(s, *data);
    s.PisCele(SekcePripojeni, KlicAdresa, data->Adresa);
    s.PisCele(SekcePripojeni, KlicRychlost, data->Rychlost);
    PisVelikostiOken(s, *data);
    PisSbernici(s, *data);
    return s.Uloz(cesta, chyba);
}
