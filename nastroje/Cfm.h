// The module configuration file (.cfm): a text file of "key = value" lines,
// UTF-8, every line ended by a line break, "#" starts a comment line.
// docs/cli.md describes the keys and their ranges.
#pragma once

#include "Dekl.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

// The largest file that is read at all.
constexpr qint64 NejvetsiSouborCfm = 64 * 1024;

struct TChybaCfm {
    int Radek = 0; // 1-based line the message is about
    QString Text;
};

// The keys of the file, in the order they are written.
enum class TKlicCfm {
    Format,
    Adresa,
    Rychlost,
    InicializacniCas,
    DobaVypnutiRele,
    AktivaceWatchdogu,
    NegaceDIN,
    NegaceDOUT,
    PocatecniStavDOUT
};
constexpr int PocetKlicuCfm = 9;
const char* NazevKlice(TKlicCfm klic);

// The optional key "modul": the identification of the module the file was
// saved from ("ZR-464 v.1.04"), as printable text. A file without it (as
// written before the key existed) loads as well.
inline constexpr const char* KlicModulu = "modul";

// The file's text for a configuration; `komentar` lines go to its head,
// `modul` (when not empty) to the key "modul". Both are written as printable
// text (ZobrazitelnyText), so the file always loads again.
QByteArray ZapisCfm(const TKonfigurace& konfigurace, const QStringList& komentar,
                    const QString& modul = QString());

// Checks the whole text and takes the configuration from it; on any fault
// the result is empty and `chyba` names the line. *modul (if given) gets the
// value of the key "modul", empty without it.
std::optional<TKonfigurace> PrectiCfm(const QByteArray& obsah, TChybaCfm& chyba,
                                      QString* modul = nullptr);

// The file at the path, read with the size limit; an unreadable file is a
// fault of line 0.
std::optional<TKonfigurace> NactiSouborCfm(const QString& cesta, TChybaCfm& chyba,
                                           QString* modul = nullptr);

// The module's name in an identification text: what stands before its last
// " v.", without the blanks it is padded with.
QString NazevVIdentifikaci(const QString& modul);

// A decimal number or 0x followed by 1 to 8 hexadecimal digits, 32 bits.
std::optional<std::uint32_t> CisloBezZnamenka(const QString& text);

// The value of a key in a configuration, as the file writes it.
QString HodnotaKlice(const TKonfigurace& konfigurace, TKlicCfm klic);
