#include "Options.h"

#include "Control.h"

#include <CLI/CLI.hpp>
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

namespace {

constexpr const char* kWithValue[] = {"--port",    "--bind", "--module",  "--state",
                                      "--pattern", "--seed", "--pty-link"};

// The option a CLI11 message is about ("--port: 1 required TEXT missing").
std::string optionOf(const std::string& message) {
    for (const char* name : kWithValue)
        if (message.rfind(std::string(name) + ":", 0) == 0) return name;
    return message;
}

void addFlags(CLI::App& app, ProgramOptions& out) {
    app.set_help_flag();
    app.add_flag("-h,--help", out.help);
    app.add_flag("--version", out.version);
    app.add_flag("--stdin-control", out.quitOnEof);
    app.add_flag("--loopback", out.sim.loopback);
    app.add_flag_callback("--pty", [&out] { out.pty = true; });
    app.add_flag_callback("--line-time", [&out] { out.pty = out.ptyConfig.lineTime = true; });
}

// Each value is taken as it comes, in the order given (--module repeats).
void addValues(CLI::App& app, ProgramOptions& out, std::vector<ModuleSetup>& modules,
               std::string& error) {
    for (const char* name : kWithValue) {
        const std::string opt = name;
        app.add_option(opt)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->each([opt, &out, &modules, &error](const std::string& value) {
                if (parseValue(opt, value, out, modules)) return;
                error = "bad value for " + opt + ": " + value;
                throw CLI::ValidationError(opt, value);
            });
    }
}

} // namespace

bool parseOptions(int argc, const char* const* argv, ProgramOptions& out, std::string& error) {
    std::vector<ModuleSetup> modules;
    CLI::App app;
    app.allow_extras();
    addFlags(app, out);
    addValues(app, out, modules, error);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ArgumentMismatch& e) {
        return (error = optionOf(e.what()) + " needs a value"), false;
    } catch (const CLI::ParseError& e) {
        if (error.empty()) error = e.what();
        return false;
    }
    if (!app.remaining().empty()) return (error = "unknown option " + app.remaining()[0]), false;
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
