// Two scenarios every library must pass whatever carries its frames (UDP to
// the LAN converter, a serial line), written once and run over each: an
// answer that comes so late that the 8-bit tag has come round to it again,
// and a storm of late, doubled, damaged, lost and foreign answers. The test
// of a transport supplies a register read through its library and, where it
// plays the module itself, answers with TagWrapModule.
#pragma once

#include "Codes.h"
#include "Faults.h"
#include "Frame.h"
#include "Prikazy.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <vector>

namespace scenario {

// One register read through a library: its result code, A1 (the register
// the answer is about) and A3 (the register's value).
struct RegisterRead {
    std::uint32_t result = 0xDEAD;
    std::uint8_t reg = 0;
    std::uint8_t value = 0;
};
using ReadRegister = std::function<RegisterRead(std::uint8_t reg)>;

// A module played by the test: it answers every register read with A1 the
// register and A3 the register + 100, except the first read, which it holds
// back until a request reuses that read's tag (256 frames later); that
// request gets the held answer first and its own right after it. Safe to call
// from the thread that plays the module while the test reads its state.
class TagWrapModule {
public:
    // The answers to send, in order, for one request.
    std::vector<std::vector<std::uint8_t>> answer(const zrbus::Frame& request) {
        std::lock_guard lock(mutex_);
        if (request.type != zrbus::FrameType::Request) return {};
        if (!held_) {
            held_ = request;
            return {};
        }
        std::vector<std::vector<std::uint8_t>> out;
        if (request.tag == held_->tag && !lateSent_) {
            out.push_back(registerAnswer(*held_));
            lateSent_ = true;
        }
        out.push_back(registerAnswer(request));
        return out;
    }
    bool lateAnswerSent() const {
        std::lock_guard lock(mutex_);
        return lateSent_;
    }
    static std::uint8_t valueOf(std::uint8_t reg) { return static_cast<std::uint8_t>(reg + 100); }

    // The answer to a register read: A1 the register, A3 its value.
    static std::vector<std::uint8_t> registerAnswer(const zrbus::Frame& request) {
        const std::uint8_t reg = request.payload[3];
        return zrbus::bytesOf(
            zrbus::makeAnswer({request.address, 0, 0x10, {reg, 0, valueOf(reg), 0}}, request));
    }

private:
    mutable std::mutex mutex_;
    std::optional<zrbus::Frame> held_;
    bool lateSent_ = false;
};

// The reads of the tag-wrap scenario: `held` is read first and its answer
// comes late; `other` is read 256 times, and the last of these reuses the
// first read's tag. `beforeLast` runs before that last read.
struct TagWrap {
    std::uint8_t held = 10;
    std::uint8_t other = 20;
    std::uint8_t otherValue = TagWrapModule::valueOf(20);
    std::function<void()> beforeLast = [] {};
};

// The first read times out; the late answer to it is never taken for the
// read that reuses its tag, which gets its own register's value.
inline void expectLateAnswerNotTakenAfterTagWrap(const ReadRegister& read, const TagWrap& w) {
    EXPECT_EQ(read(w.held).result, zrbus::kTimeout);
    for (int i = 0; i < 255; ++i) {
        const RegisterRead r = read(w.other);
        ASSERT_TRUE(r.result == zrbus::kOk && r.value == w.otherValue) << "read " << i;
    }
    w.beforeLast();
    const RegisterRead last = read(w.other);
    EXPECT_EQ(last.result, zrbus::kOk);
    EXPECT_EQ(last.reg, w.other);
    EXPECT_EQ(last.value, w.otherValue); // not the held register's value
}

struct StormCounts {
    int ok = 0;     // answers taken
    int wrong = 0;  // answers taken that belong to another read
    int failed = 0; // failures other than a time-out or a damaged answer
};

// Reads every register once to learn its value, runs `letLoose` (which
// starts the faults), then `count` reads of registers picked at random.
inline StormCounts readStorm(const ReadRegister& read, int count, unsigned seed,
                             const std::function<void()>& letLoose) {
    std::vector<std::uint8_t> regs;
    std::array<std::uint8_t, 64> value{};
    for (int r = 0; r < 64; ++r) {
        if (!Registr::Existuje(r)) continue;
        const auto reg = static_cast<std::uint8_t>(r);
        regs.push_back(reg);
        const RegisterRead first = read(reg);
        EXPECT_EQ(first.result, zrbus::kOk) << "register " << r;
        value[reg] = first.value;
    }
    letLoose();
    std::mt19937 pick(seed);
    StormCounts c;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t reg = regs[pick() % regs.size()];
        const RegisterRead r = read(reg);
        if (r.result != zrbus::kOk) {
            c.failed += r.result != zrbus::kTimeout && r.result != zrbus::kBadCrc;
            continue;
        }
        ++c.ok;
        c.wrong += r.reg != reg || r.value != value[reg];
    }
    return c;
}

// The storm's faults on the simulator's line: some answers a little past the
// time-out (`slightlyLateMs`), some so late (`lateMs`, `laterMs`) that
// hundreds of exchanges pass and the tag comes round, half of them sent
// twice, and a few lost, damaged or with a foreign tag.
inline std::vector<zrsim::LineFaultRule> stormFaults(std::uint32_t slightlyLateMs,
                                                     std::uint32_t lateMs, std::uint32_t laterMs) {
    using zrsim::LineFault;
    return {
        {LineFault::Delay, 0, 0.05, slightlyLateMs},
        {LineFault::Delay, 0, 0.08, lateMs},
        {LineFault::Delay, 0, 0.08, laterMs},
        {LineFault::Duplicate, 0, 0.50, 0},
        {LineFault::Lose, 0, 0.02, 0},
        {LineFault::Corrupt, 0, 0.02, 0},
        {LineFault::Mismatch, 0, 0.02, 0},
    };
}

} // namespace scenario
