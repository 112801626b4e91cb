#include "Simulator.h"

#include "Prikazy.h"

namespace zrsim {

Simulator::Simulator(SimulatorConfig config)
    : clock_(config.clock ? config.clock : std::make_shared<SteadyClock>()),
      setups_(std::move(config.modules)), faults_(config.seed),
      stateFile_(std::move(config.stateFile)) {
    if (setups_.empty()) setups_.emplace_back();
    StoredRegisters stored;
    if (!stateFile_.empty()) loadStateFile(stateFile_, stored, stateError_);
    const std::uint64_t now = clock_->nowMs();
    for (std::size_t i = 0; i < setups_.size(); ++i) {
        modules_.emplace_back(setups_[i], now);
        modules_.back().setLoopback(config.loopback);
        const auto it = stored.find(i);
        if (it == stored.end()) continue;
        modules_.back().loadRegisters(it->second);
        modules_.back().restart(now);
    }
}

std::string Simulator::stateError() const {
    std::lock_guard lock(mutex_);
    return stateError_;
}

void Simulator::setStateErrorReport(std::function<void(const std::string&)> report) {
    std::lock_guard lock(mutex_);
    stateErrorReport_ = std::move(report);
}

void Simulator::advance() const {
    const std::uint64_t now = clock_->nowMs();
    for (Module& m : modules_)
        m.advanceTo(now);
}

template <class F> bool Simulator::onModule(std::size_t i, F&& f) {
    std::lock_guard lock(mutex_);
    if (i >= modules_.size()) return false;
    advance();
    f(modules_[i]);
    return true;
}

void Simulator::saveState() {
    if (stateFile_.empty()) return;
    StoredRegisters regs;
    for (std::size_t i = 0; i < modules_.size(); ++i)
        regs[i] = modules_[i].registers();
    std::string error;
    saveStateFile(stateFile_, regs, error);
    if (!error.empty() && error != stateError_ && stateErrorReport_) stateErrorReport_(error);
    stateError_ = error;
}

Reply Simulator::executeOn(std::size_t i, const Request& rq) {
    Module& m = modules_[i];
    if (const auto failure = faults_.commandFault(rq)) {
        Reply r;
        r.result = *failure;
        r.status = static_cast<std::uint8_t>(m.status() & 0xFF);
        return r;
    }
    Reply r = m.execute(rq, clock_->nowMs());
    if (r.result != zrbus::kOk) return r;
    if (rq.command == Prikaz::CtiRegistr) {
        if (const auto v = faults_.registerFault(i, rq.data[1])) r.answer[2] = *v;
    } else if (rq.command == Prikaz::ZapisRegistr) {
        saveState();
    }
    return r;
}

Outcome Simulator::transact(const Request& rq, std::uint32_t lineBaud) {
    std::lock_guard lock(mutex_);
    ++requests_;
    advance();
    Outcome out;
    for (std::size_t i = 0; i < modules_.size(); ++i) {
        if (silent_[rq.address] || !modules_[i].answers(rq.address, lineBaud)) continue;
        // Every module at the address carries the command out and answers.
        const Reply r = executeOn(i, rq);
        (out.reply ? out.overlapping : out.reply) = r;
    }
    if (!out.reply) return out;
    out.delivery = faults_.nextDelivery();
    if (out.overlapping) return out; // damaged on the line: no answer given
    if (!out.delivery.lost) ++answers_;
    return out;
}

void Simulator::setSilent(std::uint8_t address, bool silent) {
    std::lock_guard lock(mutex_);
    silent_[address] = silent;
}

bool Simulator::silent(std::uint8_t address) const {
    std::lock_guard lock(mutex_);
    return silent_[address];
}

std::size_t Simulator::moduleCount() const {
    std::lock_guard lock(mutex_);
    return modules_.size();
}

std::optional<ModuleView> Simulator::view(std::size_t i) const {
    std::lock_guard lock(mutex_);
    if (i >= modules_.size()) return std::nullopt;
    advance();
    const Module& m = modules_[i];
    ModuleView v;
    v.index = i;
    v.address = m.address();
    v.baudRate = m.baudRate();
    v.identity = m.identity();
    v.registers = m.registers();
    v.inputPins = m.inputPins();
    v.inputsRead = m.inputsRead();
    v.outputRegister = m.outputRegister();
    v.outputPins = m.outputPins();
    v.status = m.status();
    v.supplyOk = m.supplyOk();
    v.loopback = m.loopback();
    v.stuckMask = m.stuckMask();
    v.stuckLevels = m.stuckLevels();
    v.relayOn = m.watchdog().relayOn();
    v.watchdogLeft = m.watchdog().left();
    v.relayOffLeft = m.watchdog().relayOffLeft();
    const auto& r = m.registers();
    v.restartPending = r[Registr::Adresa] != m.address() ||
                       (r[Registr::Rychlost] < Sbernice::RychlostiBd.size() &&
                        Sbernice::RychlostiBd[r[Registr::Rychlost]] != m.baudRate());
    return v;
}

std::optional<std::size_t> Simulator::findByAddress(std::uint8_t address) const {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < modules_.size(); ++i)
        if (modules_[i].address() == address) return i;
    return std::nullopt;
}

bool Simulator::setInputPins(std::size_t i, std::uint32_t pins) {
    return onModule(i, [&](Module& m) { m.setInputPins(pins); });
}

bool Simulator::setInputPattern(std::size_t i, InputPattern p, std::uint32_t periodMs) {
    return onModule(i, [&](Module& m) { m.setInputPattern(p, periodMs, clock_->nowMs()); });
}

bool Simulator::setStuck(std::size_t i, int pin, std::optional<bool> level) {
    return onModule(i, [&](Module& m) { m.setStuck(pin, level); });
}

bool Simulator::setLoopback(std::size_t i, bool on) {
    return onModule(i, [&](Module& m) { m.setLoopback(on); });
}

bool Simulator::setSupplyOk(std::size_t i, bool ok) {
    return onModule(i, [&](Module& m) { m.setSupplyOk(ok); });
}

bool Simulator::restart(std::size_t i) {
    return onModule(i, [&](Module& m) { m.restart(clock_->nowMs()); });
}

void Simulator::restartAll() {
    std::lock_guard lock(mutex_);
    advance();
    for (Module& m : modules_)
        m.restart(clock_->nowMs());
}

bool Simulator::factoryReset(std::size_t i) {
    return onModule(i, [&](Module& m) {
        m.loadRegisters(Module::factoryRegisters(setups_[i].address, setups_[i].baudIndex));
        saveState();
    });
}

void Simulator::addFault(const LineFaultRule& r) {
    std::lock_guard lock(mutex_);
    faults_.add(r);
}

void Simulator::addFault(const CommandFaultRule& r) {
    std::lock_guard lock(mutex_);
    faults_.add(r);
}

void Simulator::addFault(const RegisterFaultRule& r) {
    std::lock_guard lock(mutex_);
    faults_.add(r);
}

void Simulator::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

std::vector<std::string> Simulator::faults() const {
    std::lock_guard lock(mutex_);
    return faults_.describe();
}

std::uint64_t Simulator::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::uint64_t Simulator::answerCount() const {
    std::lock_guard lock(mutex_);
    return answers_;
}

} // namespace zrsim
