#include "StateFile.h"

#include "Prikazy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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
    if (!parseNumber(item.substr(0, eq), Module::kRegisterCount - 1, reg) ||
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

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// The whole text of a regular file; a missing file reads as empty. Opened
// without blocking, so a FIFO or a device at the path cannot stall the
// start: anything but a regular file is refused, saying what it is.
bool readRegularFile(const std::string& path, std::string& text, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) return true; // nothing stored yet
    if (fd < 0) {
        error = "cannot read state file " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error =
            "cannot read state file " + path + ": not a regular file (" + kindOf(st.st_mode) + ")";
        ::close(fd);
        return false;
    }
    char buf[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    if (n < 0) error = "cannot read state file " + path + ": " + std::strerror(errno);
    ::close(fd);
    return n == 0;
}

// Creates `path` anew (an old file there is removed first) with `text`;
// false with errno set when that fails.
bool writeNewFile(const std::string& path, const std::string& text) {
    ::unlink(path.c_str());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (done != text.size()) {
        const int e = errno;
        ::close(fd);
        errno = e;
        return false;
    }
    return ::close(fd) == 0;
}

} // namespace

bool loadStateFile(const std::string& path, StoredRegisters& out, std::string& error) {
    std::string text;
    if (!readRegularFile(path, text, error)) return false;
    std::istringstream in(text);
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
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error =
            "cannot write state file " + path + ": not a regular file (" + kindOf(st.st_mode) + ")";
        return false;
    }
    std::ostringstream out;
    out << "# zr464-sim: configuration registers of the simulated modules\n";
    for (const auto& [index, r] : regs) {
        out << "module " << index;
        for (int reg = 0; reg < Module::kRegisterCount; ++reg)
            if (Registr::Existuje(reg)) out << ' ' << reg << '=' << int{r[reg]};
        out << '\n';
    }
    const std::string temp = path + ".tmp";
    if (!writeNewFile(temp, out.str())) {
        error = "cannot write state file " + temp + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace state file " + path + ": " + std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace zrsim
