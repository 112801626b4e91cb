#include "Dekl.h"
#include "Prevod.h"

#include <gtest/gtest.h>

TEST(Prevod, CislaJakoVPoliEditace) {
    const std::pair<const char*, std::optional<std::int32_t>> pripady[] = {
        {"0", 0},
        {"300", 300},
        {"-1", -1},
        {"+7", 7},
        {"  42", 42},
        {"$1F", 31},
        {"0x2a0", 672},
        {"0XFFFFFFFF", -1},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"0x100000000", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"12 ", std::nullopt},
        {"1e3", std::nullopt},
        {"abc", std::nullopt},
        {"٣", std::nullopt}, // a digit of another script is no digit here
    };
    for (const auto& [text, cislo] : pripady)
        EXPECT_EQ(TextNaCislo(QString::fromUtf8(text)), cislo) << text;
    EXPECT_EQ(StrToIntDef(QStringLiteral("x"), 1), 1);
    EXPECT_EQ(StrToIntDef(QString(100000, u'9'), 5), 5);
}

TEST(Prevod, TabulkaRychlosti) {
    const std::int32_t rychlosti[] = {600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    const std::int32_t cekani[] = {1000, 1000, 500, 250, 200, 200, 200, 200, 200};
    for (std::uint8_t i = 0; i < 9; ++i) {
        EXPECT_EQ(IndexNaRychlost(i), rychlosti[i]);
        EXPECT_EQ(RychlostNaIndex(rychlosti[i]), i);
        EXPECT_EQ(RychlostNaCekani(rychlosti[i]), cekani[i]);
    }
    EXPECT_EQ(IndexNaRychlost(9), 9600);
    EXPECT_EQ(IndexNaRychlost(255), 9600);
    EXPECT_EQ(RychlostNaIndex(9601), 4);
    EXPECT_EQ(RychlostNaIndex(-600), 4);
    EXPECT_EQ(RychlostNaCekani(0), 20);
}

TEST(Prevod, ZobrazitelnyTextNeniPrikazemTerminalu) {
    const QString radky[][2] = {
        {QStringLiteral("Žluťoučký ZR-464 "), QStringLiteral("Žluťoučký ZR-464 ")},
        {QStringLiteral("\x1B[2J\n\x7F\u0081"), QStringLiteral("\\x1B[2J\\x0A\\x7F\\x81")},
        {QStringLiteral("\u2028\uFFFD c:\\x"), QStringLiteral("\\u{2028}\\u{FFFD} c:\\\\x")},
    };
    for (const auto& r : radky)
        EXPECT_EQ(ZobrazitelnyText(r[0]), r[1]);
}
