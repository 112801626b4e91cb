// The subcommands of zr464-cli. Each takes the common context and its own
// arguments and returns the exit code; everything it prints goes through
// the context's output.
#pragma once

#include "RucniPrikaz.h"
#include "Spojeni.h"
#include "Vystup.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct TProstredi;

struct TKontext {
    TVystup& Vystup;
    const TProstredi& Prostredi;
    TVolbyPripojeni Pripojeni;
    bool Stopa = false;
    bool Statistika = false;
};

// Opens the connection of the context (with the trace observer when asked
// for), runs the work and closes it again; an opening that fails ends with
// the error. With Statistika the summary of every transaction follows on
// standard error.
int SPripojenim(TKontext& kontext, const std::function<int(TSpojeni&)>& prace);

// Repeated polling of --watch: every `interval` ms until `pocet` polls are
// done (0: no limit) or Ctrl-C. `poll` returns false when its poll failed.
struct TOpakovani {
    bool Zapnuto = false;
    int Interval = 1000;
    int Pocet = 0;
};

// The wait between two polls or repeats, ended early by Ctrl-C.
void Cekej(int ms);

int VypisIdentifikaci(TKontext& kontext);
int VypisVstupy(TKontext& kontext, const TOpakovani& opakovani);
int VypisStav(TKontext& kontext, bool vynulovat, const TOpakovani& opakovani);
int VypisWatchdog(TKontext& kontext, std::optional<std::uint16_t> nastavit,
                  const TOpakovani& opakovani);
int NastavVystupy(TKontext& kontext, std::uint32_t maska);

// The more serious of two exit codes of a run over several modules:
// interrupted, a module error, a mismatch, any other error, success.
int HorsiUkonceni(int a, int b);

int VypisKonfiguraci(TKontext& kontext);
int UlozKonfiguraci(TKontext& kontext, const QString& soubor);
int RozdilyKonfigurace(TKontext& kontext, const QString& soubor, bool sAdresou);
// With `jinyModul` (--force) also into a module whose name differs from the
// file's "modul" key.
int NahrajKonfiguraci(TKontext& kontext, const QString& soubor,
                      const std::vector<std::uint8_t>& cile, bool sAdresou, bool jinyModul);

// commission: the test through the loopback fixture and its report.
struct TZadaniZkousky {
    QString Protokol;  // the PDF; the JSON goes beside it
    QString Ocekavana; // the intended configuration's .cfm, if any
    QString Obsluha;
    std::uint32_t ObnovitVystupy = 0;
    int CasOdezvyMs = 200;
};
int ZkousejModul(TKontext& kontext, const TZadaniZkousky& zadani);

// send: one command by hand, `pocet` times `interval` ms apart.
int PosliRucne(TKontext& kontext, const TRucniPrikaz& prikaz, int pocet, int interval);

// bus save / bus diff: the modules to work on. The --addresses are at the
// --rates (one for all, or one per address in order), else at the
// connection's rate; --from names a file of "ADDR:RATE" items; with neither,
// the bus overview's list of the settings file.
struct TSeznamSbernice {
    std::vector<std::uint8_t> Adresy;    // --addresses
    std::vector<std::int32_t> Rychlosti; // --rates
    QString Soubor;                      // --from: "ADDR:RATE" items
};
// The modules of a list file ("ADDR:RATE" items, lines beginning with "#"
// are comments); nothing with the reason in `duvod`.
std::optional<std::vector<TModulSbernice>> SeznamModuluZeSouboru(const QString& soubor,
                                                                 QString& duvod);
int UlozSbernici(TKontext& kontext, const QString& slozka, const TSeznamSbernice& seznam);
int RozdilySbernice(TKontext& kontext, const QString& slozka, const TSeznamSbernice& seznam);

int HledejModuly(TKontext& kontext, const std::vector<std::uint8_t>& adresy,
                 const std::vector<std::int32_t>& rychlosti);

// bus watch: the modules of the list (else the settings file's) polled in
// turn at the period (else the settings file's), a row per poll, until
// `Pocet` rows (0: no limit) or Ctrl-C.
struct TZadaniPrehledu {
    std::optional<std::vector<TModulSbernice>> Moduly;
    std::optional<int> PeriodaMs;
    int Pocet = 0;
};
int SledujSbernici(TKontext& kontext, const TZadaniPrehledu& zadani);
