// The operating-system part of the driver configuration: where the library
// lies, and which USB serial converters exist.
#include "DevConfig.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace zrbus {

namespace {

constexpr const char* kNotRegular = "není to obyčejný soubor";

const char* reasonOfErrno(int err) {
    return err == EACCES || err == EPERM ? "přístup odepřen" : "soubor nelze číst";
}

// Reads all of fd, at most maxBytes; false on a read error or a longer file.
bool readAll(int fd, std::size_t maxBytes, std::string& text, std::string& why) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return true;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = reasonOfErrno(errno);
            return false;
        }
        if (text.size() + static_cast<std::size_t>(n) > maxBytes) {
            why = "soubor je příliš velký";
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace

FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text,
                         std::string& why) {
    text.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return FileRead::Missing;
        why = reasonOfErrno(errno);
        return FileRead::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        why = kNotRegular;
        return FileRead::Failed;
    }
    // O_NONBLOCK and the second check on the descriptor: the path may have
    // been replaced by a FIFO between the two calls.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = reasonOfErrno(errno);
        return FileRead::Failed;
    }
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!regular) why = kNotRegular;
    const bool ok = regular && readAll(fd, maxBytes, text, why);
    ::close(fd);
    return ok ? FileRead::Done : FileRead::Failed;
}

std::string moduleDirectory(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
    const std::string file = info.dli_fname;
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

std::string firstUsbSerialDevice(const std::string& devDirectory) {
    constexpr std::string_view prefix = "ttyUSB";
    DIR* dir = opendir(devDirectory.c_str());
    if (dir == nullptr) return {};
    std::vector<std::pair<unsigned, std::string>> found;
    while (const dirent* e = readdir(dir)) {
        const std::string_view name = e->d_name;
        if (name.substr(0, prefix.size()) != prefix || name.size() == prefix.size()) continue;
        unsigned n = 0;
        const auto digits = name.substr(prefix.size());
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (ec == std::errc{} && end == digits.data() + digits.size())
            found.emplace_back(n, std::string(name));
    }
    closedir(dir);
    if (found.empty()) return {};
    std::sort(found.begin(), found.end());
    return devDirectory + "/" + found.front().second;
}

} // namespace zrbus
