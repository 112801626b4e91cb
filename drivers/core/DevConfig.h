// The driver configuration file: which serial device each serial-line
// interface uses. One file, zr683-drivers.conf, in the directory of the
// driver libraries; docs/driver-config.md describes the format:
//
//   # comment
//   COM1 = /dev/pts/7
//   KC-683 300h = /dev/ttyS4
//   KC-1683 = /dev/ttyS5
//   KU-1683 = /dev/ttyUSB0
//
// Names are matched without regard to case or blanks; a relative device
// path is taken relative to the file's directory; a line that is not
// understood is skipped; of two lines for one interface the later counts.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zrbus {

constexpr const char* kDriverConfigName = "zr683-drivers.conf";

// Where a library lying in `libraryDirectory` finds its configuration: the
// file beside it, except for a library installed in the private folder
// (a directory ending in lib/<multiarch>/zr464), which reads
// /etc/zr464/zr683-drivers.conf.
std::string driverConfigPathFor(const std::string& libraryDirectory);

// The interfaces a line can name, in their normal form.
std::string comKey(std::uint32_t port); // "COM3"
std::string isaKey(std::uint32_t base); // "KC-683 300h"
inline std::string pciKey() {
    return "KC-1683";
}
inline std::string usbKey() {
    return "KU-1683";
}
// An ISA base address as the texts show it: "300h".
std::string hexAddress(std::uint32_t base);

// The normal form of a name as written in the file, or nothing when it names
// no interface ("com 3" -> "COM3", "kc-683 0x300" -> "KC-683 300h").
std::optional<std::string> normalKey(std::string_view name);

class DriverConfig {
public:
    // Parses the text of a file that lies in `directory` (for relative paths).
    static DriverConfig parse(std::string_view text, const std::string& directory);
    // Reads the file. A missing file gives an empty configuration; so does
    // one that cannot be read, with failure() saying why.
    static DriverConfig load(const std::string& path);

    // The device path configured for the interface key, if any.
    std::optional<std::string> device(const std::string& key) const;
    // Line numbers (from 1) that were skipped as not understood.
    const std::vector<int>& skippedLines() const { return skipped_; }
    // Why the file was there but could not be read (Czech, UTF-8); empty
    // when it was read or does not exist.
    const std::string& failure() const { return failure_; }

private:
    std::map<std::string, std::string> devices_;
    std::vector<int> skipped_;
    std::string failure_;
};

// The largest configuration file read; a longer one is refused.
constexpr std::size_t kMaxDriverConfigBytes = 1 << 20;

// Operating-system part (devconfig_posix.cpp).
enum class FileRead : std::uint8_t { Done, Missing, Failed };
// Reads a regular file of at most maxBytes into text. Anything else (a FIFO,
// whose open or read would wait for a writer, a device, a directory) is
// refused before it is opened, so the call never blocks. On Failed, why
// holds the reason in Czech.
FileRead readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text,
                         std::string& why);
// The directory of the shared library (or program) that contains `address`,
// e.g. of one of its own functions; empty when it cannot be found.
std::string moduleDirectory(const void* address);
// The first USB serial converter, /dev/ttyUSB0, /dev/ttyUSB1, ... in the
// order of their numbers; empty when there is none.
std::string firstUsbSerialDevice(const std::string& devDirectory = "/dev");

} // namespace zrbus
