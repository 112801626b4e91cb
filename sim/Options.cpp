#include "Options.h"

#include "Control.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace zrsim {

namespace {

std::vector<std::string> splitColons(const std::string& s) {
    std::vector<std::string> parts;
    std::istringstream in(s);
    for (std::string p; std::getline(in, p, ':');)
        parts.push_back(p);
    if (!s.empty() && s.back() == ':') parts.emplace_back();
    return parts;
}

bool parseBaud(const std::string& s, std::uint8_t& index) {
    unsigned long long bd = 0;
    if (!parseNumber(s, 1000000, bd)) return false;
    const auto it = std::find(Sbernice::RychlostiBd.begin(), Sbernice::RychlostiBd.end(), bd);
    if (it == Sbernice::RychlostiBd.end()) return false;
    index = static_cast<std::uint8_t>(it - Sbernice::RychlostiBd.begin());
    return true;
}

// ADDR[:BAUD[:VERSION[:NAME[:EXTRA]]]]
bool parseModule(const std::string& s, ModuleSetup& m) {
    const auto p = splitColons(s);
    unsigned long long addr = 0;
    if (p.empty() || p.size() > 5 || !parseNumber(p[0], 255, addr)) return false;
    m.address = static_cast<std::uint8_t>(addr);
    if (p.size() > 1 && !p[1].empty() && !parseBaud(p[1], m.baudIndex)) return false;
    if (p.size() > 2 && !p[2].empty()) m.identity.version = p[2];
    if (p.size() > 3 && !p[3].empty()) m.identity.name = p[3];
    if (p.size() > 4) m.identity.extra = p[4];
    return true;
}

bool parsePattern(const std::string& s, ProgramOptions& o) {
    const auto p = splitColons(s);
    if (p.empty() || p.size() > 2) return false;
    if (p[0] == "walk")
        o.pattern = InputPattern::Walk;
    else if (p[0] == "count")
        o.pattern = InputPattern::Count;
    else
        return false;
    unsigned long long ms = o.patternMs;
    if (p.size() == 2 && (!parseNumber(p[1], 3600000, ms) || ms == 0)) return false;
    o.patternMs = static_cast<std::uint32_t>(ms);
    return true;
}

bool parseValue(const std::string& opt, const std::string& v, ProgramOptions& o,
                std::vector<ModuleSetup>& modules) {
    unsigned long long n = 0;
    if (opt == "--port") {
        if (!parseNumber(v, 65535, n)) return false;
        o.udp.port = static_cast<std::uint16_t>(n);
        return true;
    }
    if (opt == "--bind") return !(o.udp.bindAddress = v).empty();
    if (opt == "--state") return !(o.sim.stateFile = v).empty();
    if (opt == "--pattern") return parsePattern(v, o);
    if (opt == "--pty-link") return o.pty = !(o.ptyConfig.linkPath = v).empty();
    if (opt == "--seed") {
        if (!parseNumber(v, 0xFFFFFFFFull, n)) return false;
        o.sim.seed = static_cast<std::uint32_t>(n);
        return true;
    }
    ModuleSetup m;
    if (opt != "--module" || !parseModule(v, m)) return false;
    modules.push_back(m);
    return true;
}

} // namespace

bool parseOptions(int argc, const char* const* argv, ProgramOptions& out, std::string& error) {
    std::vector<ModuleSetup> modules;
    static const char* const withValue[] = {"--port",    "--bind", "--module",  "--state",
                                            "--pattern", "--seed", "--pty-link"};
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--help" || opt == "-h") {
            out.help = true;
            continue;
        }
        if (opt == "--version") {
            out.version = true;
            continue;
        }
        if (opt == "--loopback") {
            out.sim.loopback = true;
            continue;
        }
        if (opt == "--stdin-control") {
            out.quitOnEof = true;
            continue;
        }
        if (opt == "--pty" || opt == "--line-time") {
            out.pty = true;
            out.ptyConfig.lineTime = out.ptyConfig.lineTime || opt == "--line-time";
            continue;
        }
        const bool known =
            std::find(std::begin(withValue), std::end(withValue), opt) != std::end(withValue);
        if (!known) return (error = "unknown option " + opt), false;
        if (i + 1 >= argc) return (error = opt + " needs a value"), false;
        const std::string value = argv[++i];
        if (!parseValue(opt, value, out, modules))
            return (error = "bad value for ").append(opt).append(": ").append(value), false;
    }
    if (!modules.empty()) out.sim.modules = modules;
    return true;
}

std::string usageText() {
    return "usage: zr464-sim [options]\n"
           "Plays one or more ZR-464 modules on one bus behind a LAN converter endpoint (UDP).\n"
           "\n"
           "  --port N          UDP port (default 5000; 0 = any free port)\n"
           "  --bind ADDR       IPv4 address to bind (default 127.0.0.1, loopback only)\n"
           "  --module SPEC     a module: ADDR[:BAUD[:VERSION[:NAME[:EXTRA]]]], e.g.\n"
           "                    1:9600:1.04 or 7:19200:1.01:ZR-464; repeat for more modules\n"
           "                    (default: one module, address 1, 9600 Bd, version 1.04)\n"
           "  --state FILE      keep the configuration registers in FILE across runs\n"
           "  --pattern P[:MS]  inputs move by themselves: walk or count, a step per MS\n"
           "                    (default 500 ms)\n"
           "  --seed N          seed for faults that hit a share of answers\n"
           "  --loopback        every module's output n wired to its input n (a test\n"
           "                    fixture): the input pins follow the output pins\n"
           "  --pty             also offer the bus on a pseudo-terminal for the serial\n"
           "                    libraries; prints \"zr464-sim pty PATH\" as second line\n"
           "  --pty-link PATH   --pty, and a symbolic link to the pseudo-terminal at PATH\n"
           "                    (replaces a symbolic link there, never another file)\n"
           "  --line-time       --pty, and answers come as late as on a real line at the\n"
           "                    rate the library set (10 bits per character)\n"
           "  --stdin-control   end when standard input ends (otherwise run until\n"
           "                    SIGINT or SIGTERM)\n"
           "  --version         the program's version\n"
           "  --help            this text\n"
           "\n"
           "At start it prints one line \"zr464-sim udp ADDR:PORT\" with the bound endpoint.\n"
           "Standard input takes control commands, one per line:\n\n" +
           Control::help();
}

} // namespace zrsim
