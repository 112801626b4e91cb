#include "ZkouskaModulu.h"

#include "RelaceModulu.h"
#include "TextyZkousky.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr int PocetVystupu = 32;
constexpr std::uint32_t VsechnyVstupy = 0xFFFFFFFFu;

std::uint32_t Maska(const std::array<std::uint8_t, 4>& bajty) {
    return Slovo32(bajty);
}

} // namespace

TVerdikt TVysledekZkousky::Verdikt() const {
    for (const TKrokZkousky& k : Kroky)
        if (k.Vysledek == TVysledekKroku::Selhalo) return TVerdikt::Selhalo;
    return Zastaveno ? TVerdikt::Nedokonceno : TVerdikt::Proslo;
}

std::uint8_t TVysledekZkousky::KodChyby() const {
    for (const TKrokZkousky& k : Kroky)
        if (k.Kod != 0) return k.Kod;
    return 0;
}

TZkouskaModulu::TZkouskaModulu(const TData& data, TNastaveniZkousky nastaveni)
    : Data(data), Nastaveni(std::move(nastaveni)) {}

int TZkouskaModulu::Celkem() const {
    // identification, configuration, the outputs and all off, the inputs
    // (without the fixture), watchdog, status, restoring the outputs
    return 2 + PocetVystupu + 1 + (Nastaveni.Propojeni ? 0 : 1) + 3;
}

