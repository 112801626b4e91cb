// The simulated module and bus, driven through Simulator::transact under a
// manual clock: every command, registers, I/O, watchdog, status, faults.
#include "Prikazy.h"
#include "Simulator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

using namespace zrsim;

namespace {

struct Bus {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    Simulator sim;

    explicit Bus(std::vector<ModuleSetup> modules = {ModuleSetup{}}, std::string stateFile = {},
                 bool loopback = false)
        : sim(SimulatorConfig{std::move(modules), std::move(stateFile), clock, 7, loopback}) {}

    std::optional<Reply> send(std::uint8_t cmd, std::uint8_t par,
                              std::array<std::uint8_t, 5> d = {}, std::uint8_t addr = 1,
                              std::uint32_t baud = 9600) {
        Request rq{addr, cmd, par, d};
        return sim.transact(rq, baud).reply;
    }
    Reply ok(std::uint8_t cmd, std::uint8_t par, std::array<std::uint8_t, 5> d = {},
             std::uint8_t addr = 1, std::uint32_t baud = 9600) {
        const auto r = send(cmd, par, d, addr, baud);
        EXPECT_TRUE(r.has_value());
        EXPECT_EQ(r.value_or(Reply{}).result, 0);
        return r.value_or(Reply{});
    }
    std::uint8_t readReg(std::uint8_t reg, std::uint8_t addr = 1, std::uint32_t baud = 9600) {
        return ok(Prikaz::CtiRegistr, 0, {0, reg, reg, 0, 0}, addr, baud).answer[2];
    }
    void writeReg(std::uint8_t reg, std::uint8_t v, std::uint8_t addr = 1) {
        ok(Prikaz::ZapisRegistr, 0, {0, reg, reg, v, v}, addr);
    }
    std::uint32_t word(const Reply& r) {
        return r.answer[0] | r.answer[1] << 8 | r.answer[2] << 16 |
               static_cast<std::uint32_t>(r.answer[3]) << 24;
    }
    std::uint32_t status() { return word(ok(Prikaz::CtiStav, 0)); }
    unsigned left() {
        const Reply r = ok(Prikaz::CtiStav, 1);
        return r.answer[0] + 256u * r.answer[1];
    }
    void seconds(unsigned n) { clock->advance(1000ull * n); }
};

std::string chars(const Reply& r) {
    return std::string(r.answer.begin(), r.answer.end());
}

} // namespace

TEST(SimModule, IdentificationItemsAndConfiguredTexts) {
    Bus bus;
    std::string all;
    for (std::uint8_t item : {0, 1, 2, 10, 11})
        all += chars(bus.ok(Prikaz::Identifikace, item));
    EXPECT_EQ(all, "ZR-464  1.04SIM-0001");

    ModuleSetup old;
    old.identity = {"ABCDEFGHIJ", "1.01", "xy"};
    Bus b2({old});
    EXPECT_EQ(chars(b2.ok(200, 0)) + chars(b2.ok(200, 1)), "ABCDEFGH");
    EXPECT_EQ(chars(b2.ok(200, 2)), "1.01");
    EXPECT_EQ(chars(b2.ok(200, 10)) + chars(b2.ok(200, 11)), "xy      ");
    EXPECT_EQ(b2.send(200, 3)->result, zrbus::kModuleBadParameter);
}

TEST(SimModule, FactoryRegistersMatchTheProgramDefaults) {
    Bus bus;
    EXPECT_EQ(bus.readReg(0), 60);
    EXPECT_EQ(bus.readReg(1), 1);
    EXPECT_EQ(bus.readReg(2), 0);
    EXPECT_EQ(bus.readReg(3), 10);
    EXPECT_EQ(bus.readReg(4), 0);
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(bus.readReg(Registr::PocatecniStavDOUT(n)), 0);
        EXPECT_EQ(bus.readReg(Registr::NegaceDIN(n)), 0xFF);
        EXPECT_EQ(bus.readReg(Registr::NegaceDOUT(n)), 0xFF);
    }
    EXPECT_EQ(bus.readReg(62), 4);
    EXPECT_EQ(bus.readReg(63), 1);
    // The register number travels twice in the answer as in the request.
    const Reply r = bus.ok(102, 0, {0, 63, 63, 9, 9});
    EXPECT_EQ(r.answer[0], 63);
    EXPECT_EQ(r.answer[1], 63);
}

