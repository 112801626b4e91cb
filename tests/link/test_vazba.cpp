// The driver binding against the fake library: loading, binding, the three
// _Init shapes, the shut-down and the texts of the codes.
#include "Vazba.h"

#include <cstring>

extern "C" int zr683_c_kontrola(void);

namespace {

const QString Fake = QStringLiteral(ZR_FAKELIB_DIR);

TParametry BlokLAN(const char* text) {
    TParametry p{};
    p[0] = 12;
    p[1] = 5000;
    p[2] = 100;
    std::memcpy(reinterpret_cast<char*>(p.data()) + 12, text, std::strlen(text));
    return p;
}

// Every call that needs a bound entry point gives 10 and reaches nothing.
void OcekavejNenavazano(std::uint8_t typ) {
    std::uint32_t h = 7;
    TPozadavek poz{};
    TOdpoved odp{};
    std::uint32_t st = 0, vys = 0;
    TChybovyText buf;
    buf.fill(0xAB);
    EXPECT_EQ(NastavRozhrani(typ, 7, 9600, 50, 2), 10u);
    EXPECT_EQ(PosliRozhrani(typ, 7, poz, odp, st, vys), 10u);
    EXPECT_EQ(TextChyby(typ, 5, buf), 10u);
    EXPECT_EQ(buf[0], 0xABu);
    EXPECT_EQ(buf[99], 0xABu);
    EXPECT_EQ(KonecRozhrani(typ, h), 10u);
    EXPECT_EQ(h, 7u);
}

} // namespace

TEST(Kontrakt, HlavickaSePrelozijakoC) {
    EXPECT_EQ(zr683_c_kontrola(), 12 + 100 + 110 + FakeSend);
}

TEST_F(Vazba, NazvyKnihoven) {
    EXPECT_EQ(NazevKnihovny(0), "XCOM683");
    EXPECT_EQ(NazevKnihovny(4), "XZR1683");
    EXPECT_TRUE(NazevKnihovny(5).isEmpty());
}

TEST_F(Vazba, BezKnihovnyAVyssimTypemVraci10) {
    std::uint32_t h = 3;
    EXPECT_EQ(InitRozhrani(5, h, TParametry{}), 10u);
    EXPECT_EQ(h, 3u);
    for (unsigned t = 0; t < 5; ++t)
        EXPECT_FALSE(FakeOvladac::JeNacten(ZR_FAKELIB_DIR, t));
    OcekavejNenavazano(0);

    // With a library bound, a type above 4 still reaches nothing.
    FakeOvladac fake(ZR_FAKELIB_DIR, 2);
    ASSERT_EQ(InitRozhrani(2, h, TParametry{}), 0u);
    const auto pred = fake.Volani().size();
    OcekavejNenavazano(5);
    EXPECT_EQ(fake.Volani().size(), pred);
}

TEST_F(Vazba, InitVTvaruTypu) {
    const std::array<std::uint32_t, 5> slovo0 = {3, 0x300, 0, 0, 12};
    for (std::uint8_t typ = 0; typ < 5; ++typ) {
        SCOPED_TRACE(typ);
        FakeOvladac fake(ZR_FAKELIB_DIR, typ);
        fake.Spojeni(40u + typ, 0);
        TParametry p = typ == 4 ? BlokLAN("127.0.0.1") : TParametry{};
        p[0] = slovo0[typ];
        std::uint32_t h = 0;
        ASSERT_EQ(InitRozhrani(typ, h, p), 0u);
        EXPECT_EQ(h, 40u + typ);
        const auto init = fake.Volani(FakeInit);
        ASSERT_EQ(init.size(), 1u);
        if (typ < 2) {
            EXPECT_EQ(init[0].argumenty[0], slovo0[typ]);
        }
        if (typ == 4) {
            EXPECT_EQ(0, std::memcmp(init[0].blok, p.data(), sizeof p));
            EXPECT_STREQ(reinterpret_cast<const char*>(init[0].blok) + 12, "127.0.0.1");
        }
        EXPECT_EQ(KonecRozhrani(typ, h), 0u);
    }
}

TEST_F(Vazba, BlokZParametryLANProjde) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 4);
    TData data;
    VychoziData(&data);
    data.IPAdresa = QStringLiteral("127.0.0.1");
    data.UDPPort = 5001;
    ASSERT_TRUE(ParametryLAN(data));
    std::uint32_t h = 0;
    ASSERT_EQ(InitRozhrani(4, h, data.Parametry), 0u);
    const auto init = fake.Volani(FakeInit);
    ASSERT_EQ(init.size(), 1u);
    EXPECT_STREQ(reinterpret_cast<const char*>(init[0].blok) + 12, "127.0.0.1");
    EXPECT_EQ(init[0].blok[1], 5001u);
}

