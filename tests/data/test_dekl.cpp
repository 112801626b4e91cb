#include "Dekl.h"

#include <QStringList>
#include <cstring>
#include <gtest/gtest.h>

TEST(Dekl, VychoziDataNastaviKazdePoleSpojeniANechajiModul) {
    TData d;
    d.Rozhrani = 4;
    d.Spojeni = 77;
    d.Inicializovano = true;
    d.Modul = QStringLiteral("ABCDEFGH v.1.04");
    d.ModulDoplnek = QStringLiteral("xyz");
    d.Parametry.fill(0xDEAD);
    d.Konfigurace.Adresa = 9;
    VychoziData(&d);
    EXPECT_EQ(d.Rozhrani, 0);
    EXPECT_EQ(d.Adresa, 0);
    EXPECT_EQ(d.Rychlost, 9600);
    EXPECT_EQ(d.BazovaAdresa, 768);
    EXPECT_EQ(d.CisloPortu, 1);
    EXPECT_EQ(d.IPAdresa, QString::fromLatin1(VychoziIPAdresa));
    EXPECT_EQ(d.UDPPort, 5000);
    EXPECT_EQ(d.UDPTimeout, 100);
    EXPECT_EQ(d.StavPripojeni, QStringLiteral("Připojení modulu dosud neinicializováno"));
    EXPECT_EQ(d.Spojeni, 0u);
    EXPECT_FALSE(d.Inicializovano);
    EXPECT_TRUE(d.ModulDoplnek.isEmpty());
    EXPECT_EQ(d.Modul, QStringLiteral("ABCDEFGH v.1.04"));
    for (auto w : d.Parametry)
        EXPECT_EQ(w, 0u);
    EXPECT_EQ(d.Konfigurace.Adresa, 1);
    VychoziData(nullptr); // no record: no effect, no crash
}

TEST(Dekl, VychoziKonfiguraceAJejiRozlozeni) {
    const TKonfigurace k = VychoziKonfigurace();
    EXPECT_EQ(k.Adresa, 1);
    EXPECT_EQ(k.Rychlost, 4);
    EXPECT_EQ(k.InicializacniCas, 60);
    EXPECT_EQ(k.DobaVypnutiRele, 10);
    EXPECT_EQ(k.AktivaceCasovace, 1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(k.NegaceDIN[i], 255);
        EXPECT_EQ(k.NegaceDOUT[i], 255);
        EXPECT_EQ(k.PocatecniStavDOUT[i], 0);
    }
    static_assert(sizeof(TParametry) == 64);
    static_assert(sizeof(TChybovyText) == 400);
}

TEST(Dekl, VychoziAdresaLANJeSoukroma) {
    const QStringList b = QString::fromLatin1(VychoziIPAdresa).split('.');
    ASSERT_EQ(b.size(), 4);
    const int a0 = b[0].toInt(), a1 = b[1].toInt();
    EXPECT_TRUE(a0 == 10 || (a0 == 172 && a1 >= 16 && a1 <= 31) || (a0 == 192 && a1 == 168));
}

TEST(Dekl, ZpravyATabulkaRychlosti) {
    EXPECT_EQ(ZpravaProgramu(ZpravaVPoradku), QStringLiteral("V pořádku"));
    EXPECT_EQ(ZpravaProgramu(ZpravaNelzeVytvorit),
              QStringLiteral("Nelze vytvořit datové struktury programu"));
    EXPECT_TRUE(ZpravaProgramu(2).isEmpty());
    EXPECT_EQ(TextRychlosti(0), QStringLiteral("600 Bd"));
    EXPECT_EQ(TextRychlosti(4), QStringLiteral("9600 Bd"));
    EXPECT_EQ(TextRychlosti(8), QStringLiteral("115200 Bd"));
    EXPECT_TRUE(TextRychlosti(9).isEmpty());
    EXPECT_TRUE(TextRychlosti(-1).isEmpty());
    EXPECT_EQ(RychlostiBd[4], 9600);
}

TEST(ChybovyText, UkladaKodyCp1250OdPrvnihoPrvku) {
    TChybovyText b;
    b.fill(0xFFFFFFFF);
    EXPECT_EQ(TextNaBuffer(QStringLiteral("Čas ř"), b), 0u);
    EXPECT_EQ(b[0], 0u);
    EXPECT_EQ(b[1], 0xC8u); // Č
    EXPECT_EQ(b[2], static_cast<std::uint32_t>('a'));
    EXPECT_EQ(b[5], 0xF8u); // ř
    for (std::size_t i = 6; i < b.size(); ++i)
        EXPECT_EQ(b[i], 0u);
    EXPECT_EQ(BufferNaText(b), QStringLiteral("Čas ř"));
}

TEST(ChybovyText, DlouhyTextUriznutPo99ZnacichBezKoncoveNuly) {
    const QString dlouhy = QString(120, QChar('x'));
    TChybovyText b;
    TextNaBuffer(dlouhy, b);
    EXPECT_EQ(b[99], static_cast<std::uint32_t>('x'));
    EXPECT_EQ(BufferNaText(b), QString(99, QChar('x')));
}

TEST(ChybovyText, TvaryBufferu) {
    TChybovyText b{};
    EXPECT_EQ(BufferNaText(b), QString());
    b[0] = 'A'; // the first character may already stand in element 0
    EXPECT_EQ(BufferNaText(b), QStringLiteral("A"));
    b[1] = 'B';
    b[2] = 0x100 | 'C'; // only the low 8 bits count
    EXPECT_EQ(BufferNaText(b), QStringLiteral("ABC"));
    b[3] = 0x100; // a character code of 0 ends the text
    b[4] = 'D';
    EXPECT_EQ(BufferNaText(b), QStringLiteral("ABC"));
}

TEST(ParametryLAN, NesouTextUvnitrBloku) {
    TData d;
    VychoziData(&d);
    d.IPAdresa = QStringLiteral("127.0.0.1");
    d.UDPPort = 5001;
    d.UDPTimeout = 250;
    ASSERT_TRUE(ParametryLAN(d));
    EXPECT_EQ(d.Parametry[0], 12u);
    EXPECT_EQ(d.Parametry[1], 5001u);
    EXPECT_EQ(d.Parametry[2], 250u);
    const char* text = reinterpret_cast<const char*>(d.Parametry.data()) + 12;
    EXPECT_STREQ(text, "127.0.0.1");

    d.IPAdresa = QString(51, QChar('1'));
    EXPECT_TRUE(ParametryLAN(d));
    d.IPAdresa = QString(52, QChar('1')); // would leave no room for the terminator
    EXPECT_FALSE(ParametryLAN(d));
    for (auto w : d.Parametry)
        EXPECT_EQ(w, 0u);
    d.IPAdresa = QStringLiteral("127.0.0.1") + QChar(0) + QStringLiteral("5");
    EXPECT_FALSE(ParametryLAN(d));
}

TEST(Dekl, PouzitelneSpojeniPotrebujePriznakIHandle) {
    TData data;
    EXPECT_FALSE(PripojeniPouzitelne(nullptr));
    EXPECT_FALSE(PripojeniPouzitelne(&data));
    data.Inicializovano = true;
    EXPECT_FALSE(PripojeniPouzitelne(&data));
    data.Spojeni = 7;
    EXPECT_TRUE(PripojeniPouzitelne(&data));
    data.Inicializovano = false;
    EXPECT_FALSE(PripojeniPouzitelne(&data));
}
