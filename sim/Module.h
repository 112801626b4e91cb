// One simulated ZR-464 module: its configuration registers, identification,
// inputs, outputs, watchdog and status register. Plain logic with no I/O:
// every call that depends on time takes the present time in milliseconds of
// the simulation clock, which never goes back.
#pragma once

#include "Request.h"
#include "Watchdog.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zrsim {

// Texts of the identification answers, each padded with blanks or cut to
// its length: 8 name characters, 4 version characters, 8 further ones.
struct Identity {
    std::string name = "ZR-464";
    std::string version = "1.04";
    std::string extra = "SIM-0001";
};

// How the input pins move by themselves, one step per period.
enum class InputPattern {
    Off,   // the pins hold what was set last
    Walk,  // a single 1 running from DIN0 to DIN31 and round again
    Count, // the pins count upwards as a 32-bit number
};

struct ModuleSetup {
    Identity identity;
    std::uint8_t address = 1;   // register 63 of a fresh module
    std::uint8_t baudIndex = 4; // register 62 of a fresh module
};

// Status register bits (StatusBit in Prikazy.h), as the module uses them:
//   FN    bit 1: a request was refused (unknown command, parameter, register
//                or value)
//   PRF   bit 2: a configuration register was written (programmed)
//   PWR   bit 4: the module has (re)started
//   RST   bit 5: the watchdog switched the relay off
//   ERR24 bit 6: the 24 V I/O supply failed; stays set while it is missing
// All are latched: clearing (101/0) removes them, except ERR24 while the
// supply is still missing.

class Module {
public:
    static constexpr int kRegisterCount = 64;
    using Registers = std::array<std::uint8_t, kRegisterCount>;

    // A fresh module with the factory registers, started at nowMs.
    Module(const ModuleSetup& setup, std::uint64_t nowMs);

    static Registers factoryRegisters(std::uint8_t address, std::uint8_t baudIndex);

    // Lets the time run up to nowMs: watchdog seconds and the input pattern.
    void advanceTo(std::uint64_t nowMs);
    // Power cycle: takes over address and baud rate from the registers, sets
    // the outputs to their initial state, restarts the watchdog, PWR set.
    void restart(std::uint64_t nowMs);
    // Carries out one request addressed to this module.
    Reply execute(const Request& rq, std::uint64_t nowMs);
    // Whether this module answers a request for addr on a line at baud Bd.
    bool answers(std::uint8_t addr, std::uint32_t baud) const;

    // The address and baud rate the module runs with since its last start.
    std::uint8_t address() const { return address_; }
    std::uint32_t baudRate() const;

    const Identity& identity() const { return identity_; }
    const Registers& registers() const { return registers_; }
    // Replaces the stored registers (state file); they take effect in full
    // at the next restart, the negations at once.
    void loadRegisters(const Registers& regs) { registers_ = regs; }

    void setInputPins(std::uint32_t pins);
    void setInputPattern(InputPattern p, std::uint32_t periodMs, std::uint64_t nowMs);
    std::uint32_t inputPins() const;
    // The test fixture: each output pin wired to the input pin of its number,
    // so the input pins follow the output pins (after the output negation).
    void setLoopback(bool on) { loopback_ = on; }
    bool loopback() const { return loopback_; }
    // An input pin held at 0 or 1 whatever drives it (a broken wire, a
    // welded contact); nothing frees it.
    void setStuck(int pin, std::optional<bool> level);
    std::uint32_t stuckMask() const { return stuckMask_; }
    std::uint32_t stuckLevels() const { return stuckLevels_; }
    // The inputs as command 0 reports them: pins through the input negation.
    std::uint32_t inputsRead() const { return inputPins() ^ mask(33); }
    // The output register (last written, or the initial state after a start)
    // and the pins it drives through the output negation.
    std::uint32_t outputRegister() const { return outputs_; }
    std::uint32_t outputPins() const;

    void setSupplyOk(bool ok);
    bool supplyOk() const { return supplyOk_; }
    std::uint32_t status() const { return status_; }
    const Watchdog& watchdog() const { return watchdog_; }
    WatchdogSettings watchdogSettings() const;

private:
    struct Command;
    static const Command* findCommand(std::uint8_t code, std::uint8_t parameter, bool* known);

    std::uint32_t mask(int firstRegister) const;
    // The input pins as `inputs` or the pattern set them.
    std::uint32_t drivenInputPins() const;
    Reply answer(std::array<std::uint8_t, 4> a = {}) const;
    Reply refuse(std::uint8_t result);

    Reply readInputs(const Request& rq);
    Reply writeOutputs(const Request& rq);
    Reply readStatus(const Request& rq);
    Reply readWatchdog(const Request& rq);
    Reply clearStatus(const Request& rq);
    Reply writeWatchdog(const Request& rq);
    Reply readRegister(const Request& rq);
    Reply writeRegister(const Request& rq);
    Reply identify(const Request& rq);
    void secondPassed();

    Identity identity_;
    Registers registers_{};
    std::uint8_t address_ = 1;
    std::uint8_t baudIndex_ = 4;
    std::uint32_t inputPins_ = 0;
    InputPattern pattern_ = InputPattern::Off;
    std::uint32_t patternPeriodMs_ = 500;
    std::uint64_t patternStartMs_ = 0;
    std::uint32_t outputs_ = 0;
    bool loopback_ = false;
    std::uint32_t stuckMask_ = 0;
    std::uint32_t stuckLevels_ = 0;
    std::uint32_t status_ = 0;
    bool supplyOk_ = true;
    Watchdog watchdog_;
    std::uint64_t nowMs_ = 0;
    std::uint64_t nextSecondMs_ = 1000;
};

// Text of an identification field, padded with blanks or cut to n characters.
std::string fitText(const std::string& s, std::size_t n);

} // namespace zrsim
