// XZR1683.so (loaded by name) against the module simulator over loopback:
// every command of the command set, the module's refusals and injected faults.
#include "Codes.h"
#include "LineTiming.h"
#include "Prikazy.h"
#include "Scenarios.h"
#include "Simulator.h"
#include "Texts.h"
#include "Udp.h"
#include "UdpEndpoint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

using namespace zrbus;

namespace {

struct Reply {
    std::uint32_t rc = 0xDEAD, status = 0, result = 0;
    std::array<std::uint32_t, ZR683_ANSWER_WORDS> a{};
    std::string text() const { return {char(a[0]), char(a[1]), char(a[2]), char(a[3])}; }
};

// A connection through the library to a simulated bus on 127.0.0.1.
class Bus : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(udp.start(error)) << error;
        ASSERT_TRUE(lib.load()) << Xzr::path();
        connect(1000, 200);
    }
    void TearDown() override { lib.Done(&h); }

    void connect(std::uint32_t udpTimeout, std::uint32_t wait, std::uint32_t baud = 9600) {
        lib.Done(&h);
        ASSERT_EQ(lib.init(&h, lanBlock("127.0.0.1", udp.port(), udpTimeout).data()), kOk);
        ASSERT_EQ(lib.SetConfig(h, baud, wait, 2), kOk);
    }

    Reply send(std::uint8_t command, std::uint8_t parameter, std::array<std::uint8_t, 5> d = {},
               std::uint8_t address = 1) {
        std::array<std::uint32_t, ZR683_REQUEST_WORDS> rq{};
        rq[0] = address;
        rq[1] = command;
        rq[2] = parameter;
        for (std::size_t i = 0; i < d.size(); ++i)
            rq[3 + i] = d[i];
        Reply r;
        r.rc = lib.Send(h, rq.data(), r.a.data(), &r.status, &r.result);
        return r;
    }
    Reply readRegister(std::uint8_t reg, std::uint8_t address = 1) {
        return send(Prikaz::CtiRegistr, 0, {0, reg, reg, 0, 0}, address);
    }
    scenario::ReadRegister readAsScenario() {
        return [this](std::uint8_t reg) {
            const Reply r = readRegister(reg);
            return scenario::RegisterRead{r.rc, static_cast<std::uint8_t>(r.a[0]),
                                          static_cast<std::uint8_t>(r.a[2])};
        };
    }
    Reply writeRegister(std::uint8_t reg, std::uint8_t value) {
        return send(Prikaz::ZapisRegistr, 0, {0, reg, reg, value, value});
    }
    std::uint32_t word(const Reply& r) const {
        return r.a[0] | r.a[1] << 8 | r.a[2] << 16 | r.a[3] << 24;
    }

    std::shared_ptr<zrsim::ManualClock> clock = std::make_shared<zrsim::ManualClock>();
    zrsim::Simulator sim{zrsim::SimulatorConfig{{zrsim::ModuleSetup{}}, {}, clock, 5}};
    zrsim::UdpEndpoint udp{sim, {"127.0.0.1", 0}};
    Xzr lib;
    std::uint32_t h = 0;
};

} // namespace

TEST_F(Bus, IdentificationItems) {
    std::string name, extra;
    for (std::uint8_t item : {Prikaz::IdNazev1, Prikaz::IdNazev2})
        name += send(200, item).text();
    for (std::uint8_t item : {Prikaz::IdDoplnek1, Prikaz::IdDoplnek2})
        extra += send(200, item).text();
    EXPECT_EQ(name, "ZR-464  ");
    EXPECT_EQ(send(200, Prikaz::IdVerze).text(), "1.04");
    EXPECT_EQ(extra, "SIM-0001");
    EXPECT_EQ(send(200, 3).rc, kModuleBadParameter);
}