TEST_F(Vazba, LANDostaneKopiiBloku) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 4);
    fake.PrepisBloku(true);
    const TParametry p = BlokLAN("127.0.0.1");
    const TParametry puvodni = p;
    std::uint32_t h = 0;
    ASSERT_EQ(InitRozhrani(4, h, p), 0u);
    EXPECT_EQ(p, puvodni);
}

TEST_F(Vazba, LANBlokBezTextuVraci9BezVolani) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 4);
    std::uint32_t h = 0;
    TParametry jinyOffset = BlokLAN("127.0.0.1");
    jinyOffset[0] = 16;
    EXPECT_EQ(InitRozhrani(4, h, jinyOffset), 9u);
    TParametry bezNuly{};
    bezNuly[0] = 12;
    std::memset(reinterpret_cast<char*>(bezNuly.data()) + 12, '1', 52);
    EXPECT_EQ(InitRozhrani(4, h, bezNuly), 9u);
    EXPECT_TRUE(fake.Volani(FakeInit).empty());
    // The library stays bound and gives the text of 9.
    EXPECT_EQ(TextKodu(4, 9), "fake chyba 9");

    // 51 characters and the 0 in the last byte still fit.
    const std::string nejdelsi(51, '7');
    EXPECT_EQ(InitRozhrani(4, h, BlokLAN(nejdelsi.c_str())), 0u);
    ASSERT_EQ(fake.Volani(FakeInit).size(), 1u);
}

TEST_F(Vazba, NeuspesnyInitNechavaKnihovnuNavazanou) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 3);
    fake.Vysledek(FakeInit, 7);
    std::uint32_t h = 77;
    EXPECT_EQ(InitRozhrani(3, h, TParametry{}), 7u);
    EXPECT_EQ(h, 0u); // no stale handle survives a failed init
    EXPECT_EQ(TextKodu(3, 7), "fake chyba 7");
    ASSERT_EQ(fake.Volani(FakeError).size(), 1u);
    EXPECT_EQ(fake.Volani(FakeError)[0].argumenty[0], 7u);
    EXPECT_EQ(NastavRozhrani(3, 0, 9600, 50, 2), 0u);
}

TEST_F(Vazba, NastavRozhraniPredaArgumentyVPoradi) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 0);
    std::uint32_t h = 0;
    ASSERT_EQ(InitRozhrani(0, h, TParametry{}), 0u);
    fake.Vysledek(FakeSetConfig, 3);
    EXPECT_EQ(NastavRozhrani(0, 5, 19200, 50, 2), 3u);
    const auto v = fake.Volani(FakeSetConfig);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].spojeni, 5u);
    EXPECT_EQ(v[0].argumenty[0], 19200u);
    EXPECT_EQ(v[0].argumenty[1], 50u);
    EXPECT_EQ(v[0].argumenty[2], 2u);
}

TEST_F(Vazba, ChybejiciVstupOdmitneAUvolni) {
    for (std::uint8_t typ = 0; typ < 5; ++typ) {
        NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_NOGETCONFIG_DIR));
        std::uint32_t h = 0;
        EXPECT_EQ(InitRozhrani(typ, h, BlokLAN("127.0.0.1")), 110u + typ);
        EXPECT_FALSE(FakeOvladac::JeNacten(ZR_FAKELIB_NOGETCONFIG_DIR, typ));
        OcekavejNenavazano(typ);
    }
    std::uint32_t h = 0;
    NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_NOVERSION_DIR));
    EXPECT_EQ(InitRozhrani(0, h, TParametry{}), 110u);
    NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_NOSEND_DIR));
    EXPECT_EQ(InitRozhrani(4, h, BlokLAN("127.0.0.1")), 114u);
    EXPECT_FALSE(FakeOvladac::JeNacten(ZR_FAKELIB_NOSEND_DIR, 4));
    EXPECT_EQ(TextKodu(4, 114), "chybná knihovna XZR1683.DLL");
}

TEST_F(Vazba, NenactitelnaKnihovnaVraci100PlusTyp) {
    for (std::uint8_t typ = 0; typ < 5; ++typ) {
        std::uint32_t h = 0;
        NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_INVALID_DIR));
        EXPECT_EQ(InitRozhrani(typ, h, TParametry{}), 100u + typ);
        NastavAdresarKnihoven(QStringLiteral(ZR_FAKELIB_EMPTY_DIR));
        EXPECT_EQ(InitRozhrani(typ, h, TParametry{}), 100u + typ);
        OcekavejNenavazano(typ);
    }
}

