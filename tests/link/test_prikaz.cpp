// The command transaction through the real binding and the fake library.
#include "Vazba.h"

#include "Prikazy.h"

namespace {

constexpr std::uint8_t Typ = 3;
constexpr std::uint32_t Handle = 21;

class Prikazy : public Vazba {
protected:
    void SetUp() override {
        Vazba::SetUp();
        fake.Reset();
        fake.Spojeni(Handle, 0);
        std::uint32_t h = 0;
        ASSERT_EQ(InitRozhrani(Typ, h, TParametry{}), 0u);
        ASSERT_EQ(h, Handle);
        odpoved.fill(0x55); // stale values of an earlier call
    }

    // D1..D5 preset to 1..5, the result byte to 0xEE.
    void Posli(std::uint8_t kod, std::uint8_t par, std::uint8_t d2 = 0, std::uint8_t d3 = 0,
               std::uint32_t spojeni = Handle) {
        d = {1, d2, d3, 4, 5};
        vysledek = 0xEE;
        PosliPrikaz(Typ, spojeni, 9, kod, par, &d[0], &d[1], &d[2], &d[3], &d[4], &vysledek,
                    &odpoved);
    }

    FakeOvladac fake{ZR_FAKELIB_DIR, Typ};
    std::array<std::uint8_t, 5> d{};
    std::uint8_t vysledek = 0;
    TOdpoved odpoved{};
};

const std::array<std::uint8_t, 5> Nuly = {0, 0, 0, 0, 0};

} // namespace

TEST_F(Prikazy, UspechVraciStatusAOdpovedSpravnehoRegistru) {
    fake.Odpoved(Prikaz::CtiRegistr, 0, 63, 0x1A5, {0x111, 0x22, 0x37, 0x44});
    fake.Odpoved(Prikaz::CtiRegistr, 0, -1, 0, {0, 0, 0x99, 0});
    Posli(Prikaz::CtiRegistr, Prikaz::ParRegistr, 63, 63);
    EXPECT_EQ(vysledek, 0u);
    EXPECT_EQ(d, (std::array<std::uint8_t, 5>{0xA5, 0x11, 0x22, 0x37, 0x44}));

    const auto send = fake.Volani(FakeSend);
    ASSERT_EQ(send.size(), 1u);
    EXPECT_EQ(send[0].spojeni, Handle);
    const std::uint32_t ocekavano[8] = {9, 102, 0, 1, 63, 63, 4, 5};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(send[0].blok[i], ocekavano[i]) << "word " << i;
    // Status, result and answer area are cleared before the call.
    for (std::uint32_t w : send[0].naVstupu)
        EXPECT_EQ(w, 0u);

    Posli(Prikaz::CtiRegistr, Prikaz::ParRegistr, 62, 62);
    EXPECT_EQ(d[3], 0x99u);
}

TEST_F(Prikazy, NenulovyNavratPrebijeZapsanouOdpoved) {
    fake.Odpoved(Prikaz::CtiVstupy, Prikaz::ParDIO, -1, 0x12, {1, 2, 3, 4});
    fake.SendVysledek(0);
    fake.Vysledek(FakeSend, 5);
    Posli(Prikaz::CtiVstupy, Prikaz::ParDIO);
    EXPECT_EQ(vysledek, 5u);
    EXPECT_EQ(d, Nuly);
}

TEST_F(Prikazy, VysledekZPromenneKdyzNavratJeNula) {
    fake.Odpoved(Prikaz::CtiStav, 0, -1, 0x12, {1, 2, 3, 4});
    fake.SendVysledek(7);
    Posli(Prikaz::CtiStav, Prikaz::ParStatusRegistr);
    EXPECT_EQ(vysledek, 7u);
    EXPECT_EQ(d, Nuly);
}

TEST_F(Prikazy, KnihovnaKteraNicNezapiseNenechaStareHodnoty) {
    fake.Zapis(false);
    Posli(Prikaz::Identifikace, Prikaz::IdVerze);
    EXPECT_EQ(vysledek, 0u);
    EXPECT_EQ(d, Nuly);
}

TEST_F(Prikazy, VysledekMimoBajtNeniUspech) {
    fake.Odpoved(Prikaz::CtiVstupy, Prikaz::ParDIO, -1, 0x12, {1, 2, 3, 4});
    fake.Vysledek(FakeSend, 256);
    Posli(Prikaz::CtiVstupy, Prikaz::ParDIO);
    EXPECT_EQ(vysledek, 255u);
    EXPECT_EQ(d, Nuly);
    EXPECT_EQ(TextKodu(Typ, vysledek), "neznámý chybový kód");
}

