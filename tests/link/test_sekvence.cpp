// The register sequences through the real binding and the fake library: the
// commands in order, the status texts and the pauses between them, the stop
// at a failure, and the bytes of the configuration a register maps to.
#include "Prikazy.h"
#include "Sekvence.h"
#include "Vazba.h"
#include "ZaznamSekvence.h"

namespace {

constexpr std::uint8_t Typ = 3;
constexpr std::uint32_t Handle = 21;
constexpr std::uint8_t AdresaModulu = 9;

// Three registers: a one-byte field and both bytes of a 16-bit one.
constexpr TRegistrKonfigurace Registry[] = {
    {63, TPoleKonfigurace::Adresa},
    {0, TPoleKonfigurace::InicializacniCas, 0},
    {2, TPoleKonfigurace::InicializacniCas, 1},
};

// What the test does at the pause with this number (0: before the start).
enum class Akce { Nic, Chyba, Stop };

struct Radek {
    const char* Nazev;
    bool Zapis;
    TPauza Pauza;
    bool SHodnotou;
    int Kdy;
    Akce Co;
    std::uint8_t Adresa; // written to register 63
    const char* Ocekavano;
    TKonecSekvence Konec;
    int Hotovych;
    std::uint8_t Registr;
    std::uint8_t AdresaPo; // the record after a read
    std::uint16_t CasPo;
};

void PrintTo(const Radek& r, std::ostream* os) {
    *os << r.Nazev;
}

using K = TKonecSekvence;
using P = TPauza;
constexpr auto Ch = Akce::Chyba;
constexpr auto St = Akce::Stop;

const Radek Radky[] = {
    {"cteni", false, P::MeziPrikazy, false, 0, Akce::Nic, 0,
     "c0 R63 c33 P R0 c66 P R2 c100 precteno", K::Hotovo, 3, 0, 7, 0x1234},
    {"cteniBezPauzy", false, P::Zadna, false, 0, Akce::Nic, 0, "c0 R63 c33 R0 c66 R2 c100 precteno",
     K::Hotovo, 3, 0, 7, 0x1234},
    {"cteniPoKazdemKroku", false, P::PoKazdemKroku, false, 0, Akce::Nic, 0,
     "c0 R63 c33 P R0 c66 P R2 c100 P precteno", K::Hotovo, 3, 0, 7, 0x1234},
    {"cteniSelzeHned", false, P::MeziPrikazy, false, 0, Ch, 0, "c0 R63 chyba5", K::ChybaPrikazu, 0,
     63, 1, 0xAAAA},
    {"cteniSelzeUTretiho", false, P::MeziPrikazy, false, 2, Ch, 0,
     "c0 R63 c33 P R0 c66 P R2 chyba5", K::ChybaPrikazu, 2, 2, 7, 0xAA34},
    {"cteniPreruseno", false, P::MeziPrikazy, false, 1, St, 0, "c0 R63 c33 P", K::Preruseno, 1, 63,
     7, 0xAAAA},
    {"zapis", true, P::MeziPrikazy, false, 0, Akce::Nic, 7,
     "z0 W63=7 P R63 z33 P W0=52 P R0 z66 P W2=18 P R2 z100 zapsano", K::Hotovo, 3, 0, 1, 0xAAAA},
    {"zapisBezPauzySHodnotou", true, P::Zadna, true, 0, Akce::Nic, 7,
     "z0 W63=7 R63=7 z33 W0=52 R0=52 z66 W2=18 R2=18 z100 zapsano", K::Hotovo, 3, 0, 1, 0xAAAA},
    {"zapisPoKazdemKroku", true, P::PoKazdemKroku, false, 0, Akce::Nic, 7,
     "z0 W63=7 P R63 z33 P W0=52 P R0 z66 P W2=18 P R2 z100 P zapsano", K::Hotovo, 3, 0, 1, 0xAAAA},
    {"zapisSelze", true, P::MeziPrikazy, false, 2, Ch, 7, "z0 W63=7 P R63 z33 P W0=52 chyba5",
     K::ChybaPrikazu, 1, 0, 1, 0xAAAA},
    {"zpetneCteniSelze", true, P::MeziPrikazy, false, 1, Ch, 7, "z0 W63=7 P R63 chyba5",
     K::ChybaPrikazu, 0, 63, 1, 0xAAAA},
    {"zpetneCteniJine", true, P::MeziPrikazy, false, 0, Akce::Nic, 8, "z0 W63=8 P R63 chyba-zapisu",
     K::ChybaZapisu, 0, 63, 1, 0xAAAA},
    {"zapisPrerusen", true, P::MeziPrikazy, false, 1, St, 7, "z0 W63=7 P", K::Preruseno, 0, 63, 1,
     0xAAAA},
};

class SekvenceRegistru : public Vazba {
protected:
    void SetUp() override {
        Vazba::SetUp();
        fake.Spojeni(Handle, 0);
        fake.Odpoved(Prikaz::CtiRegistr, 0, 63, 0, {63, 63, 7, 0});
        fake.Odpoved(Prikaz::CtiRegistr, 0, 0, 0, {0, 0, 0x34, 0});
        fake.Odpoved(Prikaz::CtiRegistr, 0, 2, 0, {2, 2, 0x12, 0});
        data.Rozhrani = Typ;
        data.Adresa = AdresaModulu;
        ASSERT_EQ(InitRozhrani(Typ, data.Spojeni, TParametry{}), 0u);
        data.Inicializovano = true;
        konfigurace.Adresa = 1;
        konfigurace.InicializacniCas = 0xAAAA;
    }

