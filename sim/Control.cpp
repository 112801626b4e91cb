#include "Control.h"

#include "Line.h"
#include "Prikazy.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace zrsim {

namespace {

const std::string Ok = "ok\n";

std::string error(const std::string& what) {
    return "error: " + what + "\n";
}

std::string hex32(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v));
    return buf;
}

std::vector<std::string> split(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// "next N" or "share P" (P a fraction 0..1 or a per cent value "25%").
bool parseHow(const std::vector<std::string>& a, std::size_t at, LineFaultRule& r) {
    if (a.size() != at + 2) return false;
    if (a[at] == "next") {
        unsigned long long n = 0;
        if (!parseNumber(a[at + 1], 1000000, n) || n == 0) return false;
        r.count = static_cast<std::uint32_t>(n);
        return true;
    }
    if (a[at] != "share") return false;
    std::string t = a[at + 1];
    const bool percent = !t.empty() && t.back() == '%';
    if (percent) t.pop_back();
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (t.empty() || *end != '\0') return false;
    r.count = 0;
    r.share = percent ? v / 100.0 : v;
    return r.share >= 0.0 && r.share <= 1.0;
}

} // namespace

bool parseNumber(const std::string& text, unsigned long long max, unsigned long long& out) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 16) return false;
    for (char c : digits)
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(c))
                  : std::isdigit(static_cast<unsigned char>(c))))
            return false;
    out = std::stoull(digits, nullptr, hex ? 16 : 10);
    return out <= max;
}

struct Control::Entry {
    const char* name;
    std::string (Control::*run)(const Args&);
};

std::string Control::help() {
    return "commands:\n"
           "  show [M]                         state of all modules or of module M\n"
           "  inputs M PINS                    set the input pins of module M (e.g. 0x0000FFFF)\n"
           "  pattern M off|walk|count [MS]    move the input pins by themselves, a step per MS\n"
           "  supply M on|off                  the 24 V I/O supply of module M\n"
           "  stuck M PIN 0|1|off              input pin PIN (0-31) of module M held at a level\n"
           "  restart [M]                      power-cycle module M, or every module\n"
           "  silent ADDRESS on|off            the modules at bus ADDRESS give no answer\n"
           "  factory M                        factory registers for module M (at its restart)\n"
           "  converter restart                power-cycle the LAN converter: its line back at\n"
           "                                   " +
           std::to_string(LanConverter::kDefaultBaud) +
           " Bd, answers on their way lost\n"
           "  fault lose|corrupt|duplicate|mismatch next N|share P\n"
           "  fault delay MS next N|share P    line faults for the next N answers or a share\n"
           "                                   P (0..1 or 25%) of them\n"
           "  fault command CODE[/PAR] RESULT [N]  the command fails with RESULT (N times)\n"
           "  fault register REG VALUE [M]     reading REG answers VALUE (module M, or all)\n"
           "  fault clear                      remove every fault\n"
           "  faults                           list the faults\n"
           "  help                             this text\n"
           "  quit                             end the simulator\n"
           "M is the module's index (0 = first --module), not its bus address; silent takes\n"
           "the bus address.\n";
}

std::string Control::execute(const std::string& line, bool& quit) {
    static const Entry table[] = {
        {"show", &Control::show},           {"inputs", &Control::inputs},
        {"pattern", &Control::pattern},     {"supply", &Control::supply},
        {"restart", &Control::restart},     {"factory", &Control::factory},
        {"fault", &Control::fault},         {"stuck", &Control::stuck},
        {"converter", &Control::converter}, {"silent", &Control::silent},
    };
    const Args a = split(line);
    quit = false;
    if (a.empty()) return "";
    if (a[0] == "quit" || a[0] == "exit") {
        quit = true;
        return "bye\n";
    }
    if (a[0] == "help") return help();
    if (a[0] == "faults") return fault({"fault", "list"});
    for (const Entry& e : table)
        if (a[0] == e.name) return (this->*(e.run))(a);
    return error("unknown command '" + a[0] + "' (try help)");
}

std::string Control::input(std::string_view bytes, bool& quit) {
    std::string replies;
    quit = false;
    while (!bytes.empty() && !quit) {
        const auto nl = bytes.find('\n');
        const std::string_view part = bytes.substr(0, nl);
        bytes.remove_prefix(nl == std::string_view::npos ? bytes.size() : nl + 1);
        overlong_ = overlong_ || partial_.size() + part.size() > kMaxLineLength;
        if (overlong_)
            partial_.clear();
        else
            partial_.append(part);
        if (nl == std::string_view::npos) break;
        replies += overlong_ ? error("line too long (more than " + std::to_string(kMaxLineLength) +
                                     " characters), not carried out")
                             : execute(partial_, quit);
        partial_.clear();
        overlong_ = false;
    }
    return replies;
}

