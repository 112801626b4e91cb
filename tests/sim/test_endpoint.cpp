// The LAN converter endpoint over UDP on 127.0.0.1 (ephemeral ports), the
// control interface and the options.
#include "Codes.h"
#include "Control.h"
#include "Options.h"
#include "UdpClient.h"
#include "UdpEndpoint.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <thread>

using namespace zrsim;

namespace {

struct Endpoint {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    Simulator sim;
    UdpEndpoint udp;

    explicit Endpoint(std::vector<ModuleSetup> modules = {ModuleSetup{}},
                      std::size_t maxDelayed = kMaxHeldAnswers)
        : sim(SimulatorConfig{std::move(modules), {}, clock, 3}),
          udp(sim, {"127.0.0.1", 0, maxDelayed}) {
        std::string error;
        EXPECT_TRUE(udp.start(error)) << error;
    }
};

zrbus::Request identify(std::uint8_t item, std::uint8_t addr = 1) {
    return zrbus::Request{addr, 200, item, {}};
}

// Waits until the converter has counted n ignored datagrams.
bool ignoredReaches(const Endpoint& e, std::uint64_t n) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (e.udp.converter().ignored() < n)
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        else
            std::this_thread::yield();
    return true;
}

} // namespace

TEST(SimUdp, ConfiguresTheLineAndAnswersWithTheRequestsTag) {
    Endpoint e;
    ASSERT_NE(e.udp.port(), 0);
    UdpClient c(e.udp.port());
    EXPECT_EQ(c.configure(9600), 0);
    const auto a = c.ask(identify(2), 77);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->address, 1);
    EXPECT_EQ(a->result, 0);
    EXPECT_EQ(std::string(a->bytes.begin(), a->bytes.end()), "1.04");
    EXPECT_EQ(a->status, 0x10) << "PWR after start";

    const auto refused = c.ask(zrbus::Request{1, 102, 0, {0, 50, 50, 0, 0}}, 78);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->result, zrbus::kModuleUnknownRegister);
}

TEST(SimUdp, ModulesAnswerOnlyWhenTheLineRunsAtTheirRate) {
    ModuleSetup fast;
    fast.address = 2;
    fast.baudIndex = 5;
    Endpoint e({ModuleSetup{}, fast});
    UdpClient c(e.udp.port());
    EXPECT_EQ(c.configure(1234), static_cast<int>(zrbus::kBadBaud));
    EXPECT_EQ(e.udp.converter().lineBaud(), 9600u) << "a refused rate changes nothing";
    EXPECT_EQ(c.configure(19200), 0);
    EXPECT_FALSE(c.ask(identify(0, 1), 1, 300));
    EXPECT_TRUE(c.ask(identify(0, 2), 2));
    EXPECT_EQ(c.configure(9600), 0);
    EXPECT_TRUE(c.ask(identify(0, 1), 3));
}

TEST(SimUdp, IgnoresWhatIsNotARequest) {
    Endpoint e;
    UdpClient c(e.udp.port());
    const std::vector<std::uint8_t> good = zrbus::bytesOf(zrbus::makeRequest(identify(0), 5));
    std::vector<std::uint8_t> truncated(good.begin(), good.end() - 1);
    std::vector<std::uint8_t> trailing = good;
    trailing.push_back(0);
    std::vector<std::uint8_t> badCrc = good;
    badCrc.back() ^= 0xFF;
    const std::vector<std::uint8_t> answer =
        zrbus::bytesOf(zrbus::makeAnswer({1, 0, 0, {}}, zrbus::makeRequest(identify(0), 5)));
    const std::vector<std::vector<std::uint8_t>> junk = {
        {},
        {0x00, 0x01, 0x02},
        truncated,
        trailing,
        badCrc,
        answer,
        std::vector<std::uint8_t>(600, zrbus::kStartByte)};
    for (const auto& j : junk)
        c.sendBytes(j);
    EXPECT_TRUE(ignoredReaches(e, junk.size()));
    EXPECT_FALSE(c.receive(100)) << "nothing answered";
    EXPECT_TRUE(c.ask(identify(0), 6)) << "and the next request works";
}

