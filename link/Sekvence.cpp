#include "Sekvence.h"

#include "Prikazy.h"
#include "Xxxx683.h"

#include <array>

namespace {

// The byte of a field, read or replaced through one accessor per field kind.
std::uint8_t BajtSlova(std::uint16_t slovo, std::uint8_t bajt) {
    return static_cast<std::uint8_t>(slovo >> (8 * (bajt & 1)));
}

void NastavBajtSlova(std::uint16_t& slovo, std::uint8_t bajt, std::uint8_t hodnota,
                     bool nulujVyssi) {
    const int posun = 8 * (bajt & 1);
    const int ponechat = nulujVyssi ? (1 << posun) - 1 : ~(0xFF << posun);
    slovo = static_cast<std::uint16_t>((slovo & ponechat) | (hodnota << posun));
}

// Pointers to the field of a register, const or not as the record is; null
// for the field kinds the other two functions serve.
template <class K> auto JednoBajtovePole(K& k, TPoleKonfigurace pole) -> decltype(&k.Adresa) {
    switch (pole) {
    case TPoleKonfigurace::Adresa:
        return &k.Adresa;
    case TPoleKonfigurace::Rychlost:
        return &k.Rychlost;
    case TPoleKonfigurace::AktivaceCasovace:
        return &k.AktivaceCasovace;
    default:
        return nullptr;
    }
}

template <class K> auto SlovoPole(K& k, TPoleKonfigurace pole) -> decltype(&k.InicializacniCas) {
    if (pole == TPoleKonfigurace::InicializacniCas) return &k.InicializacniCas;
    if (pole == TPoleKonfigurace::DobaVypnutiRele) return &k.DobaVypnutiRele;
    return nullptr;
}

template <class K> auto MaskaPole(K& k, TPoleKonfigurace pole) -> decltype(&k.NegaceDIN) {
    if (pole == TPoleKonfigurace::NegaceDIN) return &k.NegaceDIN;
    if (pole == TPoleKonfigurace::NegaceDOUT) return &k.NegaceDOUT;
    if (pole == TPoleKonfigurace::PocatecniStavDOUT) return &k.PocatecniStavDOUT;
    return nullptr;
}

QString TextPrubehu(const char* zacatek, int krok, int pocet) {
    const int procent = pocet > 0 ? krok * 100 / pocet : 100;
    return QString::fromUtf8(zacatek) + QString::number(procent) + QStringLiteral(" %)");
}

constexpr const char* CteniText = " Probíhá čtení konfigurace z modulu (";
constexpr const char* ZapisText = " Probíhá zápis konfigurace do modulu (";

// One run of a sequence: the connection fixed at its start, the callbacks,
// and the outcome so far.
class TBeh {
public:
    TBeh(const TData& data, const TSekvenceRegistru& sekvence, const TPrubehSekvence& prubeh)
        : Rozhrani(data.Rozhrani), Spojeni(data.Spojeni), Adresa(data.Adresa), Sekvence(sekvence),
          Prubeh(prubeh) {}

    void Stav(const QString& text) const {
        if (Prubeh.Stav) Prubeh.Stav(text);
    }

    // Sends one register command; false (with the outcome set) on failure.
    bool Prikaz(std::uint8_t kod, std::uint8_t registr, std::uint8_t hodnota,
                std::uint8_t& odpoved) {
        const TOdpovedModulu o = ProvedPrikaz(Rozhrani, Spojeni, Adresa, kod, Prikaz::ParRegistr,
                                              {0, registr, registr, hodnota, hodnota});
        odpoved = o.A[2];
        if (o.Ok()) return true;
        Vysledek = {TKonecSekvence::ChybaPrikazu, o.Vysledek, Vysledek.Hotovych, registr, 0};
        Stav(QStringLiteral(" ") + TextKodu(Rozhrani, o.Vysledek));
        return false;
    }

    // A pause where the sequence has one; false when the caller stops it.
    bool Pauza(bool posledniKrok) {
        const TPauza p = Sekvence.Pauza;
        if (p == TPauza::Zadna || (posledniKrok && p == TPauza::MeziPrikazy)) return true;
        if (!Prubeh.Pauza || Prubeh.Pauza()) return true;
        Vysledek.Konec = TKonecSekvence::Preruseno;
        return false;
    }