TEST_F(Vazba, KonecRozhraniPredaHandleANechaHodnotuKnihovny) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 1);
    fake.Spojeni(40, 0x99);
    std::uint32_t h = 0;
    ASSERT_EQ(InitRozhrani(1, h, TParametry{}), 0u);
    EXPECT_EQ(KonecRozhrani(1, h), 0u);
    EXPECT_EQ(h, 0x99u);
    const auto done = fake.Volani(FakeDone);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].spojeni, 40u);
    // Unbound now: nothing reaches the library any more.
    const auto pred = fake.Volani().size();
    OcekavejNenavazano(1);
    EXPECT_EQ(fake.Volani().size(), pred);
}

TEST_F(Vazba, KonecRozhraniUvolniKnihovnuIPriChybe) {
    std::uint32_t h = 0;
    {
        FakeOvladac fake(ZR_FAKELIB_DIR, 2);
        fake.Vysledek(FakeDone, 6);
        ASSERT_EQ(InitRozhrani(2, h, TParametry{}), 0u);
    } // only the binding holds the library now, with its script
    EXPECT_TRUE(FakeOvladac::JeNacten(ZR_FAKELIB_DIR, 2));
    EXPECT_EQ(KonecRozhrani(2, h), 6u);
    EXPECT_FALSE(FakeOvladac::JeNacten(ZR_FAKELIB_DIR, 2));
}

TEST_F(Vazba, DruheInitBezKonceNavazeZnovu) {
    std::uint32_t h = 0;
    ASSERT_EQ(InitRozhrani(0, h, TParametry{}), 0u);
    FakeOvladac fake(ZR_FAKELIB_DIR, 3);
    ASSERT_EQ(InitRozhrani(3, h, TParametry{}), 0u);
    EXPECT_FALSE(FakeOvladac::JeNacten(ZR_FAKELIB_DIR, 0));
    EXPECT_EQ(NastavRozhrani(3, h, 9600, 50, 2), 0u);
    EXPECT_EQ(fake.Volani(FakeSetConfig).size(), 1u);
}

TEST_F(Vazba, TextyVlastnichKoduZavisiJenNaKodu) {
    const char* const nazvy[] = {"XCOM683", "XKC683", "XKC1683", "XKU1683", "XZR1683"};
    auto overTexty = [&] {
        for (std::uint8_t typ : {0, 3, 4, 9}) {
            for (std::uint32_t t = 0; t < 5; ++t) {
                const QString dll = QString::fromLatin1(nazvy[t]) + ".DLL";
                EXPECT_EQ(TextKodu(typ, 100 + t), "chyba inicializace knihovny " + dll);
                EXPECT_EQ(TextKodu(typ, 110 + t), "chybná knihovna " + dll);
            }
            for (std::uint32_t kod : {105u, 109u, 115u, 120u, 1000u, 0xFFFFFFFFu})
                EXPECT_EQ(TextKodu(typ, kod), "neznámý chybový kód") << kod;
        }
    };
    overTexty();
    FakeOvladac fake(ZR_FAKELIB_DIR, 4);
    std::uint32_t h = 0;
    ASSERT_EQ(InitRozhrani(4, h, BlokLAN("127.0.0.1")), 0u);
    overTexty();
    TChybovyText buf;
    buf.fill(0xAB);
    EXPECT_EQ(TextChyby(4, 103, buf), 0u);
    EXPECT_EQ(buf[0], 0u);
    EXPECT_TRUE(fake.Volani(FakeError).empty());
}

TEST_F(Vazba, TextKnihovnyBezKoncoveNuly) {
    FakeOvladac fake(ZR_FAKELIB_DIR, 0);
    std::uint32_t h = 0;
    ASSERT_EQ(InitRozhrani(0, h, TParametry{}), 0u);
    const std::string dlouhy = std::string(98, 'a') + "b" + std::string(20, 'c');
    fake.Text(dlouhy.c_str());
    fake.Vysledek(FakeError, 4);
    TChybovyText buf{};
    EXPECT_EQ(TextChyby(0, 42, buf), 4u);
    EXPECT_EQ(buf[99], static_cast<std::uint32_t>('b'));
    EXPECT_EQ(TextKodu(0, 42), QString::fromLatin1(dlouhy.substr(0, 99)));

    fake.Text("chyba \xE8\xED\x73la"); // Windows-1250
    EXPECT_EQ(TextKodu(0, 1), "chyba čísla");
}