TEST(SimModule, EveryRegisterWritesAndReadsBack) {
    Bus bus;
    for (int reg = 0; reg < 64; ++reg) {
        if (!Registr::Existuje(reg) || reg == 62 || reg == 63) continue;
        const auto v = static_cast<std::uint8_t>(reg * 7 + 3);
        bus.writeReg(static_cast<std::uint8_t>(reg), v);
        EXPECT_EQ(bus.readReg(static_cast<std::uint8_t>(reg)), v) << "register " << reg;
    }
    bus.sim.restart(0);
    EXPECT_EQ(bus.readReg(33), 33 * 7 + 3) << "registers survive a restart";
}

TEST(SimModule, RefusedRegisterRequests) {
    Bus bus;
    for (std::uint8_t reg : {5, 31, 44, 61, 64, 255}) {
        EXPECT_EQ(bus.send(102, 0, {0, reg, reg, 0, 0})->result, zrbus::kModuleUnknownRegister);
        EXPECT_EQ(bus.send(103, 0, {0, reg, reg, 1, 1})->result, zrbus::kModuleUnknownRegister);
    }
    EXPECT_EQ(bus.send(102, 0, {0, 3, 4, 0, 0})->result, zrbus::kModuleMismatch);
    EXPECT_EQ(bus.send(103, 0, {0, 3, 3, 1, 2})->result, zrbus::kModuleMismatch);
    EXPECT_EQ(bus.send(103, 0, {0, 62, 62, 9, 9})->result, zrbus::kModuleBadValue);
    EXPECT_EQ(bus.send(102, 1, {0, 3, 3, 0, 0})->result, zrbus::kModuleBadParameter);
    EXPECT_EQ(bus.send(7, 0)->result, zrbus::kModuleUnknownCommand);
    EXPECT_EQ(bus.send(0, 0)->result, zrbus::kModuleBadParameter);
    EXPECT_EQ(bus.readReg(3), 10) << "a refused write changes nothing";
    EXPECT_EQ(bus.readReg(62), 4);
}

TEST(SimModule, NewAddressAndRateTakeEffectAtRestart) {
    Bus bus;
    bus.writeReg(63, 7);
    bus.writeReg(62, 5);
    EXPECT_EQ(bus.readReg(63), 7) << "read-back at the old address and rate";
    EXPECT_EQ(bus.readReg(62), 5);
    EXPECT_TRUE(bus.sim.view(0)->restartPending);
    EXPECT_FALSE(bus.send(102, 0, {0, 63, 63, 0, 0}, 7, 19200));

    bus.sim.restart(0);
    EXPECT_FALSE(bus.send(102, 0, {0, 63, 63, 0, 0}, 1, 9600));
    EXPECT_FALSE(bus.send(102, 0, {0, 63, 63, 0, 0}, 7, 9600)) << "new address, old rate";
    EXPECT_FALSE(bus.send(102, 0, {0, 63, 63, 0, 0}, 1, 19200)) << "old address, new rate";
    EXPECT_EQ(bus.readReg(63, 7, 19200), 7);
    EXPECT_FALSE(bus.sim.view(0)->restartPending);
    EXPECT_EQ(bus.sim.findByAddress(7), 0u);
}

TEST(SimModule, ModulesAnswerOnlyAtTheirAddressAndRate) {
    ModuleSetup a, b, c;
    b.address = 2;
    b.baudIndex = 8;
    c.address = 2;
    c.baudIndex = 8;
    Bus bus({a, b});
    EXPECT_TRUE(bus.send(100, 0, {}, 1, 9600));
    EXPECT_FALSE(bus.send(100, 0, {}, 1, 115200));
    EXPECT_FALSE(bus.send(100, 0, {}, 2, 9600));
    EXPECT_TRUE(bus.send(100, 0, {}, 2, 115200));
    EXPECT_FALSE(bus.send(100, 0, {}, 3, 9600));
    // A silent address answers nothing, at any rate, until it speaks again.
    bus.sim.setSilent(2, true);
    EXPECT_FALSE(bus.send(100, 0, {}, 2, 115200));
    EXPECT_TRUE(bus.send(100, 0, {}, 1, 9600));
    bus.sim.setSilent(2, false);
    EXPECT_TRUE(bus.send(100, 0, {}, 2, 115200));
    Bus clash({a, b, c});
    const Outcome both = clash.sim.transact(Request{2, 100, 0, {}}, 115200);
    EXPECT_TRUE(both.reply && both.overlapping) << "two answers collide";
    EXPECT_EQ(clash.sim.requestCount(), 1u);
    EXPECT_EQ(clash.sim.answerCount(), 0u);
}

