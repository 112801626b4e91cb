// The commissioning test of a module: identification and configuration,
// every output alone and then all off, the inputs, the watchdog's count-down
// against the PC's clock and the status register, each step with its result
// and what was measured. At the end, and when stopped at any point, the
// outputs go back to the word given at the start (the module cannot tell
// what it drives).
//
// With a loopback fixture (output n wired to input n) the outputs are
// checked through the inputs; without it the operator confirms each output
// and makes each input change. The test goes one short step per call of
// TZkouskaModulu::Krok, so a window stays responsive; Zkousej runs it whole.
#pragma once

#include "Dekl.h"
#include "Identifikace.h"
#include "KonfiguraceModulu.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

enum class TVysledekKroku { Proslo, Selhalo, Preskoceno };

enum class TDruhKroku {
    Identifikace,
    Konfigurace,
    Vystup,         // one output on alone
    VystupyVypnuty, // all outputs off
    Vstupy,         // every input made to change by the operator
    Watchdog,
    Status,
    Obnoveni, // the outputs back to the word they had
};

struct TKrokZkousky {
    TDruhKroku Druh = TDruhKroku::Identifikace;
    int Kanal = -1; // Vystup: the output's number
    TVysledekKroku Vysledek = TVysledekKroku::Preskoceno;
    QString Nazev;        // the step as the report names it ("DOUT7 → DIN7")
    QString Namereno;     // what was measured, in words
    std::uint8_t Kod = 0; // a command that failed: its result code
};

struct TNastaveniZkousky {
    bool Propojeni = false; // output n wired to input n
    int CasOdezvyMs = 200;  // within which an input must follow its output
    std::uint32_t ObnovitVystupy = 0;
    std::optional<TKonfigurace> Ocekavana; // the intended configuration
    std::uint16_t CasWatchdogu = 30;       // s, written before the count-down
    int DobaMereniMs = 3000;               // how long the count-down is watched
    int IntervalCteniMs = 100;             // between two reads while waiting
    std::function<qint64()> Hodiny;        // ms; empty: the steady clock
};

enum class TVerdikt { Proslo, Selhalo, Nedokonceno };

struct TVysledekZkousky {
    TIdentifikace Id;
    std::optional<TKonfigurace> Konfigurace; // as read from the module
    std::vector<TKrokZkousky> Kroky;
    bool Zastaveno = false;
    TVerdikt Verdikt() const;
    // A command failed (the module or the library): the code of the first.
    std::uint8_t KodChyby() const;
};

// What the test waits for from the operator.
enum class TCekaniZkousky {
    Nic,
    Potvrzeni, // Ano / Ne / Přeskočit for the output that is on
    Vstupy,    // the inputs are read until Hotovo (Potvrd) or Přeskočit
};

class TZkouskaModulu {
public:
    TZkouskaModulu(const TData& data, TNastaveniZkousky nastaveni);

    // One short step: a command or two. False once the test has ended (the
    // outputs restored).
    bool Krok();
    // Ends the test at the next step; the outputs are restored first.
    void Zastav();
    // The operator's answer to what the test waits for: Proslo ("Ano",
    // "Hotovo"), Selhalo ("Ne") or Preskoceno ("Přeskočit").
    void Potvrd(TVysledekKroku odpoved);

    TCekaniZkousky Ceka() const { return Cekani; }
    // The output that is on alone now, else -1.
    int ZapnutyVystup() const { return Zapnuty; }
    // The inputs seen changing in the inputs step.
    std::uint32_t VidenaZmena() const { return Videne; }
    // Steps done and to do, for a progress bar.
    int Hotovo() const { return static_cast<int>(VysledekZkousky.Kroky.size()); }
    int Celkem() const;
    bool Skonceno() const { return Faze >= PocetFazi; }
    const TVysledekZkousky& Vysledek() const { return VysledekZkousky; }

private:
    using TFaze = bool (TZkouskaModulu::*)(); // true: the phase is done
    bool Identifikuj();
    bool CtiKonfiguraci();
    bool Klid();
    bool Vystupy();
    bool Vstupy();
    bool Watchdog();
    bool Status();
    bool Obnov();

    bool ZacniVystup(int kanal);
    bool OverVystup();
    // Whether the inputs read `precteno` show output `kanal` (32: none) on
    // its own input and nowhere else; `konecne`: also in the rest state.
    bool Sleduje(std::uint32_t precteno, int kanal, bool konecne) const;
    void UzavriVystup(TVysledekKroku v, const QString& namereno);
    std::uint32_t Ocekavano(std::uint32_t vystupy) const;
    void Zapis(TKrokZkousky krok);
    bool Selhani(TDruhKroku druh, int kanal, std::uint8_t kod, const QString& text);
    qint64 Ted() const;
    bool CasCist();

    static constexpr int PocetFazi = 8;
    const TData& Data;
    TNastaveniZkousky Nastaveni;
    TVysledekZkousky VysledekZkousky;
    int Faze = 0;
    bool Konec = false; // stopped or a command failed: restore and end
    TCekaniZkousky Cekani = TCekaniZkousky::Nic;
    std::optional<TVysledekKroku> Odpoved;
    int Kanal = -1; // the output step in progress (32: all off)
    int Zapnuty = -1;
    bool Zapsano = false;
    qint64 Zacatek = 0, PosledniCteni = -1;
    std::uint32_t PrvniCteni = 0, Videne = 0;
    std::uint32_t VadneVKlidu = 0; // inputs that read wrong with all outputs off
    bool MaPrvni = false;
};

// The whole test; `krok` (may be empty) is called after every step,
// `prerusit` before every step (true stops it). Automatic steps only: with
// the fixture, without the inputs step, and no step needs the operator.
TVysledekZkousky Zkousej(const TData& data, const TNastaveniZkousky& nastaveni,
                         const std::function<void(const TZkouskaModulu&)>& krok,
                         const std::function<bool()>& prerusit);
