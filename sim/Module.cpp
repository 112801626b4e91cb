#include "Module.h"

#include "Prikazy.h"

#include <algorithm>

namespace zrsim {

namespace {

constexpr std::uint8_t lowByte(std::uint32_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

std::array<std::uint8_t, 4> bytesOf(std::uint32_t v) {
    return {lowByte(v), lowByte(v >> 8), lowByte(v >> 16), lowByte(v >> 24)};
}

std::uint32_t wordOf(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    return std::uint32_t{b0} | std::uint32_t{b1} << 8 | std::uint32_t{b2} << 16 |
           std::uint32_t{b3} << 24;
}

constexpr std::uint8_t kDefaultBaudIndex = 4;

} // namespace

std::string fitText(const std::string& s, std::size_t n) {
    std::string t = s.substr(0, n);
    t.resize(n, ' ');
    return t;
}

struct Module::Command {
    std::uint8_t code;
    int parameter; // -1: every parameter
    Reply (Module::*run)(const Request&);
};

const Module::Command* Module::findCommand(std::uint8_t code, std::uint8_t parameter, bool* known) {
    using namespace Prikaz;
    static const Command table[] = {
        {CtiVstupy, ParDIO, &Module::readInputs},
        {ZapisVystupy, ParDIO, &Module::writeOutputs},
        {CtiStav, ParStatusRegistr, &Module::readStatus},
        {CtiStav, ParCasWatchdog, &Module::readWatchdog},
        {ZapisStav, ParStatusRegistr, &Module::clearStatus},
        {ZapisStav, ParCasWatchdog, &Module::writeWatchdog},
        {CtiRegistr, ParRegistr, &Module::readRegister},
        {ZapisRegistr, ParRegistr, &Module::writeRegister},
        {Identifikace, -1, &Module::identify},
    };
    *known = false;
    for (const Command& c : table) {
        if (c.code != code) continue;
        *known = true;
        if (c.parameter < 0 || c.parameter == parameter) return &c;
    }
    return nullptr;
}

Module::Registers Module::factoryRegisters(std::uint8_t address, std::uint8_t baudIndex) {
    Registers r{};
    r[Registr::InicializacniCasL] = 60;
    r[Registr::AktivaceCasovace] = 1;
    r[Registr::DobaVypnutiReleL] = 10;
    for (int n = 0; n < 4; ++n) {
        r[Registr::NegaceDIN(n)] = 0xFF;
        r[Registr::NegaceDOUT(n)] = 0xFF;
    }
    r[Registr::Rychlost] = baudIndex;
    r[Registr::Adresa] = address;
    return r;
}

Module::Module(const ModuleSetup& setup, std::uint64_t nowMs)
    : identity_(setup.identity), registers_(factoryRegisters(setup.address, setup.baudIndex)) {
    restart(nowMs);
}

std::uint32_t Module::mask(int firstRegister) const {
    auto r = [&](int n) {
        return registers_[static_cast<std::size_t>(firstRegister) +
                          3 * static_cast<std::size_t>(n)];
    };
    return wordOf(r(0), r(1), r(2), r(3));
}

WatchdogSettings Module::watchdogSettings() const {
    WatchdogSettings s;
    s.initTime = static_cast<std::uint16_t>(registers_[Registr::InicializacniCasL] |
                                            registers_[Registr::InicializacniCasH] << 8);
    s.relayOffTime = static_cast<std::uint16_t>(registers_[Registr::DobaVypnutiReleL] |
                                                registers_[Registr::DobaVypnutiReleH] << 8);
    s.active = registers_[Registr::AktivaceCasovace] != 0;
    return s;
}

std::uint32_t Module::baudRate() const {
    return Sbernice::RychlostiBd[baudIndex_];
}

bool Module::answers(std::uint8_t addr, std::uint32_t baud) const {
    return addr == address_ && baud == baudRate();
}

void Module::restart(std::uint64_t nowMs) {
    nowMs_ = std::max(nowMs_, nowMs);
    address_ = registers_[Registr::Adresa];
    baudIndex_ = registers_[Registr::Rychlost];
    if (baudIndex_ >= Sbernice::RychlostiBd.size()) baudIndex_ = kDefaultBaudIndex;
    outputs_ = mask(Registr::PocatecniStavDOUT(0));
    watchdog_.start(watchdogSettings());
    status_ = StatusBit::PWR | (supplyOk_ ? 0 : StatusBit::ERR24);
    nextSecondMs_ = nowMs_ + 1000;
}

void Module::secondPassed() {
    if (watchdog_.tick(watchdogSettings())) status_ |= StatusBit::RST;
}

void Module::advanceTo(std::uint64_t nowMs) {
    if (nowMs <= nowMs_) return;
    for (; nextSecondMs_ <= nowMs; nextSecondMs_ += 1000)
        secondPassed();
    nowMs_ = nowMs;
}

void Module::setInputPins(std::uint32_t pins) {
    inputPins_ = pins;
    pattern_ = InputPattern::Off;
}

void Module::setInputPattern(InputPattern p, std::uint32_t periodMs, std::uint64_t nowMs) {
    advanceTo(nowMs);
    pattern_ = p;
    patternPeriodMs_ = periodMs > 0 ? periodMs : 1;
    patternStartMs_ = nowMs_;
}

void Module::setStuck(int pin, std::optional<bool> level) {
    const std::uint32_t bit = 1u << pin;
    stuckMask_ = level ? stuckMask_ | bit : stuckMask_ & ~bit;
    stuckLevels_ = level && *level ? stuckLevels_ | bit : stuckLevels_ & ~bit;
}

std::uint32_t Module::inputPins() const {
    if (!supplyOk_) return 0;
    const std::uint32_t driven = loopback_ ? outputPins() : drivenInputPins();
    return (driven & ~stuckMask_) | (stuckLevels_ & stuckMask_);
}

std::uint32_t Module::drivenInputPins() const {
    const std::uint64_t steps = (nowMs_ - patternStartMs_) / patternPeriodMs_;
    switch (pattern_) {
    case InputPattern::Walk:
        return 1u << (steps % 32);
    case InputPattern::Count:
        return static_cast<std::uint32_t>(steps);
    case InputPattern::Off:
        break;
    }
    return inputPins_;
}

std::uint32_t Module::outputPins() const {
    return supplyOk_ ? outputs_ ^ mask(Registr::NegaceDOUT(0)) : 0;
}

void Module::setSupplyOk(bool ok) {
    supplyOk_ = ok;
    if (!ok) status_ |= StatusBit::ERR24;
}

Reply Module::answer(std::array<std::uint8_t, 4> a) const {
    Reply r;
    r.status = lowByte(status_);
    r.answer = a;
    return r;
}

Reply Module::refuse(std::uint8_t result) {
    status_ |= StatusBit::FN;
    Reply r = answer();
    r.result = result;
    return r;
}

Reply Module::execute(const Request& rq, std::uint64_t nowMs) {
    advanceTo(nowMs);
    bool known = false;
    const Command* c = findCommand(rq.command, rq.parameter, &known);
    if (c == nullptr)
        return refuse(known ? zrbus::kModuleBadParameter : zrbus::kModuleUnknownCommand);
    return (this->*(c->run))(rq);
}

Reply Module::readInputs(const Request&) {
    return answer(bytesOf(inputsRead()));
}

Reply Module::writeOutputs(const Request& rq) {
    outputs_ = wordOf(rq.data[1], rq.data[2], rq.data[3], rq.data[4]);
    return answer();
}

Reply Module::readStatus(const Request&) {
    return answer(bytesOf(status_));
}

Reply Module::clearStatus(const Request&) {
    status_ = supplyOk_ ? 0 : StatusBit::ERR24;
    return answer();
}

Reply Module::readWatchdog(const Request&) {
    const std::uint16_t left = watchdog_.left();
    return answer({lowByte(left), lowByte(left >> 8), 0, 0});
}

Reply Module::writeWatchdog(const Request& rq) {
    watchdog_.setLeft(static_cast<std::uint16_t>(rq.data[1] | rq.data[2] << 8));
    return answer();
}

Reply Module::readRegister(const Request& rq) {
    const std::uint8_t reg = rq.data[1];
    if (rq.data[2] != reg) return refuse(zrbus::kModuleMismatch);
    if (!Registr::Existuje(reg)) return refuse(zrbus::kModuleUnknownRegister);
    return answer({reg, reg, registers_[reg], 0});
}

Reply Module::writeRegister(const Request& rq) {
    const std::uint8_t reg = rq.data[1];
    const std::uint8_t value = rq.data[3];
    if (rq.data[2] != reg || rq.data[4] != value) return refuse(zrbus::kModuleMismatch);
    if (!Registr::Existuje(reg)) return refuse(zrbus::kModuleUnknownRegister);
    if (reg == Registr::Rychlost && value >= Sbernice::RychlostiBd.size())
        return refuse(zrbus::kModuleBadValue);
    const bool wasActive = watchdogSettings().active;
    registers_[reg] = value;
    status_ |= StatusBit::PRF;
    if (watchdogSettings().active != wasActive) watchdog_.activationChanged(watchdogSettings());
    return answer();
}

Reply Module::identify(const Request& rq) {
    // Item -> which text, from which character.
    struct Item {
        std::uint8_t parameter;
        std::string Identity::*text;
        std::size_t length;
        std::size_t from;
    };
    static const Item items[] = {
        {Prikaz::IdNazev1, &Identity::name, 8, 0},    {Prikaz::IdNazev2, &Identity::name, 8, 4},
        {Prikaz::IdVerze, &Identity::version, 4, 0},  {Prikaz::IdDoplnek1, &Identity::extra, 8, 0},
        {Prikaz::IdDoplnek2, &Identity::extra, 8, 4},
    };
    for (const Item& it : items) {
        if (it.parameter != rq.parameter) continue;
        const std::string chars = fitText(identity_.*(it.text), it.length).substr(it.from, 4);
        std::array<std::uint8_t, 4> a{};
        for (std::size_t i = 0; i < 4; ++i)
            a[i] = static_cast<std::uint8_t>(chars[i]);
        return answer(a);
    }
    return refuse(zrbus::kModuleBadParameter);
}

} // namespace zrsim