TEST(SimModule, InputsReadThroughTheNegation) {
    Bus bus;
    EXPECT_EQ(bus.word(bus.ok(0, 64)), 0xFFFFFFFFu) << "all negated, all pins low";
    bus.sim.setInputPins(0, 0x80000001u);
    EXPECT_EQ(bus.word(bus.ok(0, 64)), 0x7FFFFFFEu);
    bus.writeReg(Registr::NegaceDIN(0), 0x00);
    bus.writeReg(Registr::NegaceDIN(3), 0x0F);
    EXPECT_EQ(bus.word(bus.ok(0, 64)), 0x8FFFFF01u) << "negations apply at once";
    EXPECT_EQ(bus.sim.view(0)->inputsRead, 0x8FFFFF01u);
}

TEST(SimModule, InputPatternsMoveWithTheClock) {
    Bus bus;
    for (int n = 0; n < 4; ++n)
        bus.writeReg(Registr::NegaceDIN(n), 0);
    bus.sim.setInputPattern(0, InputPattern::Walk, 250);
    EXPECT_EQ(bus.word(bus.ok(0, 64)), 1u);
    bus.clock->advance(250);
    EXPECT_EQ(bus.word(bus.ok(0, 64)), 2u);
    bus.clock->advance(250 * 31);
    EXPECT_EQ(bus.word(bus.ok(0, 64)), 1u) << "round again after DIN31";
    bus.sim.setInputPattern(0, InputPattern::Count, 100);
    bus.clock->advance(1234);
    EXPECT_EQ(bus.word(bus.ok(0, 64)), 12u);
    bus.sim.setInputPins(0, 5);
    EXPECT_EQ(bus.word(bus.ok(0, 64)), 5u) << "setting pins ends the pattern";
}

TEST(SimModule, OutputsThroughTheNegationAndInitialStateAtRestart) {
    Bus bus;
    auto v = bus.sim.view(0);
    EXPECT_EQ(v->outputRegister, 0u);
    EXPECT_EQ(v->outputPins, 0xFFFFFFFFu);
    bus.ok(1, 64, {0, 0x01, 0x02, 0x01, 0x80});
    v = bus.sim.view(0);
    EXPECT_EQ(v->outputRegister, 0x80010201u);
    EXPECT_EQ(v->outputPins, 0x7FFEFDFEu);
    bus.writeReg(Registr::NegaceDOUT(0), 0);
    bus.writeReg(Registr::PocatecniStavDOUT(1), 0xA5);
    EXPECT_EQ(bus.sim.view(0)->outputPins, 0x7FFEFD01u);
    bus.sim.restart(0);
    v = bus.sim.view(0);
    EXPECT_EQ(v->outputRegister, 0x0000A500u);
    EXPECT_EQ(v->outputPins, 0xFFFF5A00u);
    EXPECT_EQ(bus.send(1, 0x41)->result, zrbus::kModuleBadParameter);
    EXPECT_EQ(bus.sim.view(0)->outputRegister, 0x0000A500u) << "a refused write changes nothing";
}

