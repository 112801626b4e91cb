// The configuration engine: a module's configuration registers read as one
// record, compared with a file's, and written with a read-back check, in the
// three groups the configuration windows send. Every command goes through
// the register sequences of link/, so the caller's TPrubehSekvence pauses
// between commands (a window processes its events there, and stops the work
// by returning false). Nothing is printed: the outcome comes back as a
// record for the caller to show.
#pragma once

#include "Cfm.h"
#include "Dekl.h"
#include "Identifikace.h"
#include "Sekvence.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The number of registers PrectiKonfiguraci reads.
int PocetRegistruCteni();
// Reads every configuration register of the record's module into `k`; the
// failing group's outcome, else Hotovo.
TVysledekSekvence PrectiKonfiguraci(const TData& data, TKonfigurace& k,
                                    const TPrubehSekvence& prubeh);

// One key whose value differs between a file and a module.
struct TRozdilKonfigurace {
    TKlicCfm Klic = TKlicCfm::Format;
    QString VSouboru;
    QString VModulu;
};

// The keys that differ, in the file's order; the address and the rate only
// with `sAdresou`.
std::vector<TRozdilKonfigurace> PorovnejKonfigurace(const TKonfigurace& soubor,
                                                    const TKonfigurace& modul, bool sAdresou);

// What a write asks of its target beyond the configuration itself.
struct TPodminkyZapisu {
    // The "modul" key of the file; empty: the name is not checked.
    QString ModulSouboru;
    // Write even into a module whose name differs from the file's.
    bool JinyModul = false;
    // The target's identification when the caller has just read it (the
    // window, to name the module to the operator); else it is asked for.
    std::optional<TIdentifikace> Id;
};

// Whether the identification names a module other than the file's "modul"
// key (false when the file has none).
bool JinyModul(const QString& modulSouboru, const TIdentifikace& id);

// The checks before writing, in this order, nothing sent before all pass:
// the target identifies itself; its name is the file's (unless allowed);
// its firmware takes the values (1.00 to 1.02: initialisation times of
// 1-255 s only, as its watchdog window allows); with the address and rate,
// no other module answers at the new address at the new rate.
struct TKontrolaVerze {
    enum class TKonec {
        Ok,
        ChybaIdentifikace,
        JinyModul,
        NepovolenyCas,
        ChybaLinky,
        AdresaObsazena
    };
    TKonec Konec = TKonec::Ok;
    std::uint32_t Kod = 0; // ChybaIdentifikace, ChybaLinky: the library's code
    QString Verze;         // NepovolenyCas: the module's version
    QString Modul; // JinyModul, AdresaObsazena: the module's (or the other's) identification
    bool Ok() const { return Konec == TKonec::Ok; }
};
TKontrolaVerze OverCil(const TData& data, const TKonfigurace& k, bool sAdresou,
                       const TPodminkyZapisu& podminky);

struct TVysledekZapisu {
    TKontrolaVerze Verze;       // not Ok: nothing was written
    TVysledekSekvence Sekvence; // the group that stopped, else Hotovo
    int Hotovo = 0;             // registers written and read back
    int Celkem = 0;             // registers to write
    // The whole configuration read again after the last register: Hotovo,
    // a failed read, or ChybaZapisu with the first register that no longer
    // holds the value written (another writer came between) and what it holds.
    TVysledekSekvence Overeni;
    // What that read found in the module (as far as it got).
    TKonfigurace Modul = VychoziKonfigurace();
    bool Ok() const { return Verze.Ok() && Sekvence.Ok() && Overeni.Ok(); }
};

// The byte a configuration register holds for the configuration; empty for
// a register that is no configuration register.
std::optional<std::uint8_t> HodnotaRegistru(const TKonfigurace& k, std::uint8_t registr);

// The number of registers a write covers.
int PocetRegistruZapisu(bool sAdresou);
// Writes the configuration into the record's module (its address), every
// register read back: the digital I/O, the watchdog, then (with `sAdresou`)
// the address and the rate, which the module takes at its next restart.
// After the last register the whole configuration is read once more and
// compared with what was written (Overeni).
TVysledekZapisu ZapisKonfiguraci(const TData& data, const TKonfigurace& k, bool sAdresou,
                                 const TPrubehSekvence& prubeh,
                                 const TPodminkyZapisu& podminky = {});

// The first value of a file's text that a file may not hold (the module's
// values are saved as they are, but loading will refuse such a file).
std::optional<TChybaCfm> NeplatnaHodnota(const QByteArray& text);
// Writes the text to the path atomically (a new file renamed over the old);
// false with the reason in `chyba`. Only a regular file (a link to one is
// followed and stays a link) or a path where nothing is yet is written.
bool UlozSouborCfm(const QString& cesta, const QByteArray& text, QString& chyba);
