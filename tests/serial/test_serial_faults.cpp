// What a serial library does with a bad line: the test plays the module on a
// pseudo-terminal of its own and writes garbage, partial frames, stale
// answers, or nothing; or the line's other side goes away.
#include "Scenarios.h"
#include "SerialSupport.h"

#include "Codes.h"
#include "DevConfig.h"
#include "Prikazy.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

using namespace sertest;
using namespace zrbus;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint32_t kWait = 250;

class SerialLine : public ::testing::Test {
protected:
    void SetUp() override {
        SerialLib::copyTo("XCOM683", dir.path());
        dir.write(kDriverConfigName, "COM1 = line\n");
        lib = std::make_unique<SerialLib>("XCOM683", dir.path());
        ASSERT_TRUE(lib->loaded()) << lib->error();
    }
    void TearDown() override { lib->done(h); }

    void open() {
        ASSERT_EQ(lib->init(h, 1), kOk) << lib->text(kNoDevice);
        ASSERT_EQ(lib->setConfig(h, 9600, kWait), kOk);
    }
    scenario::ReadRegister readAsScenario() {
        return [this](std::uint8_t reg) {
            const Sent s = lib->send(h, 1, Prikaz::CtiRegistr, 0, {0, reg, reg, 0, 0});
            return scenario::RegisterRead{s.result, s.a(1), s.a(3)};
        };
    }
    std::future<Sent> sendAsync(std::uint8_t address = 1) {
        return std::async(std::launch::async,
                          [this, address] { return lib->send(h, address, Prikaz::CtiStav, 0); });
    }
    // One transaction on the scripted line: the module's side writes what
    // `script` makes of the request.
    template <class Script> Sent exchange(ScriptedLine& line, Script&& script) {
        auto sent = sendAsync();
        const auto rq = line.nextRequest(Ms(2000));
        if (rq) script(*rq);
        return sent.get();
    }

    TempDir dir;
    std::unique_ptr<SerialLib> lib;
    std::uint32_t h = 0;
};

std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a,
                                    const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::uint8_t> head(std::vector<std::uint8_t> v, std::size_t n) {
    v.resize(n);
    return v;
}

void expectAnswer(const Sent& s, std::uint8_t a1) {
    EXPECT_EQ(s.rc, kOk);
    EXPECT_EQ(s.result, kOk);
    EXPECT_EQ(s.status, 0x10u);
    EXPECT_EQ(s.a(1), a1);
}

} // namespace

TEST_F(SerialLine, FindsTheAnswerAmongGarbageStaleAnswersAndPartialFrames) {
    ScriptedLine line(dir.file("line"));
    ASSERT_TRUE(line.ok());
    open();
    const std::vector<std::uint8_t> junk{0x00, 0xFF, kStartByte, 0x81, 0x13, kStartByte};
    // Garbage before the answer.
    expectAnswer(exchange(line, [&](const Frame& rq) { line.write(junk + answerTo(rq, {1})); }), 1);
    // A stale answer (another tag), bytes between frames, then the answer.
    expectAnswer(exchange(line,
                          [&](const Frame& rq) {
                              line.write(answerTo(rq, {9}, 1) + junk + answerTo(rq, {2}));
                          }),
                 2);
    // A frame cut short, then the answer; and an answer in two pieces.
    expectAnswer(exchange(line,
                          [&](const Frame& rq) {
                              line.write(head(answerTo(rq, {9}), 7) + answerTo(rq, {3}));
                          }),
                 3);
    expectAnswer(exchange(line,
                          [&](const Frame& rq) {
                              const auto a = answerTo(rq, {4});
                              line.write(head(a, 6));
                              line.write({a.begin() + 6, a.end()});
                          }),
                 4);
}

TEST_F(SerialLine, ALineSilentMidAnswerTimesOutAndTheNextTransactionWorks) {
    ScriptedLine line(dir.file("line"));
    ASSERT_TRUE(line.ok());
    open();
    const auto start = Clock::now();
    const Sent cut =
        exchange(line, [&](const Frame& rq) { line.write(head(answerTo(rq, {1}), 8)); });
    const auto took = Clock::now() - start;
    EXPECT_EQ(cut.result, kTimeout);
    EXPECT_EQ(cut.a(1), 0); // nothing of the broken answer is handed out
    EXPECT_GE(took, Ms(kWait));
    EXPECT_LT(took, Ms(kWait + 500));
    expectAnswer(exchange(line, [&](const Frame& rq) { line.write(answerTo(rq, {5})); }), 5);
}

TEST_F(SerialLine, OnlyDamagedOrForeignAnswers) {
    ScriptedLine line(dir.file("line"));
    ASSERT_TRUE(line.ok());
    open();
    const Sent bad = exchange(line, [&](const Frame& rq) {
        auto a = answerTo(rq, {1});
        a[kHeaderSize] ^= 0x40;
        line.write(a);
    });
    EXPECT_EQ(bad.result, kBadCrc);
    const Sent foreign = exchange(line, [&](const Frame& rq) {
        Frame other = rq;
        other.address = 7;
        line.write(answerTo(other, {1}));
    });
    EXPECT_EQ(foreign.result, kTimeout);
}