    FakeOvladac fake{ZR_FAKELIB_DIR, Typ};
    TData data;
    TKonfigurace konfigurace{};
};

class Sekvence : public SekvenceRegistru, public ::testing::WithParamInterface<Radek> {};

} // namespace

TEST_P(Sekvence, PrikazyTextyAPauzy) {
    const Radek& r = GetParam();
    ZaznamSekvence zaznam(&fake, AdresaModulu, Handle);
    int pauza = 0;
    const TPrubehSekvence prubeh{[&](const QString& text) { zaznam.Stav(text); },
                                 [&] {
                                     zaznam.Pridej("P");
                                     if (++pauza != r.Kdy) return true;
                                     if (r.Co == Akce::Chyba) fake.Vysledek(FakeSend, 5);
                                     return r.Co != Akce::Stop;
                                 }};
    if (r.Kdy == 0 && r.Co == Akce::Chyba) fake.Vysledek(FakeSend, 5);
    const TSekvenceRegistru sekvence{Registry, r.Pauza, r.SHodnotou};
    TKonfigurace zapsat = konfigurace;
    zapsat.Adresa = r.Adresa;
    zapsat.InicializacniCas = 0x1234;
    const TVysledekSekvence v = r.Zapis ? ZapisRegistry(data, sekvence, zapsat, prubeh)
                                        : PrectiRegistry(data, sekvence, konfigurace, prubeh);

    EXPECT_EQ(zaznam.Text(), r.Ocekavano);
    EXPECT_EQ(v.Konec, r.Konec);
    EXPECT_EQ(v.Hotovych, r.Hotovych);
    EXPECT_EQ(v.Registr, r.Registr);
    EXPECT_EQ(v.Kod, r.Konec == K::ChybaPrikazu ? 5 : 0);
    EXPECT_EQ(v.Precteno, r.Konec == K::ChybaZapisu ? 7 : 0);
    // Values read before a failure stay; a write leaves the record alone.
    EXPECT_EQ(konfigurace.Adresa, r.AdresaPo);
    EXPECT_EQ(konfigurace.InicializacniCas, r.CasPo);
}

INSTANTIATE_TEST_SUITE_P(Cteni, Sekvence, ::testing::ValuesIn(Radky),
                         [](const auto& info) { return std::string(info.param.Nazev); });

// Without a usable connection neither sequence sends or shows anything.
TEST_F(SekvenceRegistru, BezPripojeniNicNeposle) {
    for (const auto& [inicializovano, spojeni] : {std::pair{false, Handle}, std::pair{true, 0u}}) {
        data.Inicializovano = inicializovano;
        data.Spojeni = spojeni;
        int volani = 0;
        const TPrubehSekvence prubeh{[&](const QString&) { ++volani; },
                                     [&] {
                                         ++volani;
                                         return true;
                                     }};
        const TSekvenceRegistru sekvence{Registry, TPauza::MeziPrikazy, false};
        EXPECT_EQ(PrectiRegistry(data, sekvence, konfigurace, prubeh).Konec, K::Nepripojeno);
        EXPECT_EQ(ZapisRegistry(data, sekvence, konfigurace, prubeh).Konec, K::Nepripojeno);
        EXPECT_EQ(volani, 0);
        EXPECT_EQ(konfigurace.Adresa, 1);
    }
    EXPECT_TRUE(fake.Volani(FakeSend).empty());
}

// Each register reaches exactly its byte of the record: channel masks byte
// n in element n, 16-bit times low byte 0.
TEST(SekvenceBajty, KazdyRegistrSvymBajtem) {
    const std::pair<TRegistrKonfigurace, std::uint8_t> radky[] = {
        {{63, TPoleKonfigurace::Adresa}, 0x11},
        {{62, TPoleKonfigurace::Rychlost}, 0x22},
        {{0, TPoleKonfigurace::InicializacniCas, 0}, 0x33},
        {{2, TPoleKonfigurace::InicializacniCas, 1}, 0x44},
        {{3, TPoleKonfigurace::DobaVypnutiRele, 0}, 0x55},
        {{4, TPoleKonfigurace::DobaVypnutiRele, 1}, 0x66},
        {{1, TPoleKonfigurace::AktivaceCasovace}, 0x77},
        {{33, TPoleKonfigurace::NegaceDIN, 0}, 0x81},
        {{39, TPoleKonfigurace::NegaceDIN, 2}, 0x83},
        {{37, TPoleKonfigurace::NegaceDOUT, 1}, 0x92},
        {{43, TPoleKonfigurace::NegaceDOUT, 3}, 0x94},
        {{32, TPoleKonfigurace::PocatecniStavDOUT, 0}, 0xA1},
        {{41, TPoleKonfigurace::PocatecniStavDOUT, 3}, 0xA4},
    };
    const TKonfigurace vzor{0x11,
                            0x22,
                            0x4433,
                            0x6655,
                            0x77,
                            {0x81, 0x82, 0x83, 0x84},
                            {0x91, 0x92, 0x93, 0x94},
                            {0xA1, 0xA2, 0xA3, 0xA4}};
    for (const auto& [registr, bajt] : radky) {
        EXPECT_EQ(BajtKonfigurace(vzor, registr), bajt) << int(registr.Registr);
        TKonfigurace k = vzor;
        NastavBajtKonfigurace(k, registr, 0xEE);
        for (const auto& [jiny, jinyBajt] : radky)
            EXPECT_EQ(BajtKonfigurace(k, jiny), jiny.Registr == registr.Registr ? 0xEE : jinyBajt)
                << int(registr.Registr) << " changed " << int(jiny.Registr);
    }
}
