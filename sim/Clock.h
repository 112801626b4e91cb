// The simulation clock, in milliseconds. Tests use the manual clock, so a
// watchdog count-down needs no waiting; the program uses the steady clock.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace zrsim {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed start; never goes back.
    virtual std::uint64_t nowMs() const = 0;
};

class SteadyClock : public Clock {
public:
    std::uint64_t nowMs() const override {
        const auto d = std::chrono::steady_clock::now() - start_;
        return static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class ManualClock : public Clock {
public:
    std::uint64_t nowMs() const override { return ms_.load(); }
    void advance(std::uint64_t ms) { ms_ += ms; }

private:
    std::atomic<std::uint64_t> ms_{0};
};

} // namespace zrsim