TEST_F(Bus, EveryRegisterWrittenAndReadBackThenAddressAndRateAtRestart) {
    std::vector<std::uint8_t> regs;
    for (int r = 0; r < 64; ++r)
        if (Registr::Existuje(r)) regs.push_back(static_cast<std::uint8_t>(r));
    auto valueFor = [](std::uint8_t r) -> std::uint8_t {
        if (r == Registr::AktivaceCasovace) return 0;
        if (r == Registr::Rychlost) return 5; // 19200 Bd
        if (r == Registr::Adresa) return 9;
        return static_cast<std::uint8_t>(0xA0 + r);
    };
    for (std::uint8_t r : regs) {
        ASSERT_EQ(writeRegister(r, valueFor(r)).rc, kOk) << int(r);
        const Reply back = readRegister(r); // at the old address: takes effect at restart
        ASSERT_EQ(back.rc, kOk) << int(r);
        EXPECT_EQ(back.a[2], valueFor(r)) << int(r);
        EXPECT_EQ(back.a[0], r);
    }
    EXPECT_EQ(writeRegister(Registr::Rychlost, 9).rc, kModuleBadValue);
    EXPECT_EQ(readRegister(5).rc, kModuleUnknownRegister);
    EXPECT_EQ(send(Prikaz::CtiRegistr, 0, {0, 1, 2, 0, 0}).rc, kModuleMismatch);

    sim.restart(0);
    connect(30, 30);
    EXPECT_EQ(readRegister(Registr::Adresa, 9).rc, kTimeout); // the line is still at 9600
    connect(30, 30, 19200);
    EXPECT_EQ(readRegister(Registr::Adresa, 1).rc, kTimeout);
    const Reply moved = readRegister(Registr::Adresa, 9);
    EXPECT_EQ(moved.rc, kOk);
    EXPECT_EQ(moved.a[2], 9u);
}

TEST_F(Bus, InputsThroughNegation) {
    sim.setInputPins(0, 0x12345678);
    EXPECT_EQ(word(send(Prikaz::CtiVstupy, Prikaz::ParDIO)), ~0x12345678u); // negated by default
    for (int n = 0; n < 4; ++n)
        ASSERT_EQ(writeRegister(Registr::NegaceDIN(n), 0).rc, kOk);
    EXPECT_EQ(word(send(Prikaz::CtiVstupy, Prikaz::ParDIO)), 0x12345678u);
    ASSERT_EQ(writeRegister(Registr::NegaceDIN(1), 0x0F).rc, kOk);
    EXPECT_EQ(word(send(Prikaz::CtiVstupy, Prikaz::ParDIO)), 0x12345678u ^ 0x0F00u);
}

TEST_F(Bus, OutputsThroughNegation) {
    ASSERT_EQ(send(Prikaz::ZapisVystupy, Prikaz::ParDIO, {0, 0x01, 0x02, 0x04, 0x80}).rc, kOk);
    auto v = sim.view(0);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->outputRegister, 0x80040201u);
    EXPECT_EQ(v->outputPins, ~0x80040201u);
    ASSERT_EQ(writeRegister(Registr::NegaceDOUT(0), 0).rc, kOk);
    EXPECT_EQ(sim.view(0)->outputPins & 0xFFu, 0x01u);
}

TEST_F(Bus, StatusRegisterAndItsClearing) {
    Reply s = send(Prikaz::CtiStav, Prikaz::ParStatusRegistr);
    ASSERT_EQ(s.rc, kOk);
    EXPECT_EQ(word(s), StatusBit::PWR);
    EXPECT_EQ(s.status, StatusBit::PWR);
    ASSERT_EQ(writeRegister(Registr::NegaceDIN(0), 0).rc, kOk);
    EXPECT_EQ(send(55, 0).rc, kModuleUnknownCommand);
    EXPECT_EQ(word(send(Prikaz::CtiStav, 0)), StatusBit::PWR | StatusBit::PRF | StatusBit::FN);
    ASSERT_EQ(send(Prikaz::ZapisStav, Prikaz::ParStatusRegistr).rc, kOk);
    s = send(Prikaz::CtiStav, 0);
    EXPECT_EQ(word(s), 0u);
    EXPECT_EQ(s.status, 0u);
}

TEST_F(Bus, WatchdogCountsDownUnderTheSimulationClock) {
    auto left = [&] {
        const Reply r = send(Prikaz::CtiStav, Prikaz::ParCasWatchdog);
        return r.rc == kOk ? static_cast<int>(r.a[0] | r.a[1] << 8) : -1;
    };
    EXPECT_EQ(left(), 60); // factory initialisation time
    clock->advance(3000);
    EXPECT_EQ(left(), 57);
    ASSERT_EQ(
        send(Prikaz::ZapisStav, Prikaz::ParCasWatchdog, {0, Prikaz::TestovaciCasWatchdog, 0, 0, 0})
            .rc,
        kOk);
    EXPECT_EQ(left(), 10);
    clock->advance(10000);
    EXPECT_EQ(left(), 0);
    EXPECT_FALSE(sim.view(0)->relayOn);
    EXPECT_NE(word(send(Prikaz::CtiStav, 0)) & StatusBit::RST, 0u);
}

