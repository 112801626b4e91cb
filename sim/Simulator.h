// The simulated bus: one or more modules behind one line, the fault plan and
// the simulation clock. Endpoints (the LAN converter over UDP, a serial
// pseudo-terminal) decode requests from their transport, hand them to
// transact() with the rate their line runs at, and send back what it gives.
// Every public member is thread-safe.
#pragma once

#include "Clock.h"
#include "Faults.h"
#include "Module.h"
#include "Request.h"
#include "StateFile.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zrsim {

struct SimulatorConfig {
    std::vector<ModuleSetup> modules{ModuleSetup{}};
    std::string stateFile;        // empty: registers live only in memory
    std::shared_ptr<Clock> clock; // null: a steady clock
    std::uint32_t seed = 1;       // for faults that hit a share of answers
    bool loopback = false;        // every module's outputs wired to its inputs
};

// What the line carries back for one request.
struct Outcome {
    std::optional<Reply> reply; // none: no module answered
    // A second module at the same address and rate answered at the same
    // time: the two answers overlap on the line.
    std::optional<Reply> overlapping;
    Delivery delivery;
};

// A snapshot of one module for the control interface.
struct ModuleView {
    std::size_t index = 0;
    std::uint8_t address = 0; // running with since its last start
    std::uint32_t baudRate = 0;
    Identity identity;
    Module::Registers registers{};
    std::uint32_t inputPins = 0;
    std::uint32_t inputsRead = 0;
    std::uint32_t outputRegister = 0;
    std::uint32_t outputPins = 0;
    std::uint32_t status = 0;
    bool supplyOk = true;
    bool relayOn = true;
    std::uint16_t watchdogLeft = 0;
    std::uint16_t relayOffLeft = 0;
    bool restartPending = false; // address or baud rate written, not yet in effect
    bool loopback = false;
    std::uint32_t stuckMask = 0;   // input pins held whatever drives them
    std::uint32_t stuckLevels = 0; // at these levels
};

class Simulator {
public:
    explicit Simulator(SimulatorConfig config);

    // Empty unless the state file could not be read, or its last write failed.
    std::string stateError() const;
    // `report` is told when writing the state file fails: once per new
    // reason, and again after a write that worked. It is called with the
    // simulator locked and must not call the simulator back.
    void setStateErrorReport(std::function<void(const std::string&)> report);

    // One request on a line running at lineBaud Bd.
    Outcome transact(const Request& rq, std::uint32_t lineBaud);

    std::size_t moduleCount() const;
    // Nothing for an index that names no module; the setters below then
    // return false and change nothing.
    std::optional<ModuleView> view(std::size_t module) const;
    // Index of the first module running at this address, if any.
    std::optional<std::size_t> findByAddress(std::uint8_t address) const;

    bool setInputPins(std::size_t module, std::uint32_t pins);
    bool setInputPattern(std::size_t module, InputPattern p, std::uint32_t periodMs);
    bool setSupplyOk(std::size_t module, bool ok);
    // Input pin 0 to 31 held at a level, or freed (nothing).
    bool setStuck(std::size_t module, int pin, std::optional<bool> level);
    // The loopback fixture on module M: its input pins follow its outputs.
    bool setLoopback(std::size_t module, bool on);
    bool restart(std::size_t module);
    void restartAll();
    // Every module at the bus address gives no answer at all while silent
    // (a module switched off or cut from the line), whatever it is asked.
    void setSilent(std::uint8_t address, bool silent);
    bool silent(std::uint8_t address) const;
    // Registers back to the factory values (keeping the setup's address and
    // baud rate), in effect at the next restart.
    bool factoryReset(std::size_t module);

    void addFault(const LineFaultRule& r);
    void addFault(const CommandFaultRule& r);
    void addFault(const RegisterFaultRule& r);
    void clearFaults();
    std::vector<std::string> faults() const;

    // Requests seen on the line, and answers given.
    std::uint64_t requestCount() const;
    std::uint64_t answerCount() const;

private:
    void advance() const;
    template <class F> bool onModule(std::size_t i, F&& f);
    Reply executeOn(std::size_t i, const Request& rq);
    void saveState();

    mutable std::mutex mutex_;
    std::shared_ptr<Clock> clock_;
    std::vector<ModuleSetup> setups_;
    mutable std::vector<Module> modules_; // time moves on even when only looked at
    FaultPlan faults_;
    std::string stateFile_;
    std::string stateError_;
    std::function<void(const std::string&)> stateErrorReport_;
    std::array<bool, 256> silent_{};
    std::uint64_t requests_ = 0;
    std::uint64_t answers_ = 0;
};

} // namespace zrsim