bool Control::module(const std::string& text, std::size_t& out) const {
    unsigned long long v = 0;
    if (!parseNumber(text, 255, v) || v >= sim_.moduleCount()) return false;
    out = static_cast<std::size_t>(v);
    return true;
}

std::string Control::showModule(std::size_t i) {
    const auto v = sim_.view(i);
    if (!v) return "";
    std::ostringstream s;
    const auto& r = v->registers;
    s << "module " << i << ": address " << int{v->address} << ", " << v->baudRate << " Bd, \""
      << fitText(v->identity.name, 8) << "\" v." << fitText(v->identity.version, 4)
      << (v->restartPending ? ", new address/rate at restart" : "")
      << (sim_.silent(v->address) ? ", silent" : "") << "\n"
      << "  inputs pins " << hex32(v->inputPins) << " read " << hex32(v->inputsRead)
      << "; outputs register " << hex32(v->outputRegister) << " pins " << hex32(v->outputPins)
      << "\n  status " << hex32(v->status) << "; supply " << (v->supplyOk ? "ok" : "missing")
      << "; watchdog " << (r[1] ? "active" : "off") << ", left " << v->watchdogLeft << " s, relay "
      << (v->relayOn ? "on" : "off (" + std::to_string(v->relayOffLeft) + " s)");
    if (v->loopback) s << "; outputs wired to inputs";
    if (v->stuckMask != 0)
        s << "; stuck pins " << hex32(v->stuckMask) << " at " << hex32(v->stuckLevels);
    s << "\n  registers";
    for (int reg = 0; reg < Module::kRegisterCount; ++reg)
        if (Registr::Existuje(reg)) s << ' ' << reg << '=' << int{r[static_cast<std::size_t>(reg)]};
    s << "\n";
    return s.str();
}

std::string Control::show(const Args& a) {
    std::size_t m = 0;
    if (a.size() == 2 && !module(a[1], m)) return error("no module " + a[1]);
    if (a.size() > 2) return error("usage: show [M]");
    std::string out;
    if (const std::string e = sim_.stateError(); !e.empty()) out += "state file: " + e + "\n";
    if (lan_) out += "LAN line " + std::to_string(lan_->lineBaud()) + " Bd\n";
    if (a.size() == 2) return out + showModule(m);
    for (std::size_t i = 0; i < sim_.moduleCount(); ++i)
        out += showModule(i);
    return out;
}

std::string Control::inputs(const Args& a) {
    std::size_t m = 0;
    unsigned long long pins = 0;
    if (a.size() != 3 || !module(a[1], m) || !parseNumber(a[2], 0xFFFFFFFFull, pins))
        return error("usage: inputs M PINS");
    sim_.setInputPins(m, static_cast<std::uint32_t>(pins));
    return Ok;
}

std::string Control::pattern(const Args& a) {
    std::size_t m = 0;
    unsigned long long period = 500;
    const bool shape = a.size() == 3 || a.size() == 4;
    if (!shape || !module(a[1], m) || (a.size() == 4 && !parseNumber(a[3], 3600000, period)) ||
        period == 0)
        return error("usage: pattern M off|walk|count [MS]");
    const InputPattern p = a[2] == "walk"    ? InputPattern::Walk
                           : a[2] == "count" ? InputPattern::Count
                                             : InputPattern::Off;
    if (p == InputPattern::Off && a[2] != "off")
        return error("usage: pattern M off|walk|count [MS]");
    sim_.setInputPattern(m, p, static_cast<std::uint32_t>(period));
    return Ok;
}

std::string Control::supply(const Args& a) {
    std::size_t m = 0;
    if (a.size() != 3 || !module(a[1], m) || (a[2] != "on" && a[2] != "off"))
        return error("usage: supply M on|off");
    sim_.setSupplyOk(m, a[2] == "on");
    return Ok;
}

