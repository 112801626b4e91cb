// The operating-system part of the driver configuration: where the library
// lies, and which USB serial converters exist.
#include "devconfig.h"

#include <algorithm>
#include <charconv>
#include <dirent.h>
#include <dlfcn.h>
#include <string_view>
#include <utility>

namespace zrbus {

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
