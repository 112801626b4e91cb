#include "DevConfig.h"

#include "zr464_build.h"

#include <cctype>
#include <charconv>
#include <sstream>

namespace zrbus {

namespace {

constexpr std::uint32_t kMaxComPort = 255;
constexpr std::uint32_t kMaxIsaBase = 0xFFFF;

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

// Upper case, blanks removed.
std::string squeeze(std::string_view s) {
    std::string out;
    for (const char c : s)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return out;
}

std::optional<std::uint32_t> number(std::string_view s, int base) {
    std::uint32_t v = 0;
    if (s.empty()) return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// "300H" and "0X300" are hexadecimal, plain digits decimal.
std::optional<std::uint32_t> isaAddress(std::string_view s) {
    if (s.size() > 1 && s.back() == 'H') return number(s.substr(0, s.size() - 1), 16);
    if (s.size() > 2 && s.substr(0, 2) == "0X") return number(s.substr(2), 16);
    return number(s, 10);
}

// Drops a comment: '#' at the start of the line, or after a blank.
std::string_view withoutComment(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1]))))
            return line.substr(0, i);
    return line;
}

std::string resolve(std::string_view path, const std::string& directory) {
    if (path.front() == '/' || directory.empty()) return std::string(path);
    return directory + "/" + std::string(path);
}

} // namespace

std::string hexAddress(std::uint32_t base) {
    std::ostringstream s;
    s << std::hex << std::uppercase << base << 'h';
    return s.str();
}

std::string comKey(std::uint32_t port) {
    return "COM" + std::to_string(port);
}

std::string isaKey(std::uint32_t base) {
    return "KC-683 " + hexAddress(base);
}

std::optional<std::string> normalKey(std::string_view name) {
    const std::string s = squeeze(name);
    if (s == "KC-1683") return pciKey();
    if (s == "KU-1683") return usbKey();
    if (s.rfind("COM", 0) == 0) {
        const auto n = number(std::string_view(s).substr(3), 10);
        if (n && *n >= 1 && *n <= kMaxComPort) return comKey(*n);
        return std::nullopt;
    }
    if (s.rfind("KC-683", 0) == 0) {
        const auto a = isaAddress(std::string_view(s).substr(6));
        if (a && *a <= kMaxIsaBase) return isaKey(*a);
    }
    return std::nullopt;
}

DriverConfig DriverConfig::parse(std::string_view text, const std::string& directory) {
    DriverConfig config;
    int lineNo = 0;
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        const std::string_view raw = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
        ++lineNo;
        const std::string_view line = trim(withoutComment(raw));
        if (line.empty()) continue;
        const std::size_t eq = line.find('=');
        const auto key =
            eq == std::string_view::npos ? std::nullopt : normalKey(line.substr(0, eq));
        const std::string_view path = eq == std::string_view::npos ? "" : trim(line.substr(eq + 1));
        if (!key || path.empty()) {
            config.skipped_.push_back(lineNo);
            continue;
        }
        config.devices_[*key] = resolve(path, directory);
    }
    return config;
}

std::string driverConfigPathFor(const std::string& libraryDirectory) {
    constexpr std::string_view installed = "/" ZR464_PRIVATE_LIBDIR;
    const std::string_view dir = libraryDirectory;
    const bool inPrivateFolder =
        dir.size() >= installed.size() && dir.substr(dir.size() - installed.size()) == installed;
    return (inPrivateFolder ? std::string(ZR464_SYSCONFDIR) : libraryDirectory) + "/" +
           kDriverConfigName;
}

DriverConfig DriverConfig::load(const std::string& path) {
    std::string text, why;
    if (readRegularFile(path, kMaxDriverConfigBytes, text, why) != FileRead::Done) {
        DriverConfig none;
        none.failure_ = why;
        return none;
    }
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash);
    return parse(text, dir.empty() && slash == 0 ? "/" : dir);
}

std::optional<std::string> DriverConfig::device(const std::string& key) const {
    const auto it = devices_.find(key);
    if (it == devices_.end()) return std::nullopt;
    return it->second;
}

} // namespace zrbus
