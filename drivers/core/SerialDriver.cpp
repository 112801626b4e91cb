#include "SerialDriver.h"

#include "Codes.h"
#include "Serial.h"
#include "Texts.h"

#include <utility>

#include "zr683.h"

namespace zrbus {

namespace {

// Any object of the core: its address lies inside the library that links it.
const char kAnchor = 0;

constexpr std::uint32_t kMaxComPort = 255;

std::uint32_t fail(std::uint32_t code, const std::string& text) {
    setErrorDetail(code, text);
    return code;
}

// "<who> nelze otevřít (<path>: <reason>)", with the path cut at its start
// ("...") where the whole would not fit into _Error's buffer.
std::string openFailureText(const std::string& who, const std::string& path,
                            const std::string& reason) {
    const std::string before = who + " nelze otevřít (";
    const std::string after = ": " + reason + ")";
    const std::size_t fixed = toWindows1250(before + after).size();
    const std::size_t room = ZR683_ERROR_CHARS - 1 > fixed ? ZR683_ERROR_CHARS - 1 - fixed : 0;
    std::string shown = path;
    if (shown.size() > room && room > 3) shown = "..." + shown.substr(shown.size() - (room - 3));
    return before + shown + after;
}

// The driver configuration for the interface `who`. A file that is there
// but cannot be read fails the _Init with its reason: the defaults might
// name another device than the operator meant.
std::uint32_t loadConfig(const std::string& who, DriverConfig& config) {
    const std::string path = driverConfigPath();
    config = DriverConfig::load(path);
    if (config.failure().empty()) return kOk;
    return fail(kOpenFailed, openFailureText(who, path, config.failure()));
}

// Opens `device` for the interface `who` ("port COM3"); every failure, also
// that of a later reopen, leaves its text as the detail of its code.
std::uint32_t openDevice(const std::string& who, const std::string& device,
                         std::unique_ptr<Link>& link) {
    auto serial = std::make_unique<SerialLink>(device);
    serial->onOpenFailure([who, device](SerialFailure f) {
        setErrorDetail(codeOf(f), openFailureText(who, device, reasonOf(f)));
    });
    const SerialFailure f = serial->open();
    if (f != SerialFailure::None) return codeOf(f);
    link = std::move(serial);
    return kOk;
}

} // namespace

std::string driverConfigPath() {
    return driverConfigPathFor(moduleDirectory(&kAnchor));
}

std::uint32_t openComPort(std::uint32_t port, std::unique_ptr<Link>& link) {
    if (port == 0 || port > kMaxComPort)
        return fail(kBadComPort,
                    "neplatné číslo portu COM " + std::to_string(port) + " (povoleno 1 až 255)");
    const std::string who = "port " + comKey(port);
    DriverConfig config;
    if (const std::uint32_t rc = loadConfig(who, config); rc != kOk) return rc;
    return openDevice(
        who, config.device(comKey(port)).value_or("/dev/ttyS" + std::to_string(port - 1)), link);
}

std::uint32_t openIsaCard(std::uint32_t base, std::unique_ptr<Link>& link) {
    const std::string card = "KC-683 na adrese " + hexAddress(base);
    DriverConfig config;
    if (const std::uint32_t rc = loadConfig("kartu " + card, config); rc != kOk) return rc;
    const auto device = config.device(isaKey(base));
    if (!device) return fail(kNotInstalled, "karta " + card + " není nainstalována");
    return openDevice("kartu " + card, *device, link);
}

std::uint32_t openPciCard(std::unique_ptr<Link>& link) {
    DriverConfig config;
    if (const std::uint32_t rc = loadConfig("kartu KC-1683", config); rc != kOk) return rc;
    const auto device = config.device(pciKey());
    if (!device) return fail(kNotInstalled, "karta KC-1683 není nainstalována");
    return openDevice("kartu KC-1683", *device, link);
}

std::uint32_t openUsbConverter(std::unique_ptr<Link>& link) {
    DriverConfig config;
    if (const std::uint32_t rc = loadConfig("převodník KU-1683", config); rc != kOk) return rc;
    std::string device = config.device(usbKey()).value_or(firstUsbSerialDevice());
    if (device.empty())
        return fail(kNotInstalled, "převodník KU-1683 není připojen (žádné zařízení /dev/ttyUSB*)");
    return openDevice("převodník KU-1683", device, link);
}

} // namespace zrbus