TEST_F(Bus, InjectedFaultsGiveTheirCodeAndTheNextTransactionWorks) {
    connect(40, 40);
    struct Case {
        zrsim::LineFault kind;
        std::uint32_t delayMs;
        std::uint32_t want;
    } cases[] = {
        {zrsim::LineFault::Lose, 0, kTimeout},     {zrsim::LineFault::Corrupt, 0, kBadCrc},
        {zrsim::LineFault::Mismatch, 0, kTimeout}, {zrsim::LineFault::Delay, 150, kTimeout},
        {zrsim::LineFault::Duplicate, 0, kOk},
    };
    for (const Case& c : cases) {
        sim.addFault(zrsim::LineFaultRule{c.kind, 1, 0.0, c.delayMs});
        EXPECT_EQ(send(200, Prikaz::IdVerze).rc, c.want) << zrsim::lineFaultName(c.kind);
        const Reply next = send(200, Prikaz::IdNazev1); // a late or second answer is not this
        EXPECT_EQ(next.rc, kOk) << zrsim::lineFaultName(c.kind);
        EXPECT_EQ(next.text(), "ZR-4") << zrsim::lineFaultName(c.kind);
    }
}

namespace {

// The same bus behind a converter that takes its line's time, as a real one.
class LineTimeBus : public Bus {
protected:
    void SetUp() override {
        Bus::SetUp();
        std::string error;
        ASSERT_TRUE(onLine.start(error)) << error;
    }
    void connectOnLine(std::uint32_t wait) {
        lib.Done(&h);
        ASSERT_EQ(lib.init(&h, lanBlock("127.0.0.1", onLine.port(), 50).data()), kOk);
        ASSERT_EQ(lib.SetConfig(h, 9600, wait, 2), kOk);
    }
    zrsim::UdpEndpoint onLine{sim, {"127.0.0.1", 0, zrsim::kMaxHeldAnswers, true}};
};

} // namespace

// In probe mode an answer that began in time is read whole although it ends
// after the first character's time (the converter's report holds the wait
// open); a module later than the turnaround, or none, gives 6; a damaged
// answer 7. A wait value without the bit waits as it always did.
TEST_F(LineTimeBus, ProbeModeGivesUpOnlyWhenNoAnswerBegan) {
    const std::uint32_t probe = ZR683_PROBE_WAIT(probeTimeoutMs(9600), 10);
    const struct {
        const char* name;
        std::uint32_t wait;
        zrsim::LineFault kind;
        std::uint32_t count, delayMs;
        std::uint8_t address;
        std::uint32_t want;
    } rows[] = {
        {"answer_ends_after_first_character", probe, zrsim::LineFault::Delay, 0, 0, 1, kOk},
        {"latest_turnaround", probe, zrsim::LineFault::Delay, 1, kTurnaroundMs, 1, kOk},
        {"module_too_late", probe, zrsim::LineFault::Delay, 1, 40, 1, kTimeout},
        {"no_module", probe, zrsim::LineFault::Delay, 0, 0, 9, kTimeout},
        {"damaged_answer", probe, zrsim::LineFault::Corrupt, 1, 0, 1, kBadCrc},
        {"plain_wait_unchanged", probeTimeoutMs(9600), zrsim::LineFault::Delay, 1, 40, 1, kOk},
    };
    for (const auto& r : rows) {
        connectOnLine(r.wait);
        if (r.count > 0) sim.addFault(zrsim::LineFaultRule{r.kind, r.count, 0.0, r.delayMs});
        EXPECT_EQ(send(200, Prikaz::IdVerze, {}, r.address).rc, r.want) << r.name;
        sim.clearFaults();
    }
}

TEST_F(Bus, CommandAndRegisterFaults) {
    sim.addFault(zrsim::CommandFaultRule{Prikaz::CtiStav, std::uint8_t{0}, 42, 1});
    const Reply r = send(Prikaz::CtiStav, 0);
    EXPECT_EQ(r.rc, 42u);
    EXPECT_EQ(r.result, 42u);
    std::array<std::uint32_t, ZR683_ERROR_CHARS> text{};
    EXPECT_EQ(lib.Error(42, text.data()), kOk);
    EXPECT_NE(text[1], 0u);
    EXPECT_EQ(send(Prikaz::CtiStav, 0).rc, kOk);

    sim.addFault(zrsim::RegisterFaultRule{std::nullopt, 33, 0x55});
    ASSERT_EQ(writeRegister(33, 0x11).rc, kOk);
    EXPECT_EQ(readRegister(33).a[2], 0x55u);
}

