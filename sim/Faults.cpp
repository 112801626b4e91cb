#include "Faults.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zrsim {

namespace {

const std::array<std::pair<LineFault, const char*>, 5> lineFaultNames = {{
    {LineFault::Lose, "lose"},
    {LineFault::Delay, "delay"},
    {LineFault::Corrupt, "corrupt"},
    {LineFault::Duplicate, "duplicate"},
    {LineFault::Mismatch, "mismatch"},
}};

void apply(LineFault kind, std::uint32_t delayMs, Delivery& d) {
    switch (kind) {
    case LineFault::Lose:
        d.lost = true;
        break;
    case LineFault::Delay:
        d.delayMs = std::max(d.delayMs, delayMs);
        break;
    case LineFault::Corrupt:
        d.corrupt = true;
        break;
    case LineFault::Duplicate:
        d.duplicate = true;
        break;
    case LineFault::Mismatch:
        d.mismatch = true;
        break;
    }
}

} // namespace

const char* lineFaultName(LineFault f) {
    for (const auto& [kind, name] : lineFaultNames)
        if (kind == f) return name;
    return "?";
}

std::optional<LineFault> lineFaultFromName(const std::string& name) {
    for (const auto& [kind, n] : lineFaultNames)
        if (name == n) return kind;
    return std::nullopt;
}

void FaultPlan::clear() {
    line_.clear();
    command_.clear();
    register_.clear();
}

bool FaultPlan::hits(LineFaultRule& r) {
    if (r.count > 0) {
        --r.count;
        return true;
    }
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < r.share;
}

Delivery FaultPlan::nextDelivery() {
    Delivery d;
    for (LineFaultRule& r : line_)
        if (hits(r)) apply(r.kind, r.delayMs, d);
    // Rules with a count that is used up are gone; share rules stay.
    std::erase_if(line_, [](const LineFaultRule& r) { return r.count == 0 && r.share <= 0.0; });
    return d;
}

std::optional<std::uint8_t> FaultPlan::commandFault(const Request& rq) {
    for (auto it = command_.begin(); it != command_.end(); ++it) {
        if (it->command != rq.command) continue;
        if (it->parameter && *it->parameter != rq.parameter) continue;
        const std::uint8_t result = it->result;
        if (it->count > 0 && --it->count == 0) command_.erase(it);
        return result;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> FaultPlan::registerFault(std::size_t module, std::uint8_t reg) const {
    for (const RegisterFaultRule& r : register_)
        if (r.reg == reg && (!r.module || *r.module == module)) return r.value;
    return std::nullopt;
}

std::vector<std::string> FaultPlan::describe() const {
    std::vector<std::string> out;
    for (const LineFaultRule& r : line_) {
        std::string s = std::string("line ") + lineFaultName(r.kind);
        if (r.kind == LineFault::Delay) s += " " + std::to_string(r.delayMs) + " ms";
        s += r.count > 0 ? ", next " + std::to_string(r.count)
                         : ", share " + std::to_string(r.share);
        out.push_back(s);
    }
    for (const CommandFaultRule& r : command_) {
        std::string s = "command " + std::to_string(r.command);
        if (r.parameter) s += "/" + std::to_string(*r.parameter);
        s += " fails with " + std::to_string(r.result);
        s += r.count > 0 ? ", next " + std::to_string(r.count) : ", until cleared";
        out.push_back(s);
    }
    for (const RegisterFaultRule& r : register_) {
        std::string s = "register " + std::to_string(r.reg) + " reads " + std::to_string(r.value);
        s += r.module ? " on module " + std::to_string(*r.module) : " on every module";
        out.push_back(s);
    }
    return out;
}

} // namespace zrsim
