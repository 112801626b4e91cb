#include "StateFile.h"

#include "Prikazy.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zrsim {

namespace {

bool parseNumber(const std::string& s, unsigned long max, unsigned long& out) {
    if (s.empty() || s.size() > 10) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    out = std::stoul(s);
    return out <= max;
}

// "<register>=<value>" into the registers.
bool parseAssignment(const std::string& item, Module::Registers& regs) {
    const auto eq = item.find('=');
    if (eq == std::string::npos) return false;
    unsigned long reg = 0, value = 0;
    if (!parseNumber(item.substr(0, eq), Module::RegisterCount - 1, reg) ||
        !parseNumber(item.substr(eq + 1), 255, value) || !Registr::Existuje(static_cast<int>(reg)))
        return false;
    regs[reg] = static_cast<std::uint8_t>(value);
    return true;
}

bool parseLine(const std::string& line, StoredRegisters& out) {
    std::istringstream in(line);
    std::string word, index;
    in >> word >> index;
    unsigned long i = 0;
    if (word != "module" || !parseNumber(index, 255, i)) return false;
    Module::Registers regs = Module::factoryRegisters(1, 4);
    for (std::string item; in >> item;)
        if (!parseAssignment(item, regs)) return false;
    out[i] = regs;
    return true;
}

} // namespace

bool loadStateFile(const std::string& path, StoredRegisters& out, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return true;
    std::ifstream in(path);
    if (!in) {
        error = "cannot read state file " + path;
        return false;
    }
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        if (!parseLine(line, out)) {
            error = path + ":" + std::to_string(number) + ": not a module line";
            return false;
        }
    }
    return true;
}

bool saveStateFile(const std::string& path, const StoredRegisters& regs, std::string& error) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << "# zr464-sim: configuration registers of the simulated modules\n";
        for (const auto& [index, r] : regs) {
            out << "module " << index;
            for (int reg = 0; reg < Module::RegisterCount; ++reg)
                if (Registr::Existuje(reg)) out << ' ' << reg << '=' << int{r[reg]};
            out << '\n';
        }
        out.flush();
        if (!out) {
            error = "cannot write state file " + temp;
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace state file " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace zrsim