// One answer comes 1.5 s late, after 255 quick reads of another register:
// the tag has come round, and the library is waiting for the answer to
// another read of that register (its own answer comes after the late one).
TEST_F(Bus, AnAnswerDelayedPastTheTagsWrapIsNotTakenForALaterRead) {
    connect(0, 1000);
    sim.addFault(zrsim::LineFaultRule{zrsim::LineFault::Delay, 1, 0.0, 1500});
    scenario::TagWrap w;
    w.held = Registr::Adresa;
    w.other = Registr::Rychlost;
    w.otherValue = 4; // 9600 Bd, not the address 1 of the late answer
    w.beforeLast = [this] {
        sim.addFault(zrsim::LineFaultRule{zrsim::LineFault::Delay, 1, 0.0, 700});
    };
    scenario::expectLateAnswerNotTakenAfterTagWrap(readAsScenario(), w);
}

// A thousand register reads in a storm of faulty answers: none is ever
// taken for another request.
TEST_F(Bus, StormOfLateAnswersNeverGivesAnotherRequestsAnswer) {
    const scenario::StormCounts c = scenario::readStorm(readAsScenario(), 1000, 7, [this] {
        connect(0, 5);
        for (const auto& f : scenario::stormFaults(20, 350, 700))
            sim.addFault(f);
    });
    EXPECT_EQ(c.wrong, 0);
    EXPECT_EQ(c.failed, 0);
    EXPECT_GT(c.ok, 250);
}

// A converter that restarts (back at 9600 Bd), two modules at one address
// and rate, nothing listening at the converter's port: the code of the read
// right after the event and of the one after that, at 19200 Bd.
TEST(LanBench, EventsGiveTheirCodeAndTheLineComesBack) {
    const zrsim::ModuleSetup m{{}, 1, 5};
    const struct {
        std::vector<zrsim::ModuleSetup> modules;
        std::function<void(zrsim::UdpEndpoint&)> event;
        std::uint32_t first, then;
    } rows[] = {
        {{m}, [](zrsim::UdpEndpoint& u) { u.converter().restart(); }, kTimeout, kOk},
        {{m, m}, [](zrsim::UdpEndpoint&) {}, kBadCrc, kBadCrc},
        {{m},
         [](zrsim::UdpEndpoint& u) { u.stop(); },
         kConverterUnreachable,
         kConverterUnreachable},
    };
    for (const auto& row : rows) {
        zrsim::Simulator sim(zrsim::SimulatorConfig{row.modules, {}, nullptr, 3});
        zrsim::UdpEndpoint udp{sim, {"127.0.0.1", 0}};
        std::string error;
        ASSERT_TRUE(udp.start(error)) << error;
        const std::string port = std::to_string(udp.port());
        Xzr lib;
        std::uint32_t h = 0;
        ASSERT_TRUE(lib.load());
        ASSERT_EQ(lib.init(&h, lanBlock("127.0.0.1", udp.port(), 20).data()), kOk);
        ASSERT_EQ(lib.SetConfig(h, 19200, 60, 2), kOk);
        std::array<std::uint32_t, ZR683_REQUEST_WORDS> rq{1, Prikaz::CtiStav, 0};
        std::array<std::uint32_t, ZR683_ERROR_CHARS> a{};
        std::uint32_t s = 0, r = 0;
        EXPECT_EQ(lib.Send(h, rq.data(), a.data(), &s, &r),
                  row.modules.size() == 1 ? kOk : kBadCrc);
        row.event(udp);
        EXPECT_EQ(lib.Send(h, rq.data(), a.data(), &s, &r), row.first) << port;
        EXPECT_EQ(lib.Send(h, rq.data(), a.data(), &s, &r), row.then) << port;
        lib.Error(kConverterUnreachable, a.data());
        const std::string text(a.begin() + 1, std::find(a.begin() + 1, a.end(), 0u));
        if (row.first == kConverterUnreachable) {
            EXPECT_EQ(text, toWindows1250("LAN převodník na 127.0.0.1:" + port +
                                          " neodpovídá (port nedostupný)"));
        }
        lib.Done(&h);
    }
}