TEST(SimUdp, LineFaultsOnTheWire) {
    Endpoint e;
    UdpClient c(e.udp.port());
    ASSERT_EQ(c.configure(9600), 0);

    e.sim.addFault(LineFaultRule{LineFault::Corrupt, 1, 0, 0});
    c.send(zrbus::makeRequest(identify(0), 10));
    auto b = c.receive();
    zrbus::Frame f;
    ASSERT_TRUE(b);
    EXPECT_EQ(zrbus::decodeOne(b->data(), b->size(), f), zrbus::DecodeResult::BadCrc);

    e.sim.addFault(LineFaultRule{LineFault::Duplicate, 1, 0, 0});
    c.send(zrbus::makeRequest(identify(0), 11));
    EXPECT_EQ(c.receiveFrame()->tag, 11);
    EXPECT_EQ(c.receiveFrame()->tag, 11);

    e.sim.addFault(LineFaultRule{LineFault::Mismatch, 1, 0, 0});
    c.send(zrbus::makeRequest(identify(0), 12));
    EXPECT_NE(c.receiveFrame()->tag, 12);

    e.sim.addFault(LineFaultRule{LineFault::Lose, 1, 0, 0});
    EXPECT_FALSE(c.ask(identify(0), 13, 200));

    e.sim.addFault(LineFaultRule{LineFault::Delay, 1, 0, 300});
    c.send(zrbus::makeRequest(identify(0), 14));
    EXPECT_FALSE(c.receive(100)) << "not before its delay";
    EXPECT_EQ(c.receiveFrame()->tag, 14);

    e.sim.addFault(CommandFaultRule{200, std::nullopt, 25, 1});
    EXPECT_EQ(c.ask(identify(0), 15)->result, 25);
    EXPECT_EQ(c.ask(identify(0), 16)->result, 0) << "the next transaction works normally";
}