// The line's other side closes while the library holds it: the library says
// so at once, and takes the line up again when it is back at the same path.
TEST_F(SerialLine, TheOtherSideClosesAndComesBack) {
    auto sim = std::make_unique<SimLine>(dir.file("line"));
    ASSERT_EQ(sim->startError, "");
    open();
    ASSERT_EQ(lib->send(h, 1, Prikaz::CtiStav, 0).result, kOk);

    sim->endpoint.stop();
    const auto start = Clock::now();
    const Sent gone = lib->send(h, 1, Prikaz::CtiStav, 0);
    EXPECT_LT(Clock::now() - start, Ms(kWait));
    EXPECT_EQ(gone.result, kNoDevice);
    EXPECT_EQ(lib->text(kNoDevice),
              cp1250("port COM1 nelze otevřít: zařízení neexistuje (" + dir.file("line") + ")"));

    sim = std::make_unique<SimLine>(dir.file("line"));
    ASSERT_EQ(sim->startError, "");
    EXPECT_EQ(lib->send(h, 1, Prikaz::CtiStav, 0).result, kOk);
    EXPECT_EQ(sim->endpoint.lineBaud(), 9600u); // the reopened line keeps the rate
}

TEST_F(SerialLine, TheOtherSideClosesDuringTheWait) {
    auto sim = std::make_unique<SimLine>(dir.file("line"));
    ASSERT_EQ(sim->startError, "");
    ASSERT_EQ(lib->init(h, 1), kOk);
    ASSERT_EQ(lib->setConfig(h, 9600, 3000), kOk);
    sim->sim.addFault(zrsim::LineFaultRule{zrsim::LineFault::Lose, 1, 0.0, 0});
    const auto start = Clock::now();
    auto sent = sendAsync();
    // The request is on the line, its answer lost: now the line goes away.
    const auto deadline = start + Ms(2000);
    while (sim->endpoint.requests() == 0 && Clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_EQ(sim->endpoint.requests(), 1u);
    sim->endpoint.stop();
    EXPECT_EQ(sent.get().result, kReceiveFailed);
    EXPECT_LT(Clock::now() - start, Ms(2500));

    sim = std::make_unique<SimLine>(dir.file("line"));
    EXPECT_EQ(lib->send(h, 1, Prikaz::CtiStav, 0).result, kOk);
}

// The answer to a read that timed out comes late, exactly when the 8-bit tag
// has come round to it again (256 frames later) and the library waits for
// the answer to a read of another register; the right answer follows it.
TEST_F(SerialLine, ALateAnswerIsNotTakenForTheRequestThatReusesItsTag) {
    ScriptedLine line(dir.file("line"));
    ASSERT_TRUE(line.ok());
    ASSERT_EQ(lib->init(h, 1), kOk);
    // Long enough that a busy machine never turns a prompt answer into a
    // time-out; only the first read, whose answer is held back, waits it out.
    ASSERT_EQ(lib->setConfig(h, 115200, 250), kOk);
    scenario::TagWrapModule module;
    std::atomic<bool> stop{false};
    std::thread player([&] {
        while (!stop)
            if (const auto rq = line.nextRequest(Ms(20)))
                for (const auto& bytes : module.answer(*rq))
                    line.write(bytes);
    });
    scenario::expectLateAnswerNotTakenAfterTagWrap(readAsScenario(), {});
    stop = true;
    player.join();
    EXPECT_TRUE(module.lateAnswerSent());
}

// Hundreds of register reads on the simulator's line in a storm of faulty
// answers: none is ever taken for another request.
TEST_F(SerialLine, StormOfLateAnswersNeverGivesAnotherRequestsAnswer) {
    zrsim::SimulatorConfig config;
    config.modules[0].baudIndex = 8; // 115200 Bd: the shortest line silence
    SimLine line(dir.file("line"), config);
    ASSERT_EQ(line.startError, "");
    ASSERT_EQ(lib->init(h, 1), kOk);
    ASSERT_EQ(lib->setConfig(h, 115200, kWait), kOk);
    const scenario::StormCounts c = scenario::readStorm(readAsScenario(), 450, 11, [&] {
        for (const auto& f : scenario::stormFaults(8, 900, 1300))
            line.sim.addFault(f);
        ASSERT_EQ(lib->setConfig(h, 115200, 10), kOk);
    });
    EXPECT_EQ(c.wrong, 0);
    EXPECT_EQ(c.failed, 0);
    EXPECT_GT(c.ok, 100);
}

// The path is made to name another device while the old one stays alive
// (another program has it now): the next request goes to the new one only.
TEST_F(SerialLine, ThePathNowNamesAnotherDevice) {
    auto old = std::make_unique<SimLine>(dir.file("line"));
    open();
    ASSERT_EQ(lib->send(h, 1, Prikaz::CtiStav, 0).result, kOk);
    SimLine fresh(dir.file("line")); // the link made anew
    fresh.sim.setInputPins(0, 0x22222222);
    const Sent s = lib->send(h, 1, Prikaz::CtiVstupy, Prikaz::ParDIO);
    EXPECT_EQ(s.result, kOk);
    EXPECT_EQ(s.a(1), 0xDD) << "the new device's inputs (negated)";
    EXPECT_EQ(old->endpoint.requests(), 1u) << "nothing written to the old device";
}