qint64 TZkouskaModulu::Ted() const {
    if (Nastaveni.Hodiny) return Nastaveni.Hodiny();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Whether a read is due: one every IntervalCteniMs while the test waits.
bool TZkouskaModulu::CasCist() {
    const qint64 ted = Ted();
    if (PosledniCteni >= 0 && ted - PosledniCteni < Nastaveni.IntervalCteniMs) return false;
    PosledniCteni = ted;
    return true;
}

bool TZkouskaModulu::Krok() {
    static constexpr TFaze Faze_[PocetFazi] = {
        &TZkouskaModulu::Identifikuj, &TZkouskaModulu::CtiKonfiguraci, &TZkouskaModulu::Klid,
        &TZkouskaModulu::Vystupy,     &TZkouskaModulu::Vstupy,         &TZkouskaModulu::Watchdog,
        &TZkouskaModulu::Status,      &TZkouskaModulu::Obnov};
    if (Skonceno()) return false;
    // Stopped or broken off: straight to restoring the outputs.
    if (Konec && Faze < PocetFazi - 1) {
        Cekani = TCekaniZkousky::Nic;
        Faze = PocetFazi - 1;
    }
    // The phase taken first and called after: GCC's bounds check of the
    // array misreads the index when the call is one expression.
    const TFaze faze = Faze_[static_cast<std::size_t>(Faze)];
    if ((this->*faze)()) {
        ++Faze;
        PosledniCteni = -1;
    }
    return !Skonceno();
}

void TZkouskaModulu::Zastav() {
    if (Skonceno() || Konec) return;
    Konec = true;
    VysledekZkousky.Zastaveno = true;
}

void TZkouskaModulu::Potvrd(TVysledekKroku odpoved) {
    if (Cekani != TCekaniZkousky::Nic) Odpoved = odpoved;
}

void TZkouskaModulu::Zapis(TKrokZkousky krok) {
    krok.Nazev = NazevKroku(krok.Druh, krok.Kanal, Nastaveni.Propojeni);
    VysledekZkousky.Kroky.push_back(std::move(krok));
}

// A command failed: the step fails with the library's text and the test
// ends (the outputs are still restored).
bool TZkouskaModulu::Selhani(TDruhKroku druh, int kanal, std::uint8_t kod, const QString& text) {
    Zapis({druh, kanal, TVysledekKroku::Selhalo, {}, text, kod});
    Konec = true;
    return true;
}

bool TZkouskaModulu::Identifikuj() {
    VysledekZkousky.Id = TRelaceModulu(Data).Identifikuj();
    const TIdentifikace& id = VysledekZkousky.Id;
    if (!id.Ok())
        return Selhani(TDruhKroku::Identifikace, -1, id.Vysledek,
                       TRelaceModulu(Data).TextKodu(id.Vysledek));
    Zapis({TDruhKroku::Identifikace, -1, TVysledekKroku::Proslo, {}, TextIdentifikace(id)});
    return true;
}

bool TZkouskaModulu::CtiKonfiguraci() {
    TKonfigurace k = VychoziKonfigurace();
    const TVysledekSekvence v = PrectiKonfiguraci(Data, k, {nullptr, [] { return true; }});
    if (!v.Ok())
        return Selhani(TDruhKroku::Konfigurace, -1, v.Kod, TRelaceModulu(Data).TextKodu(v.Kod));
    VysledekZkousky.Konfigurace = k;
    std::vector<TRozdilKonfigurace> rozdily;
    if (Nastaveni.Ocekavana) rozdily = PorovnejKonfigurace(*Nastaveni.Ocekavana, k, false);
    const auto vysledek = rozdily.empty() ? TVysledekKroku::Proslo : TVysledekKroku::Selhalo;
    Zapis({TDruhKroku::Konfigurace,
           -1,
           vysledek,
           {},
           TextKonfigurace(PocetRegistruCteni(), rozdily, Nastaveni.Ocekavana.has_value())});
    return true;
}

// What the inputs read when the outputs hold `vystupy`: the pins driven
// through the output negation, read through the input negation.
std::uint32_t TZkouskaModulu::Ocekavano(std::uint32_t vystupy) const {
    const TKonfigurace& k = *VysledekZkousky.Konfigurace;
    return vystupy ^ Maska(k.NegaceDOUT) ^ Maska(k.NegaceDIN);
}

// With the fixture, before the outputs: all off, and the inputs that read
// wrong then. A channel follows its output only when its input is right
// both on and off; an input that reads wrong at rest fails its own channel
// and does not count against the others.
bool TZkouskaModulu::Klid() {
    if (!Nastaveni.Propojeni) return true;
    const TRelaceModulu relace(Data);
    if (!Zapsano) {
        const auto z = relace.ZapisVystupy(0);
        if (!z.Ok()) return Selhani(TDruhKroku::VystupyVypnuty, -1, z.Kod, z.Text);
        Zapsano = true;
        Zacatek = Ted();
        return false;
    }
    if (!CasCist()) return false;
    const auto v = relace.CtiVstupy();
    if (!v.Ok()) return Selhani(TDruhKroku::VystupyVypnuty, -1, v.Kod, v.Text);
    VadneVKlidu = *v.Hodnota ^ Ocekavano(0);
    if (VadneVKlidu != 0 && Ted() - Zacatek < Nastaveni.CasOdezvyMs) return false;
    Zapsano = false;
    return true;
}

bool TZkouskaModulu::Sleduje(std::uint32_t precteno, int kanal, bool konecne) const {
    const std::uint32_t bit = kanal < PocetVystupu ? 1u << kanal : 0;
    const std::uint32_t rozdil = precteno ^ Ocekavano(bit);
    if (bit == 0) return rozdil == 0;
    const bool ok = (rozdil & (bit | ~VadneVKlidu)) == 0;
    return ok && (!konecne || (VadneVKlidu & bit) == 0);
}

bool TZkouskaModulu::Vystupy() {
    if (Kanal < 0) Kanal = 0;
    if (!Zapsano) return ZacniVystup(Kanal);
    return OverVystup();
}

bool TZkouskaModulu::ZacniVystup(int kanal) {
    const std::uint32_t slovo = kanal < PocetVystupu ? 1u << kanal : 0;
    const auto z = TRelaceModulu(Data).ZapisVystupy(slovo);
    const TDruhKroku druh = kanal < PocetVystupu ? TDruhKroku::Vystup : TDruhKroku::VystupyVypnuty;
    if (!z.Ok()) return Selhani(druh, kanal < PocetVystupu ? kanal : -1, z.Kod, z.Text);
    Zapsano = true;
    Zapnuty = kanal < PocetVystupu ? kanal : -1;
    Zacatek = Ted();
    PosledniCteni = -1;
    Odpoved.reset();
    Cekani = Nastaveni.Propojeni ? TCekaniZkousky::Nic : TCekaniZkousky::Potvrzeni;
    return false;
}

// With the fixture: reads the inputs until they show exactly the output's
// pattern or the time is up. Without it: waits for the operator.
bool TZkouskaModulu::OverVystup() {
    if (!Nastaveni.Propojeni) {
        if (!Odpoved) return false;
        UzavriVystup(*Odpoved, TextPotvrzeni(*Odpoved));
        return Kanal > PocetVystupu;
    }
    if (!CasCist()) return false;
    const auto v = TRelaceModulu(Data).CtiVstupy();
    const TDruhKroku druh = Kanal < PocetVystupu ? TDruhKroku::Vystup : TDruhKroku::VystupyVypnuty;
    if (!v.Ok()) return Selhani(druh, Kanal < PocetVystupu ? Kanal : -1, v.Kod, v.Text);
    const std::uint32_t bit = Kanal < PocetVystupu ? 1u << Kanal : 0;
    const qint64 ms = Ted() - Zacatek;
    if (!Sleduje(*v.Hodnota, Kanal, false) && ms < Nastaveni.CasOdezvyMs) return false;
    UzavriVystup(Sleduje(*v.Hodnota, Kanal, true) ? TVysledekKroku::Proslo
                                                  : TVysledekKroku::Selhalo,
                 TextVystupu(*v.Hodnota, Ocekavano(bit), ms, VadneVKlidu & bit,
                             bit == 0 ? 0 : VadneVKlidu & ~bit));
    return Kanal > PocetVystupu;
}

void TZkouskaModulu::UzavriVystup(TVysledekKroku v, const QString& namereno) {
    const bool vse = Kanal >= PocetVystupu;
    Zapis(
        {vse ? TDruhKroku::VystupyVypnuty : TDruhKroku::Vystup, vse ? -1 : Kanal, v, {}, namereno});
    Cekani = TCekaniZkousky::Nic;
    Zapsano = false;
    ++Kanal;
}

// Without the fixture: the inputs that change while the operator works them.
bool TZkouskaModulu::Vstupy() {
    if (Nastaveni.Propojeni) return true;
    if (Cekani == TCekaniZkousky::Nic) {
        Cekani = TCekaniZkousky::Vstupy;
        Odpoved.reset();
        Zapnuty = -1;
    }
    if (Odpoved) {
        const bool vse = Videne == VsechnyVstupy;
        const TVysledekKroku v = *Odpoved == TVysledekKroku::Preskoceno ? *Odpoved
                                 : vse                                  ? TVysledekKroku::Proslo
                                                                        : TVysledekKroku::Selhalo;
        Zapis({TDruhKroku::Vstupy, -1, v, {}, TextVstupu(Videne)});
        Cekani = TCekaniZkousky::Nic;
        return true;
    }
    if (!CasCist()) return false;
    const auto v = TRelaceModulu(Data).CtiVstupy();
    if (!v.Ok()) return Selhani(TDruhKroku::Vstupy, -1, v.Kod, v.Text);
    if (!MaPrvni) PrvniCteni = *v.Hodnota;
    MaPrvni = true;
    Videne |= *v.Hodnota ^ PrvniCteni;
    return false;
}

// The count-down against the PC's clock: set to a known time, read again
// after DobaMereniMs; the count must lie within one second of what the
// clock says. Afterwards the count starts from the initialisation time.
bool TZkouskaModulu::Watchdog() {
    const TRelaceModulu relace(Data);
    if (!Zapsano) {
        if (VysledekZkousky.Konfigurace->AktivaceCasovace == 0) {
            Zapis({TDruhKroku::Watchdog, -1, TVysledekKroku::Preskoceno, {}, TextWatchdogVypnut()});
            return true;
        }
        const auto z = relace.NastavWatchdog(Nastaveni.CasWatchdogu);
        if (!z.Ok()) return Selhani(TDruhKroku::Watchdog, -1, z.Kod, z.Text);
        Zapsano = true;
        Zacatek = Ted();
        return false;
    }
    const qint64 ms = Ted() - Zacatek;
    if (ms < Nastaveni.DobaMereniMs) return false;
    const auto c = relace.CtiWatchdog();
    if (!c.Ok()) return Selhani(TDruhKroku::Watchdog, -1, c.Kod, c.Text);
    Zapsano = false;
    const double ocekavano = Nastaveni.CasWatchdogu - static_cast<double>(ms) / 1000.0;
    const bool ok = std::abs(*c.Hodnota - ocekavano) <= 1.0;
    Zapis({TDruhKroku::Watchdog,
           -1,
           ok ? TVysledekKroku::Proslo : TVysledekKroku::Selhalo,
           {},
           TextWatchdogu(Nastaveni.CasWatchdogu, ms, *c.Hodnota, ocekavano)});
    const auto z = relace.NastavWatchdog(VysledekZkousky.Konfigurace->InicializacniCas);
    if (!z.Ok()) return Selhani(TDruhKroku::Watchdog, -1, z.Kod, z.Text);
    return true;
}

// Read, cleared and read again: a bit that stays set is a fault the module
// still sees (ERR24 while the 24 V supply is missing).
bool TZkouskaModulu::Status() {
    const TRelaceModulu relace(Data);
    const auto pred = relace.CtiStatus();
    if (!pred.Ok()) return Selhani(TDruhKroku::Status, -1, pred.Kod, pred.Text);
    const auto nulovani = relace.NulujStatus();
    if (!nulovani.Ok()) return Selhani(TDruhKroku::Status, -1, nulovani.Kod, nulovani.Text);
    const auto po = relace.CtiStatus();
    if (!po.Ok()) return Selhani(TDruhKroku::Status, -1, po.Kod, po.Text);
    Zapis({TDruhKroku::Status,
           -1,
           *po.Hodnota == 0 ? TVysledekKroku::Proslo : TVysledekKroku::Selhalo,
           {},
           TextStatusu(*pred.Hodnota, *po.Hodnota)});
    return true;
}

bool TZkouskaModulu::Obnov() {
    Cekani = TCekaniZkousky::Nic;
    Zapnuty = -1;
    const auto z = TRelaceModulu(Data).ZapisVystupy(Nastaveni.ObnovitVystupy);
    if (!z.Ok()) {
        Zapis({TDruhKroku::Obnoveni, -1, TVysledekKroku::Selhalo, {}, z.Text, z.Kod});
        return true;
    }
    Zapis({TDruhKroku::Obnoveni,
           -1,
           TVysledekKroku::Proslo,
           {},
           TextObnoveni(Nastaveni.ObnovitVystupy)});
    return true;
}

TVysledekZkousky Zkousej(const TData& data, const TNastaveniZkousky& nastaveni,
                         const std::function<void(const TZkouskaModulu&)>& krok,
                         const std::function<bool()>& prerusit) {
    TNastaveniZkousky n = nastaveni;
    n.Propojeni = true;
    TZkouskaModulu zkouska(data, n);
    // Between two reads the test has nothing to do: a millisecond's rest
    // keeps the loop from spinning.
    do {
        if (prerusit && prerusit()) zkouska.Zastav();
        if (krok) krok(zkouska);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (zkouska.Krok());
    if (krok) krok(zkouska);
    return zkouska.Vysledek();
}