TEST(SimUdp, DelayedAnswersAreBoundedAndLeaveInTheOrderTheyFallDue) {
    Endpoint e({ModuleSetup{}}, 8);
    UdpClient c(e.udp.port());
    ASSERT_EQ(c.configure(9600), 0);
    // Answers due sooner overtake those held back longer.
    e.sim.addFault(LineFaultRule{LineFault::Delay, 1, 0, 400});
    c.send(zrbus::makeRequest(identify(0), 30));
    e.sim.addFault(LineFaultRule{LineFault::Delay, 1, 0, 100});
    c.send(zrbus::makeRequest(identify(0), 31));
    for (const std::uint8_t tag : {31, 30}) {
        const auto f = c.receiveFrame();
        ASSERT_TRUE(f);
        EXPECT_EQ(f->tag, tag);
    }

    // Held back long: the first eight stay queued, the next twelve are dropped.
    e.sim.addFault(LineFaultRule{LineFault::Delay, 20, 0, 60000});
    for (std::uint8_t tag = 1; tag <= 20; ++tag)
        c.send(zrbus::makeRequest(identify(0), tag));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (e.udp.droppedAnswers() < 12 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_EQ(e.udp.droppedAnswers(), 12u);
    EXPECT_EQ(e.sim.requestCount(), 22u) << "every request was carried out";
    EXPECT_TRUE(c.ask(identify(0), 40)) << "an answer not held back still comes at once";
}

// A power cycle of the converter: its line back at 9600 Bd, a held answer lost.
TEST(SimUdp, AConverterRestartLosesItsRateAndTheAnswersOnTheirWay) {
    Endpoint e;
    UdpClient c(e.udp.port());
    e.sim.addFault(LineFaultRule{LineFault::Delay, 1, 0, 300});
    c.send(zrbus::makeRequest(identify(0), 60));
    ASSERT_EQ(c.configure(19200), 0); // the request is in the converter by now
    bool quit = false;
    EXPECT_EQ(Control(e.sim, &e.udp.converter()).execute("converter restart", quit), "ok\n");
    EXPECT_EQ(e.udp.converter().lineBaud(), 9600u);
    EXPECT_FALSE(c.receive(600)) << "the held answer went with the restart";
}

TEST(SimUdp, RefusesABindAddressThatIsNotIPv4) {
    Simulator sim(SimulatorConfig{});
    UdpEndpoint udp(sim, {"not-an-address", 0});
    std::string error;
    EXPECT_FALSE(udp.start(error));
    EXPECT_NE(error.find("not-an-address"), std::string::npos);
}

TEST(SimControl, CommandsChangeTheSimulator) {
    auto clock = std::make_shared<ManualClock>();
    Simulator sim(SimulatorConfig{{ModuleSetup{}}, {}, clock, 1});
    Control ctl(sim);
    bool quit = false;
    EXPECT_EQ(ctl.execute("inputs 0 0x0000FFFF", quit), "ok\n");
    EXPECT_EQ(sim.view(0)->inputPins, 0xFFFFu);
    EXPECT_EQ(ctl.execute("supply 0 off", quit), "ok\n");
    EXPECT_FALSE(sim.view(0)->supplyOk);
    EXPECT_EQ(ctl.execute("fault delay 50 share 25%", quit), "ok\n");
    EXPECT_EQ(ctl.execute("fault command 100/1 12", quit), "ok\n");
    EXPECT_EQ(ctl.execute("fault register 3 99 0", quit), "ok\n");
    EXPECT_EQ(ctl.execute("faults", quit),
              "line delay 50 ms, share 0.250000\ncommand 100/1 fails with 12, until cleared\n"
              "register 3 reads 99 on module 0\n");
    EXPECT_EQ(ctl.execute("fault clear", quit), "ok\n");
    EXPECT_EQ(ctl.execute("faults", quit), "no faults\n");
    EXPECT_NE(ctl.execute("show 0", quit).find("address 1, 9600 Bd"), std::string::npos);
    EXPECT_EQ(ctl.execute("supply 0 on", quit), "ok\n");
    EXPECT_EQ(ctl.execute("stuck 0 7 0", quit), "ok\n");
    EXPECT_EQ(ctl.execute("stuck 0 20 1", quit), "ok\n");
    EXPECT_EQ(ctl.execute("stuck 0 3 1", quit), "ok\n");
    EXPECT_EQ(ctl.execute("stuck 0 3 off", quit), "ok\n");
    EXPECT_EQ(sim.view(0)->inputPins, 0x0010FF7Fu);
    EXPECT_NE(ctl.execute("show 0", quit).find("stuck pins 0x00100080 at 0x00100000"),
              std::string::npos);
    // silent takes the bus address, not the index.
    EXPECT_EQ(ctl.execute("silent 1 on", quit), "ok\n");
    EXPECT_TRUE(sim.silent(1));
    EXPECT_NE(ctl.execute("show 0", quit).find("9600 Bd, \"ZR-464  \" v.1.04, silent"),
              std::string::npos);
    EXPECT_EQ(ctl.execute("silent 1 off", quit), "ok\n");
    EXPECT_FALSE(sim.silent(1));
    for (const char* bad :
         {"inputs 1 5", "inputs 0 0x1FFFFFFFF", "pattern 0 zigzag", "fault lose share 2",
          "fault lose next 0", "fault command 1 0", "fault register 300 1", "restart 9",
          "stuck 0 32 0", "stuck 0 7 2", "stuck 1 7 0", "stuck 0 7", "silent 256 on", "silent 1",
          "silent 1 yes", "nonsense", "converter restart", "converter stop"})
        EXPECT_EQ(ctl.execute(bad, quit).rfind("error: ", 0), 0u) << bad;
    EXPECT_FALSE(quit);
    EXPECT_EQ(ctl.execute("", quit), "");
    ctl.execute("quit", quit);
    EXPECT_TRUE(quit);
}

TEST(SimControl, LinesComeInPiecesAndOverLongLinesAreRefused) {
    Simulator sim(SimulatorConfig{});
    Control ctl(sim);
    bool quit = false;
    EXPECT_EQ(ctl.input("inpu", quit), "");
    EXPECT_EQ(ctl.input("ts 0 7\nsupply 0", quit), "ok\n");
    EXPECT_EQ(sim.view(0)->inputPins, 7u);
    EXPECT_EQ(ctl.input(" off\n", quit), "ok\n");
    EXPECT_FALSE(sim.view(0)->supplyOk);

    // A line of the longest length is carried out (an unknown command here);
    // one character more and it is refused unread, however long it grows.
    const std::string longest(Control::kMaxLineLength, 'x');
    EXPECT_EQ(ctl.input(longest + "\n", quit).rfind("error: unknown command", 0), 0u);
    const std::string tooLong = "error: line too long (more than " +
                                std::to_string(Control::kMaxLineLength) +
                                " characters), not carried out\n";
    EXPECT_EQ(ctl.input(longest + "x\n", quit), tooLong);
    const std::string chunk(1 << 16, 'y');
    for (int i = 0; i < 64; ++i) // 4 MiB without a newline
        EXPECT_EQ(ctl.input(chunk, quit), "");
    EXPECT_EQ(ctl.input("\nsupply 0 on\n", quit), tooLong + "ok\n") << "the next line works";
    EXPECT_TRUE(sim.view(0)->supplyOk);

    // quit ends the input; what follows it is not carried out.
    EXPECT_EQ(ctl.input("quit\nsupply 0 off\n", quit), "bye\n");
    EXPECT_TRUE(quit);
    EXPECT_TRUE(sim.view(0)->supplyOk);
}

TEST(SimControl, StateFileFailuresShowInTheReplies) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("zr464-sim-nodir-" + std::to_string(::getpid())) / "state.txt";
    Simulator sim(SimulatorConfig{{ModuleSetup{}}, path.string(), nullptr, 1});
    Control ctl(sim);
    bool quit = false;
    EXPECT_EQ(ctl.execute("show", quit).find("state file"), std::string::npos);
    const std::string reply = ctl.execute("factory 0", quit);
    EXPECT_EQ(reply.rfind("error: cannot write state file", 0), 0u) << reply;
    EXPECT_EQ(ctl.execute("show", quit).rfind("state file: cannot write state file", 0), 0u);
}

