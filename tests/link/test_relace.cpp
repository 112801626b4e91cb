// The module session's typed commands against zr464-sim over the real LAN
// library: one row a command, each with what the simulator was told first.
#include "ChildProcess.h"
#include "Prikazy.h"
#include "RelaceModulu.h"
#include "SimulatorLAN.h"

#include <gtest/gtest.h>

#include <functional>

TEST(Relace, TypovanePrikazyProtiSimulatoru) {
    ChildProcess sim("zr464-sim", {"--port", "0", "--stdin-control"});
    const std::uint16_t port = udpPortOf(sim.line());
    ASSERT_NE(port, 0);
    TData data;
    DataProSimulator(data, port);
    ASSERT_TRUE(NaplnParametry(data, 0));

    TRelaceModulu relace;
    const TOtevreni o = relace.Otevri(data, 9600, std::uint8_t{1});
    ASSERT_TRUE(o.Ok()) << o.Text.toStdString();
    EXPECT_EQ(relace.Adresa(), 1);
    EXPECT_EQ(relace.Rychlost(), 9600);

    const struct {
        const char* nazev;
        const char* simulator; // a control command first, or nullptr
        std::function<void(const TRelaceModulu&)> over;
    } radky[] = {
        {"identify", nullptr,
         [](const TRelaceModulu& r) { EXPECT_EQ(r.Identifikuj().Verze, "1.04"); }},
        {"inputs", "inputs 0 0x12345678",
         [](const TRelaceModulu&
                r) { // Every input is negated as the module comes from the factory.
             EXPECT_EQ(r.CtiVstupy().Hodnota, ~0x12345678u);
         }},
        {"outputs", nullptr,
         [](const TRelaceModulu& r) { EXPECT_TRUE(r.ZapisVystupy(0xA5).Ok()); }},
        {"status cleared", nullptr,
         [](const TRelaceModulu& r) {
             ASSERT_TRUE(r.NulujStatus().Ok());
             EXPECT_TRUE(r.CtiStatus().Ok());
         }},
        {"watchdog", nullptr,
         [](const TRelaceModulu& r) {
             ASSERT_TRUE(r.NastavWatchdog(300).Ok());
             const auto zbyva = r.CtiWatchdog().Hodnota.value_or(0);
             EXPECT_TRUE(zbyva >= 299 && zbyva <= 300) << zbyva;
         }},
        {"register written and read back", nullptr,
         [](const TRelaceModulu& r) {
             EXPECT_EQ(r.ZapisRegistr(Registr::NegaceDIN(1), 0x3C).Hodnota, 0x3C);
             EXPECT_EQ(r.CtiRegistr(Registr::NegaceDIN(1)).Hodnota, 0x3C);
         }},
        {"read-back differs", "fault register 36 0x11",
         [](const TRelaceModulu& r) {
             const TZapisRegistru z = r.ZapisRegistr(Registr::NegaceDIN(1), 0x3C);
             EXPECT_FALSE(z.Ok());
             EXPECT_EQ(z.Kod, 0);
             EXPECT_EQ(z.Precteno, 0x11);
         }},
        {"command fails", "fault command 102 5 1",
         [](const TRelaceModulu& r) {
             const auto v = r.CtiRegistr(Registr::Adresa);
             EXPECT_FALSE(v.Ok());
             EXPECT_EQ(v.Kod, 5);
             EXPECT_FALSE(v.Text.isEmpty());
         }},
    };
    for (const auto& r : radky) {
        SCOPED_TRACE(r.nazev);
        if (r.simulator != nullptr) {
            sim.write(std::string("fault clear\n") + r.simulator + "\n");
            ASSERT_EQ(sim.line(), "ok");
            ASSERT_EQ(sim.line(), "ok");
        }
        r.over(relace);
    }
    relace.Zavri();
    EXPECT_FALSE(relace.Otevrena());
    NastavAdresarKnihoven(QString());
    sim.closeInput();
    EXPECT_EQ(sim.wait(), 0);
}