std::string Control::stuck(const Args& a) {
    std::size_t m = 0;
    unsigned long long pin = 0;
    const bool level = a.size() == 4 && (a[3] == "0" || a[3] == "1" || a[3] == "off");
    if (!level || !module(a[1], m) || !parseNumber(a[2], 31, pin))
        return error("usage: stuck M PIN 0|1|off");
    sim_.setStuck(m, static_cast<int>(pin),
                  a[3] == "off" ? std::nullopt : std::optional<bool>(a[3] == "1"));
    return Ok;
}

std::string Control::silent(const Args& a) {
    unsigned long long address = 0;
    if (a.size() != 3 || !parseNumber(a[1], 255, address) || (a[2] != "on" && a[2] != "off"))
        return error("usage: silent ADDRESS on|off");
    sim_.setSilent(static_cast<std::uint8_t>(address), a[2] == "on");
    return Ok;
}

std::string Control::restart(const Args& a) {
    std::size_t m = 0;
    if (a.size() == 1) {
        sim_.restartAll();
        return Ok;
    }
    if (a.size() != 2 || !module(a[1], m)) return error("usage: restart [M]");
    sim_.restart(m);
    return Ok;
}

std::string Control::converter(const Args& a) {
    if (a.size() != 2 || a[1] != "restart") return error("usage: converter restart");
    if (lan_ == nullptr) return error("no LAN converter");
    lan_->restart();
    return Ok;
}

std::string Control::factory(const Args& a) {
    std::size_t m = 0;
    if (a.size() != 2 || !module(a[1], m)) return error("usage: factory M");
    sim_.factoryReset(m);
    const std::string e = sim_.stateError();
    return e.empty() ? Ok : error(e);
}

std::string Control::fault(const Args& a) {
    if (a.size() < 2) return error("usage: fault KIND ... (try help)");
    if (a[1] == "clear") {
        sim_.clearFaults();
        return Ok;
    }
    if (a[1] == "list") {
        std::string out;
        for (const std::string& f : sim_.faults())
            out += f + "\n";
        return out.empty() ? "no faults\n" : out;
    }
    if (a[1] == "command") return commandFault(a);
    if (a[1] == "register") return registerFault(a);
    return lineFault(a);
}

std::string Control::lineFault(const Args& a) {
    const auto kind = lineFaultFromName(a[1]);
    if (!kind) return error("unknown fault '" + a[1] + "' (try help)");
    LineFaultRule r;
    r.kind = *kind;
    std::size_t at = 2;
    if (r.kind == LineFault::Delay) {
        unsigned long long ms = 0;
        if (a.size() < 3 || !parseNumber(a[2], 600000, ms))
            return error("usage: fault delay MS next N|share P");
        r.delayMs = static_cast<std::uint32_t>(ms);
        at = 3;
    }
    if (!parseHow(a, at, r))
        return error("usage: fault " + a[1] + (at == 3 ? " MS" : "") + " next N|share P");
    sim_.addFault(r);
    return Ok;
}

std::string Control::commandFault(const Args& a) {
    const std::string usage = "usage: fault command CODE[/PAR] RESULT [N]";
    if (a.size() != 4 && a.size() != 5) return error(usage);
    CommandFaultRule r;
    const auto slash = a[2].find('/');
    unsigned long long code = 0, par = 0, result = 0, n = 0;
    if (!parseNumber(a[2].substr(0, slash), 255, code) || !parseNumber(a[3], 255, result) ||
        result == 0 || (a.size() == 5 && !parseNumber(a[4], 1000000, n)))
        return error(usage);
    if (slash != std::string::npos) {
        if (!parseNumber(a[2].substr(slash + 1), 255, par)) return error(usage);
        r.parameter = static_cast<std::uint8_t>(par);
    }
    r.command = static_cast<std::uint8_t>(code);
    r.result = static_cast<std::uint8_t>(result);
    r.count = static_cast<std::uint32_t>(n);
    sim_.addFault(r);
    return Ok;
}

std::string Control::registerFault(const Args& a) {
    const std::string usage = "usage: fault register REG VALUE [M]";
    unsigned long long reg = 0, value = 0;
    std::size_t m = 0;
    if ((a.size() != 4 && a.size() != 5) || !parseNumber(a[2], 255, reg) ||
        !parseNumber(a[3], 255, value) || (a.size() == 5 && !module(a[4], m)))
        return error(usage);
    RegisterFaultRule r;
    r.reg = static_cast<std::uint8_t>(reg);
    r.value = static_cast<std::uint8_t>(value);
    if (a.size() == 5) r.module = m;
    sim_.addFault(r);
    return Ok;
}

} // namespace zrsim