TEST(SimOptions, ModulesPortsAndErrors) {
    const char* argv[] = {"zr464-sim",
                          "--port",
                          "0",
                          "--module",
                          "1",
                          "--module",
                          "7:19200:1.01:NAME:EXTRA",
                          "--bind",
                          "127.0.0.2",
                          "--pattern",
                          "walk:100",
                          "--stdin-control"};
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(parseOptions(12, argv, o, error)) << error;
    EXPECT_EQ(o.udp.port, 0);
    EXPECT_EQ(o.udp.bindAddress, "127.0.0.2");
    ASSERT_EQ(o.sim.modules.size(), 2u);
    EXPECT_EQ(o.sim.modules[0].address, 1);
    EXPECT_EQ(o.sim.modules[0].baudIndex, 4);
    EXPECT_EQ(o.sim.modules[1].address, 7);
    EXPECT_EQ(o.sim.modules[1].baudIndex, 5);
    EXPECT_EQ(o.sim.modules[1].identity.version, "1.01");
    EXPECT_EQ(o.sim.modules[1].identity.name, "NAME");
    EXPECT_EQ(o.sim.modules[1].identity.extra, "EXTRA");
    EXPECT_EQ(o.pattern, InputPattern::Walk);
    EXPECT_EQ(o.patternMs, 100u);
    EXPECT_TRUE(o.quitOnEof);

    for (std::vector<const char*> bad :
         std::vector<std::vector<const char*>>{{"x", "--port", "70000"},
                                               {"x", "--module", "256"},
                                               {"x", "--module", "1:9601"},
                                               {"x", "--port"},
                                               {"x", "--frobnicate"}}) {
        ProgramOptions b;
        EXPECT_FALSE(parseOptions(static_cast<int>(bad.size()), bad.data(), b, error)) << bad[1];
    }
}

TEST(SimOptions, LoopbackWiresEveryModule) {
    const char* argv[] = {"zr464-sim", "--loopback", "--module", "1", "--module", "2"};
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(parseOptions(6, argv, o, error)) << error;
    EXPECT_TRUE(o.sim.loopback);
    Simulator sim(o.sim);
    EXPECT_TRUE(sim.view(0)->loopback);
    EXPECT_TRUE(sim.view(1)->loopback);
}