TEST_F(Prikazy, NulovyHandleNicNeposle) {
    Posli(Prikaz::CtiVstupy, Prikaz::ParDIO, 2, 3, 0);
    EXPECT_EQ(vysledek, 0xEEu);
    EXPECT_EQ(d, (std::array<std::uint8_t, 5>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(fake.Volani(FakeSend).empty());
}

TEST_F(Prikazy, ChybejiciUkazatelDava9BezVolani) {
    std::uint8_t a = 1, b = 2, c = 3, e = 5, v = 0xEE;
    PosliPrikaz(Typ, Handle, 9, 0, 64, &a, &b, &c, nullptr, &e, &v, &odpoved);
    EXPECT_EQ(v, 9u);
    EXPECT_EQ(a + b + c + e, 11);
    v = 0xEE;
    PosliPrikaz(Typ, Handle, 9, 0, 64, &a, &b, &c, &c, &e, &v, nullptr);
    EXPECT_EQ(v, 9u);
    PosliPrikaz(Typ, Handle, 9, 0, 64, &a, &b, &c, &c, &e, nullptr, &odpoved);
    EXPECT_TRUE(fake.Volani(FakeSend).empty());
    EXPECT_EQ(TextKodu(Typ, 9), "fake chyba 9");
}

TEST_F(Prikazy, BezNavazaneKnihovnyDava10) {
    std::uint32_t h = Handle;
    ASSERT_EQ(KonecRozhrani(Typ, h), 0u);
    const auto pred = fake.Volani().size();
    Posli(Prikaz::CtiVstupy, Prikaz::ParDIO);
    EXPECT_EQ(vysledek, 10u);
    EXPECT_EQ(d, Nuly);
    EXPECT_EQ(fake.Volani().size(), pred);
}

TEST_F(Prikazy, HodnotovaFormaVraciVysledekStatusAOdpoved) {
    fake.Odpoved(102, 0, 63, 0x31, {9, 8, 7, 6});
    const TOdpovedModulu ok = ProvedPrikaz(Typ, Handle, 9, 102, 0, {0, 63, 63, 0, 0});
    EXPECT_EQ(ok.Vysledek, 0);
    EXPECT_EQ(ok.S, 0x31);
    EXPECT_EQ(ok.A, (std::array<std::uint8_t, 4>{9, 8, 7, 6}));
    const FakeVolani posledni = fake.Volani(FakeSend).back();
    EXPECT_EQ(posledni.blok[0], 9u);
    EXPECT_EQ(posledni.blok[4], 63u);

    fake.SendVysledek(5); // a failure clears what the module wrote
    const TOdpovedModulu chyba = ProvedPrikaz(Typ, Handle, 9, 102, 0, {0, 63, 63, 0, 0});
    EXPECT_EQ(chyba.Vysledek, 5);
    EXPECT_EQ(chyba.S, 0);
    EXPECT_EQ(chyba.A, (std::array<std::uint8_t, 4>{}));

    const std::size_t volani = fake.Volani(FakeSend).size();
    EXPECT_EQ(ProvedPrikaz(Typ, 0, 9, 102, 0, {}).Vysledek, 10); // no connection
    EXPECT_EQ(fake.Volani(FakeSend).size(), volani);
}

TEST_F(Prikazy, PozorovatelVidiKazdouTransakciSOdeslanymiDatyAOdpovedi) {
    std::vector<TZaznamPrikazu> zaznamy;
    NastavPozorovatelePrikazu([&](const TZaznamPrikazu& z) { zaznamy.push_back(z); });
    fake.Odpoved(Prikaz::CtiRegistr, 0, 63, 0x31, {9, 8, 7, 6});
    Posli(Prikaz::CtiRegistr, Prikaz::ParRegistr, 63, 63);
    fake.SendVysledek(5);
    Posli(Prikaz::CtiVstupy, Prikaz::ParDIO);
    Posli(Prikaz::CtiVstupy, Prikaz::ParDIO, 0, 0, 0); // zero handle: nothing sent, nothing seen
    NastavPozorovatelePrikazu(nullptr);
    Posli(Prikaz::CtiVstupy, Prikaz::ParDIO);

    ASSERT_EQ(zaznamy.size(), 2u);
    EXPECT_EQ(zaznamy[0].Rozhrani, Typ);
    EXPECT_EQ(zaznamy[0].Adresa, 9);
    EXPECT_EQ(zaznamy[0].Kod, Prikaz::CtiRegistr);
    EXPECT_EQ(zaznamy[0].Odeslano, (TDataPrikazu{1, 63, 63, 4, 5}));
    EXPECT_EQ(zaznamy[0].Odpoved.Vysledek, 0);
    EXPECT_EQ(zaznamy[0].Odpoved.S, 0x31);
    EXPECT_EQ(zaznamy[0].Odpoved.A, (std::array<std::uint8_t, 4>{9, 8, 7, 6}));
    EXPECT_GE(zaznamy[0].Trvani.count(), 0);
    EXPECT_EQ(zaznamy[1].Kod, Prikaz::CtiVstupy);
    EXPECT_EQ(zaznamy[1].Parametr, Prikaz::ParDIO);
    EXPECT_EQ(zaznamy[1].Odpoved.Vysledek, 5);
    EXPECT_EQ(zaznamy[1].Odpoved.A, (std::array<std::uint8_t, 4>{}));
}
