// The bus backup: the configuration of every module of a list saved into a
// folder, one .cfm file per module named by its address and rate, and an
// index (zaloha.json) that lists them with their identification and the
// time; and the bus compared against such a folder, module by module.
//
// The modules are taken grouped by rate (the connection's rate first), so
// the line's rate changes only when the next module needs another one; at
// the end it is set back to the connection's rate. Every command goes
// through the module session and the register sequences of link/; the
// pause callback comes between commands and stops the work when it returns
// false. Nothing is printed: the outcome comes back as a record
// (nastroje/TextyZalohy.h puts it into words).
#pragma once

#include "Cfm.h"
#include "Dekl.h"
#include "Identifikace.h"
#include "KonfiguraceModulu.h"
#include "PopisRozdilu.h"
#include "Sekvence.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The index file of a backup folder.
inline constexpr const char* SouborIndexuZalohy = "zaloha.json";
// The largest index that is read at all.
constexpr qint64 NejvetsiIndexZalohy = 1024 * 1024;

// The file of a module in a backup folder: "modul-005-19200.cfm".
QString NazevSouboruModulu(const TModulSbernice& m);

// The list in the order the work takes it: each module once, grouped by
// rate, the group of `prvni` (the connection's rate) first, then the others
// as they first appear in the list.
std::vector<TModulSbernice> PodleRychlosti(const std::vector<TModulSbernice>& moduly,
                                           std::int32_t prvni);

struct TPrubehZalohy {
    // As a module begins: the module, its place (from 0) and the number of
    // modules.
    std::function<void(const TModulSbernice&, int, int)> Modul;
    // Between commands; false stops the work before the next one.
    std::function<bool()> Pauza;
    // After each step of a module: its identification, each register read.
    std::function<void()> Krok;
};
// The steps of one module (TPrubehZalohy::Krok).
int KrokuNaModul();

// One module of an index, and (in a folder read by NactiZalohu) its file's
// configuration.
struct TModulZalohy {
    TModulSbernice Modul;
    QString Soubor;  // the file's name in the folder
    QString Ident;   // "ZR-464 v.1.04" as printable text
    QString Doplnek; // the supplementary identification
    TKonfigurace Konfigurace = VychoziKonfigurace();
};

struct TIndexZalohy {
    QString Cas;       // when it was saved, ISO 8601 with the offset
    QString Puvod;     // the program that saved it
    bool Uplna = true; // every module of the list was saved
    std::vector<TModulZalohy> Moduly;
};

QByteArray ZapisIndexZalohy(const TIndexZalohy& index);
// The index checked whole: every module once, a known rate, a file name
// without a folder; empty with the reason otherwise.
std::optional<TIndexZalohy> PrectiIndexZalohy(const QByteArray& obsah, QString& chyba);

// ---- Saving ----------------------------------------------------------------

enum class TKonecUlozeni {
    Ulozeno,
    Neodpovida,   // the identification failed (Kod)
    ChybaCteni,   // a configuration register could not be read (Cteni)
    ChybaSouboru, // the file could not be written (Duvod)
    Neprovedeno,  // not reached: the work was stopped or the line failed
};

struct TUlozenyModul {
    TModulSbernice Modul;
    TKonecUlozeni Konec = TKonecUlozeni::Neprovedeno;
    TIdentifikace Id;
    TVysledekSekvence Cteni;
    QString Soubor; // the file's name in the folder
    QString Duvod;
    // A value of the module that a file may not hold (saved as read).
    std::optional<TChybaCfm> Varovani;
    bool Ok() const { return Konec == TKonecUlozeni::Ulozeno; }
};

// What a pass over the bus leaves besides its modules.
struct TBehSbernice {
    bool Preruseno = false;
    std::uint32_t KodLinky = 0;     // the line could not be set: the library's code
    std::int32_t RychlostLinky = 0; // to this rate
    bool LinkaZpet = true;          // the line was set back to the connection's rate
};

struct TVysledekZalohy {
    TBehSbernice Beh;
    std::vector<TUlozenyModul> Moduly; // in the order taken
    QString Index;                     // the index's path; empty when it could not be written
    QString ChybaIndexu;
    int Ulozenych() const;
    bool Ok() const;
};

// Saves every module of the list into the folder (which must exist); the
// index lists the modules saved, written last.
TVysledekZalohy ZalohujSbernici(const TData& data, const std::vector<TModulSbernice>& moduly,
                                const QString& slozka, const QString& puvod,
                                const TPrubehZalohy& prubeh);

// ---- Comparing -------------------------------------------------------------

// A backup folder read whole: its index, every module's file checked.
struct TZaloha {
    QString Slozka;
    TIndexZalohy Index;
};
// Empty with the reason (the file and its line) on any fault.
std::optional<TZaloha> NactiZalohu(const QString& slozka, QString& chyba);

enum class TStavPorovnani {
    Shoda,
    Rozdily,
    ChybiNaSbernici, // in the folder, the module does not answer
    NeniVZaloze,     // answers, not in the folder
    Neodpovida,      // in the list only, and does not answer: nothing to compare
    ChybaCteni,      // a configuration register could not be read
    Neprovedeno,
};

struct TPorovnanyModul {
    TModulSbernice Modul;
    TStavPorovnani Stav = TStavPorovnani::Neprovedeno;
    std::optional<TModulZalohy> Zaloha; // its entry in the folder, if any
    TIdentifikace Id;
    TVysledekSekvence Cteni;
    // The settings that differ as the operator reads them (the module's
    // identification first, when it is another than the file's), and by the
    // file's keys.
    std::vector<TPopisRozdilu> Popis;
    std::vector<TRozdilKonfigurace> Rozdily;
    bool JinyModul = false;
    bool Rozdil() const;
};

struct TVysledekPorovnani {
    TBehSbernice Beh;
    std::vector<TPorovnanyModul> Moduly;
    int Pocet(TStavPorovnani stav) const;
    // Whether a module differs, is missing or is not in the folder.
    bool Rozdil() const;
};

// The modules a comparison takes, in its order: the folder's and the list's.
std::vector<TModulSbernice> ModulyPorovnani(const TZaloha& zaloha,
                                            const std::vector<TModulSbernice>& seznam,
                                            std::int32_t prvni);

// Compares the folder's modules and those of the list (the bus overview's:
// a module there that answers and is not in the folder is named) with the
// bus: address and rate included.
TVysledekPorovnani PorovnejSbernici(const TData& data, const TZaloha& zaloha,
                                    const std::vector<TModulSbernice>& seznam,
                                    const TPrubehZalohy& prubeh);