// The loopback fixture: input n reads what output n drives, through both
// negations; a stuck pin holds its level whatever drives it.
TEST(SimModule, LoopbackWiresOutputsToInputsAndStuckPinsHold) {
    const struct {
        const char* name;
        std::uint8_t negDout0, negDin0;
        std::uint32_t outputs;
        int stuckPin; // -1: none
        bool stuckLevel;
        std::uint32_t read;
    } rows[] = {
        {"factory negations cancel", 0xFF, 0xFF, 0x00000080u, -1, false, 0x00000080u},
        {"no negation", 0x00, 0x00, 0x00000081u, -1, false, 0x00000081u},
        {"output negation only", 0xFF, 0x00, 0x00000001u, -1, false, 0x000000FEu},
        {"input negation only", 0x00, 0xFF, 0x00000001u, -1, false, 0x000000FEu},
        {"pin 7 stuck low", 0x00, 0x00, 0x00000080u, 7, false, 0x00000000u},
        {"stuck low reads high through negations", 0xFF, 0xFF, 0x00000000u, 7, false, 0x00000080u},
        {"pin 7 stuck high", 0x00, 0x00, 0x00000000u, 7, true, 0x00000080u},
        {"pin 7 stuck low, others follow", 0x00, 0x00, 0x00000180u, 7, false, 0x00000100u},
    };
    for (const auto& r : rows) {
        Bus bus({ModuleSetup{}}, {}, true);
        bus.writeReg(Registr::NegaceDOUT(0), r.negDout0);
        bus.writeReg(Registr::NegaceDIN(0), r.negDin0);
        if (r.stuckPin >= 0) bus.sim.setStuck(0, r.stuckPin, r.stuckLevel);
        bus.sim.setInputPins(0, 0xFFFFFFFFu); // the fixture wins over set pins
        const std::array<std::uint8_t, 4> o = {
            static_cast<std::uint8_t>(r.outputs), static_cast<std::uint8_t>(r.outputs >> 8),
            static_cast<std::uint8_t>(r.outputs >> 16), static_cast<std::uint8_t>(r.outputs >> 24)};
        bus.ok(1, 64, {0, o[0], o[1], o[2], o[3]});
        EXPECT_EQ(bus.word(bus.ok(0, 64)) & 0xFFFFu, r.read) << r.name;
    }
}

TEST(SimModule, WatchdogCountsDownSwitchesTheRelayAndStartsAgain) {
    Bus bus;
    EXPECT_EQ(bus.left(), 60u);
    bus.clock->advance(999);
    EXPECT_EQ(bus.left(), 60u);
    bus.clock->advance(1);
    EXPECT_EQ(bus.left(), 59u);
    bus.seconds(58);
    EXPECT_EQ(bus.left(), 1u);
    EXPECT_EQ(bus.status() & StatusBit::RST, 0u);
    bus.seconds(1);
    EXPECT_EQ(bus.left(), 0u);
    EXPECT_FALSE(bus.sim.view(0)->relayOn);
    EXPECT_NE(bus.status() & StatusBit::RST, 0u);
    bus.seconds(9);
    EXPECT_FALSE(bus.sim.view(0)->relayOn) << "off for the relay switch-off time";
    EXPECT_EQ(bus.sim.view(0)->relayOffLeft, 1u);
    bus.seconds(1);
    EXPECT_TRUE(bus.sim.view(0)->relayOn);
    EXPECT_EQ(bus.left(), 60u) << "the count starts again";
}

TEST(SimModule, WatchdogTimeWrittenAndReadAsTwoBytes) {
    Bus bus;
    bus.ok(101, 1, {0, 10, 0, 0, 0});
    EXPECT_EQ(bus.left(), 10u);
    bus.seconds(3);
    EXPECT_EQ(bus.left(), 7u);
    bus.ok(101, 1, {0, 44, 1, 0, 0});
    const Reply r = bus.ok(100, 1);
    EXPECT_EQ(r.answer[0], 44);
    EXPECT_EQ(r.answer[1], 1);
    // A write during the switch-off phase switches the relay back on.
    bus.ok(101, 1, {0, 0, 0, 0, 0});
    bus.seconds(1);
    EXPECT_FALSE(bus.sim.view(0)->relayOn);
    bus.ok(101, 1, {0, 10, 0, 0, 0});
    EXPECT_TRUE(bus.sim.view(0)->relayOn);
    EXPECT_EQ(bus.left(), 10u);
}

TEST(SimModule, WatchdogSettingsFromTheRegisters) {
    Bus bus;
    bus.writeReg(0, 44); // 300 s
    bus.writeReg(2, 1);
    bus.writeReg(3, 2);
    bus.sim.restart(0);
    EXPECT_EQ(bus.left(), 300u);
    bus.seconds(300);
    EXPECT_FALSE(bus.sim.view(0)->relayOn);
    bus.seconds(2);
    EXPECT_TRUE(bus.sim.view(0)->relayOn);
    EXPECT_EQ(bus.left(), 300u);

    bus.writeReg(1, 0); // switched off: nothing counts
    bus.seconds(1000);
    EXPECT_EQ(bus.left(), 300u);
    EXPECT_TRUE(bus.sim.view(0)->relayOn);
    bus.writeReg(1, 5); // any non-zero value activates
    bus.seconds(1);
    EXPECT_EQ(bus.left(), 299u);

    bus.writeReg(3, 0); // switch-off time 0: switch and count again at once
    bus.ok(101, 1, {0, 1, 0, 0, 0});
    bus.ok(101, 0);
    bus.seconds(1);
    EXPECT_TRUE(bus.sim.view(0)->relayOn);
    EXPECT_EQ(bus.left(), 300u);
    EXPECT_NE(bus.status() & StatusBit::RST, 0u);
}

