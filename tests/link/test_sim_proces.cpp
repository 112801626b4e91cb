// The program's whole path to a module: the binding loads the real XZR1683
// from the build's bin directory and talks to zr464-sim running as a program.
#include "ChildProcess.h"
#include "Prikazy.h"
#include "Xxxx683.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint8_t TypLAN = 4;

std::uint8_t Posli(std::uint32_t spojeni, std::uint8_t kod, std::uint8_t parametr,
                   std::array<std::uint8_t, 5>& d) {
    TOdpoved odpoved{};
    std::uint8_t vysledek = 0xFF;
    PosliPrikaz(TypLAN, spojeni, 1, kod, parametr, &d[0], &d[1], &d[2], &d[3], &d[4], &vysledek,
                &odpoved);
    return vysledek;
}

} // namespace

TEST(SimProces, VazbaDosahneProgramuSimulatoruPresXZR1683) {
    NastavAdresarKnihoven(QStringLiteral(ZR_BIN_DIR));
    ChildProcess sim("zr464-sim", {"--port", "0", "--stdin-control"});
    const std::uint16_t port = udpPortOf(sim.line());
    ASSERT_NE(port, 0);

    TData data;
    VychoziData(&data);
    data.IPAdresa = QStringLiteral("127.0.0.1");
    data.UDPPort = port;
    ASSERT_TRUE(ParametryLAN(data));
    std::uint32_t spojeni = 0;
    ASSERT_EQ(InitRozhrani(TypLAN, spojeni, data.Parametry), 0u);
    ASSERT_EQ(NastavRozhrani(TypLAN, spojeni, 9600, 200, 2), 0u);

    std::array<std::uint8_t, 5> d{};
    ASSERT_EQ(Posli(spojeni, Prikaz::Identifikace, Prikaz::IdVerze, d), 0);
    EXPECT_EQ(std::string({char(d[1]), char(d[2]), char(d[3]), char(d[4])}), "1.04");

    // A lost answer: the library's time-out text; the next command works.
    sim.write("fault lose next 1\n");
    ASSERT_EQ(sim.line(), "ok");
    d = {0, Registr::Adresa, Registr::Adresa, 0, 0};
    const std::uint8_t ztracena = Posli(spojeni, Prikaz::CtiRegistr, Prikaz::ParRegistr, d);
    EXPECT_NE(ztracena, 0);
    EXPECT_EQ(TextKodu(TypLAN, ztracena), QStringLiteral("modul neodpověděl v časovém limitu"));
    d = {0, Registr::Adresa, Registr::Adresa, 0, 0};
    ASSERT_EQ(Posli(spojeni, Prikaz::CtiRegistr, Prikaz::ParRegistr, d), 0);
    EXPECT_EQ(d[3], 1) << "the module's address, in A3";

    EXPECT_EQ(KonecRozhrani(TypLAN, spojeni), 0u);
    NastavAdresarKnihoven(QString());
    sim.closeInput();
    EXPECT_EQ(sim.wait(), 0);
}
