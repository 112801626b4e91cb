// The register sequences of the configuration dialogs: reading a dialog's
// configuration registers into a TKonfigurace, and writing them with a
// read-back check. A dialog is described by data (its registers in order and
// two flags); progress, the pause between commands and the stop on request
// reach the caller through callbacks, so the sequences run without a window.
#pragma once

#include "Dekl.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <span>

// The field of TKonfigurace a register holds a byte of.
enum class TPoleKonfigurace {
    Adresa,
    Rychlost,
    InicializacniCas,
    DobaVypnutiRele,
    AktivaceCasovace,
    NegaceDIN,
    NegaceDOUT,
    PocatecniStavDOUT,
};

// One configuration register and the byte of a field it holds (byte 0 is the
// lowest; one-byte fields have only byte 0). With NulujVyssi (16-bit fields)
// the value read also clears the bytes above its own, so a field read low
// byte first holds the low byte alone until its high byte has come.
struct TRegistrKonfigurace {
    std::uint8_t Registr;
    TPoleKonfigurace Pole;
    std::uint8_t Bajt = 0;
    bool NulujVyssi = false;
};

std::uint8_t BajtKonfigurace(const TKonfigurace& konfigurace, const TRegistrKonfigurace& r);
void NastavBajtKonfigurace(TKonfigurace& konfigurace, const TRegistrKonfigurace& r,
                           std::uint8_t hodnota);

// Where a sequence pauses (lets the caller process window messages).
enum class TPauza {
    Zadna,         // never
    MeziPrikazy,   // between a write and its read-back, and between registers
    PoKazdemKroku, // as MeziPrikazy, and after the last register too
};

struct TSekvenceRegistru {
    std::span<const TRegistrKonfigurace> Registry; // in the order sent
    TPauza Pauza = TPauza::Zadna;
    bool ZpetneCteniSHodnotou = false; // the read-back sends 0, R, R, V, V
};

struct TPrubehSekvence {
    std::function<void(const QString&)> Stav; // every status text, as it changes
    std::function<bool()> Pauza;              // at each pause; false stops before the next command
    std::function<void()> Krok = {};          // after each register read, or written and read back
};

enum class TKonecSekvence {
    Hotovo,
    Nepripojeno,  // the record holds no usable connection; nothing sent
    ChybaPrikazu, // a command failed with Kod
    ChybaZapisu,  // the read-back gave Precteno instead of the value written
    Preruseno,    // the pause callback asked to stop
};

struct TVysledekSekvence {
    TKonecSekvence Konec = TKonecSekvence::Hotovo;
    std::uint8_t Kod = 0;      // result code of ChybaPrikazu
    int Hotovych = 0;          // registers completed
    std::uint8_t Registr = 0;  // the register it stopped at (Preruseno: the last one written to)
    std::uint8_t Precteno = 0; // the value read back, ChybaZapisu
    bool Ok() const { return Konec == TKonecSekvence::Hotovo; }
};

// Reads the registers from the record's module (address, interface and
// connection taken at the start) into the configuration; values read before
// a failure stay there.
TVysledekSekvence PrectiRegistry(const TData& data, const TSekvenceRegistru& sekvence,
                                 TKonfigurace& konfigurace, const TPrubehSekvence& prubeh);
// Writes the registers with the configuration's values, each followed by a
// read-back; stops at the first failure or difference.
TVysledekSekvence ZapisRegistry(const TData& data, const TSekvenceRegistru& sekvence,
                                TKonfigurace konfigurace, const TPrubehSekvence& prubeh);
