// Faults injected on demand: what happens to answers on their way back
// (line faults), commands that fail with a chosen result, and registers
// that read back another value than the one stored.
#pragma once

#include "Request.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace zrsim {

enum class LineFault {
    Lose,      // the answer never comes
    Delay,     // the answer comes delayMs late
    Corrupt,   // one byte of the answer frame is altered (checksum fails)
    Duplicate, // the answer comes twice
    Mismatch,  // the answer carries a request tag that was never sent
};

// A line fault hits either each of the next `count` answers, or, with
// count 0, a share (0 to 1) of all answers, chosen at random.
struct LineFaultRule {
    LineFault kind = LineFault::Lose;
    std::uint32_t count = 1;
    double share = 0.0;
    std::uint32_t delayMs = 0;
};

// Requests with this command code (and parameter, if given) are not carried
// out; the module answers with `result` instead. `count` 0: until cleared.
struct CommandFaultRule {
    std::uint8_t command = 0;
    std::optional<std::uint8_t> parameter;
    std::uint8_t result = 1;
    std::uint32_t count = 0;
};

// Reading register `reg` (of the module with index `module`, or of every
// module) answers `value`, whatever the register holds. Until cleared.
struct RegisterFaultRule {
    std::optional<std::size_t> module;
    std::uint8_t reg = 0;
    std::uint8_t value = 0;
};

// What happens to one answer on its way back.
struct Delivery {
    bool lost = false;
    bool corrupt = false;
    bool duplicate = false;
    bool mismatch = false;
    std::uint32_t delayMs = 0;
};

// Not thread-safe by itself; the simulator guards it.
class FaultPlan {
public:
    explicit FaultPlan(std::uint32_t seed = 1) : rng_(seed) {}

    void add(const LineFaultRule& r) { line_.push_back(r); }
    void add(const CommandFaultRule& r) { command_.push_back(r); }
    void add(const RegisterFaultRule& r) { register_.push_back(r); }
    void clear();

    // Decides the fate of one answer; uses up one of each counted rule hit.
    Delivery nextDelivery();
    // The result code for a request that is to fail, if any rule applies.
    std::optional<std::uint8_t> commandFault(const Request& rq);
    std::optional<std::uint8_t> registerFault(std::size_t module, std::uint8_t reg) const;

    // One line per active rule, empty when there is none.
    std::vector<std::string> describe() const;

private:
    bool hits(LineFaultRule& r);

    std::vector<LineFaultRule> line_;
    std::vector<CommandFaultRule> command_;
    std::vector<RegisterFaultRule> register_;
    std::mt19937 rng_;
};

const char* lineFaultName(LineFault f);
std::optional<LineFault> lineFaultFromName(const std::string& name);

} // namespace zrsim