TEST(SimModule, StatusBitsAndClearing) {
    Bus bus;
    EXPECT_EQ(bus.status(), StatusBit::PWR);
    EXPECT_EQ(bus.ok(100, 0).status, StatusBit::PWR) << "S is the low status byte";
    bus.ok(101, 0);
    EXPECT_EQ(bus.status(), 0u);
    bus.send(55, 0);
    EXPECT_EQ(bus.status(), StatusBit::FN);
    bus.writeReg(3, 10);
    EXPECT_EQ(bus.status(), StatusBit::FN | StatusBit::PRF);
    bus.ok(101, 0);
    bus.sim.setSupplyOk(0, false);
    EXPECT_EQ(bus.status(), StatusBit::ERR24);
    bus.ok(101, 0);
    EXPECT_EQ(bus.status(), StatusBit::ERR24) << "stays while the supply is missing";
    EXPECT_EQ(bus.sim.view(0)->outputPins, 0u);
    bus.sim.setSupplyOk(0, true);
    EXPECT_EQ(bus.status(), StatusBit::ERR24) << "latched";
    bus.ok(101, 0);
    EXPECT_EQ(bus.status(), 0u);
    bus.sim.restart(0);
    EXPECT_EQ(bus.status(), StatusBit::PWR);
}

TEST(SimModule, RegistersKeptInTheStateFile) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("zr464-sim-state-" + std::to_string(::getpid()) + ".txt");
    std::filesystem::remove(path);
    {
        Bus bus({ModuleSetup{}}, path.string());
        EXPECT_EQ(bus.sim.stateError(), "");
        bus.writeReg(63, 9);
        bus.writeReg(0, 30);
    }
    {
        Bus bus({ModuleSetup{}}, path.string());
        EXPECT_EQ(bus.sim.stateError(), "");
        EXPECT_EQ(bus.readReg(0, 9), 30) << "a new run starts with the stored registers";
        EXPECT_FALSE(bus.send(100, 1, {}, 1)) << "nothing answers at the old address";
        bus.sim.factoryReset(0);
        bus.sim.restart(0);
        EXPECT_EQ(bus.readReg(0, 1), 60);
    }
    {
        std::ofstream(path) << "module 0 3=7 99=1\n";
        Bus bus({ModuleSetup{}}, path.string());
        EXPECT_NE(bus.sim.stateError(), "");
        EXPECT_EQ(bus.readReg(3), 10) << "a broken file leaves the factory registers";
    }
    std::filesystem::remove(path);
}

TEST(SimModule, StateFileThatIsNoRegularFileIsRefusedAtOnce) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("zr464-sim-special-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "directory");
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::filesystem::path path;
        const char* kind;
    } rows[] = {{dir / "directory", "a directory"}, {fifo, "a FIFO"}};
    for (const auto& row : rows) {
        // Constructed aside, so that a start waiting on the FIFO for a writer
        // fails the test instead of hanging it.
        auto started = std::async(std::launch::async, [&] {
            Bus bus({ModuleSetup{}}, row.path.string());
            return bus.sim.stateError();
        });
        if (started.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << row.path << ": the start waits on the file";
            ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK)); // lets it go on
        }
        const std::string error = started.get();
        EXPECT_NE(error.find("not a regular file (" + std::string(row.kind) + ")"),
                  std::string::npos)
            << row.path << ": " << error;
    }
    struct stat st {};
    EXPECT_TRUE(::stat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) << "left as it was";
    std::filesystem::remove_all(dir);
}