    // The closing text after a step: progress, then the pause.
    bool PoKroku(const char* text, int krok) {
        Vysledek.Hotovych = krok;
        if (Prubeh.Krok) Prubeh.Krok();
        Stav(TextPrubehu(text, krok, Pocet()));
        return Pauza(krok == Pocet());
    }

    int Pocet() const { return static_cast<int>(Sekvence.Registry.size()); }

    const std::uint8_t Rozhrani;
    const std::uint32_t Spojeni;
    const std::uint8_t Adresa;
    const TSekvenceRegistru& Sekvence;
    const TPrubehSekvence& Prubeh;
    TVysledekSekvence Vysledek;
};

bool ZapisJeden(TBeh& beh, const TRegistrKonfigurace& r, std::uint8_t v) {
    std::uint8_t precteno = 0;
    if (!beh.Prikaz(Prikaz::ZapisRegistr, r.Registr, v, precteno)) return false;
    // Stopped between the write and its read-back: the register may hold
    // the new value already.
    if (!beh.Pauza(false)) return (beh.Vysledek.Registr = r.Registr), false;
    const std::uint8_t poslat = beh.Sekvence.ZpetneCteniSHodnotou ? v : 0;
    if (!beh.Prikaz(Prikaz::CtiRegistr, r.Registr, poslat, precteno)) return false;
    if (precteno == v) return true;
    beh.Vysledek = {TKonecSekvence::ChybaZapisu, 0, beh.Vysledek.Hotovych, r.Registr, precteno};
    beh.Stav(QStringLiteral(" Chyba zápisu dat."));
    return false;
}

} // namespace

std::uint8_t BajtKonfigurace(const TKonfigurace& k, const TRegistrKonfigurace& r) {
    if (const std::uint8_t* b = JednoBajtovePole(k, r.Pole)) return *b;
    if (const std::uint16_t* w = SlovoPole(k, r.Pole)) return BajtSlova(*w, r.Bajt);
    if (const auto* m = MaskaPole(k, r.Pole)) return (*m)[r.Bajt & 3];
    return 0;
}

void NastavBajtKonfigurace(TKonfigurace& k, const TRegistrKonfigurace& r, std::uint8_t hodnota) {
    if (std::uint8_t* b = JednoBajtovePole(k, r.Pole))
        *b = hodnota;
    else if (std::uint16_t* w = SlovoPole(k, r.Pole))
        NastavBajtSlova(*w, r.Bajt, hodnota, r.NulujVyssi);
    else if (auto* m = MaskaPole(k, r.Pole))
        (*m)[r.Bajt & 3] = hodnota;
}

TVysledekSekvence PrectiRegistry(const TData& data, const TSekvenceRegistru& sekvence,
                                 TKonfigurace& konfigurace, const TPrubehSekvence& prubeh) {
    if (!PripojeniPouzitelne(&data)) return {TKonecSekvence::Nepripojeno};
    TBeh beh(data, sekvence, prubeh);
    beh.Stav(TextPrubehu(CteniText, 0, 1));
    for (const TRegistrKonfigurace& r : sekvence.Registry) {
        std::uint8_t hodnota = 0;
        if (!beh.Prikaz(Prikaz::CtiRegistr, r.Registr, 0, hodnota)) return beh.Vysledek;
        NastavBajtKonfigurace(konfigurace, r, hodnota);
        if (!beh.PoKroku(CteniText, beh.Vysledek.Hotovych + 1))
            return (beh.Vysledek.Registr = r.Registr), beh.Vysledek;
    }
    beh.Stav(QStringLiteral(" Konfigurace přečtena."));
    return beh.Vysledek;
}

TVysledekSekvence ZapisRegistry(const TData& data, const TSekvenceRegistru& sekvence,
                                TKonfigurace konfigurace, const TPrubehSekvence& prubeh) {
    if (!PripojeniPouzitelne(&data)) return {TKonecSekvence::Nepripojeno};
    TBeh beh(data, sekvence, prubeh);
    beh.Stav(TextPrubehu(ZapisText, 0, 1));
    for (const TRegistrKonfigurace& r : sekvence.Registry) {
        if (!ZapisJeden(beh, r, BajtKonfigurace(konfigurace, r))) return beh.Vysledek;
        if (!beh.PoKroku(ZapisText, beh.Vysledek.Hotovych + 1))
            return (beh.Vysledek.Registr = r.Registr), beh.Vysledek;
    }
    beh.Stav(QStringLiteral(" Konfigurace zapsána."));
    return beh.Vysledek;
}