TEST(SimModule, StateFileWriteFailuresAreReported) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("zr464-sim-gone-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    // The file's directory does not exist: reading finds nothing stored, every
    // write fails.
    Bus bus({ModuleSetup{}}, (dir / "state.txt").string());
    std::vector<std::string> reports;
    bus.sim.setStateErrorReport([&](const std::string& e) { reports.push_back(e); });
    EXPECT_EQ(bus.sim.stateError(), "");
    bus.writeReg(63, 9);
    bus.writeReg(0, 30);
    ASSERT_EQ(reports.size(), 1u) << "reported once for the same reason";
    EXPECT_NE(reports[0].find("cannot write state file"), std::string::npos) << reports[0];
    EXPECT_EQ(bus.sim.stateError(), reports[0]);

    // Once a write works the error is gone, and a new failure is reported again.
    std::filesystem::create_directories(dir);
    bus.writeReg(0, 31);
    EXPECT_EQ(bus.sim.stateError(), "");
    std::filesystem::remove_all(dir);
    bus.writeReg(0, 32);
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_NE(bus.sim.stateError(), "");
}

TEST(SimFaults, CommandFailsWithAChosenResult) {
    Bus bus;
    bus.sim.addFault(CommandFaultRule{103, std::nullopt, 33, 1});
    EXPECT_EQ(bus.send(103, 0, {0, 3, 3, 5, 5})->result, 33);
    EXPECT_EQ(bus.readReg(3), 10) << "the failed command was not carried out";
    bus.writeReg(3, 5);
    EXPECT_EQ(bus.readReg(3), 5) << "only the next one failed";

    bus.sim.addFault(CommandFaultRule{100, std::uint8_t{1}, 12, 0});
    EXPECT_EQ(bus.send(100, 1)->result, 12);
    EXPECT_EQ(bus.send(100, 1)->result, 12);
    EXPECT_EQ(bus.send(100, 0)->result, 0) << "another parameter";
    EXPECT_EQ(bus.sim.faults().size(), 1u);
    bus.sim.clearFaults();
    EXPECT_EQ(bus.send(100, 1)->result, 0);
}

TEST(SimFaults, RegisterReadsBackAnotherValue) {
    ModuleSetup b;
    b.address = 2;
    Bus bus({ModuleSetup{}, b});
    bus.sim.addFault(RegisterFaultRule{std::size_t{0}, 3, 99});
    bus.writeReg(3, 5);
    EXPECT_EQ(bus.readReg(3), 99);
    EXPECT_EQ(bus.sim.view(0)->registers[3], 5) << "the module holds what was written";
    EXPECT_EQ(bus.readReg(3, 2), 10) << "only module 0";
    bus.sim.clearFaults();
    EXPECT_EQ(bus.readReg(3), 5);
}

TEST(SimFaults, LineFaultsForTheNextAnswers) {
    Bus bus;
    bus.sim.addFault(LineFaultRule{LineFault::Lose, 2, 0, 0});
    bus.sim.addFault(LineFaultRule{LineFault::Delay, 1, 0, 250});
    Request rq{1, 100, 0, {}};
    Outcome o = bus.sim.transact(rq, 9600);
    EXPECT_TRUE(o.delivery.lost);
    EXPECT_EQ(o.delivery.delayMs, 250u);
    EXPECT_TRUE(bus.sim.transact(rq, 9600).delivery.lost);
    o = bus.sim.transact(rq, 9600);
    EXPECT_FALSE(o.delivery.lost);
    EXPECT_EQ(o.delivery.delayMs, 0u);
    EXPECT_TRUE(bus.sim.faults().empty()) << "counted rules are used up";

    for (LineFault f : {LineFault::Corrupt, LineFault::Duplicate, LineFault::Mismatch})
        bus.sim.addFault(LineFaultRule{f, 1, 0, 0});
    o = bus.sim.transact(rq, 9600);
    EXPECT_TRUE(o.delivery.corrupt && o.delivery.duplicate && o.delivery.mismatch);
    EXPECT_FALSE(bus.sim.transact(Request{5, 100, 0, {}}, 9600).reply)
        << "no answer, no fault used up";
    EXPECT_EQ(bus.sim.answerCount(), 2u);
}

TEST(SimFaults, LineFaultsForAShareOfAnswers) {
    Bus bus;
    bus.sim.addFault(LineFaultRule{LineFault::Lose, 0, 0.25, 0});
    int lost = 0;
    for (int i = 0; i < 2000; ++i)
        lost += bus.sim.transact(Request{1, 100, 0, {}}, 9600).delivery.lost;
    EXPECT_GT(lost, 400);
    EXPECT_LT(lost, 600);
    EXPECT_EQ(bus.sim.faults().size(), 1u) << "a share rule stays";
}
