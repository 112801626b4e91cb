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
// A USB serial converter hands received characters over in packets, at the
// latest when its latency timer (16 ms by default) runs out.
constexpr std::chrono::microseconds kUsbPacketLatency{16000};

std::uint32_t fail(std::uint32_t code, const std::string& text) {
    setErrorDetail(code, text);
    return code;
}

} // namespace

// The path is cut at its start ("..."), where the rest of a device's path
// (its name) is kept; a path without room for "..." and one character is
// left out.
std::string failureText(const std::string& what, const std::string& reason,
                        const std::string& path) {
    std::string text = what + ": " + reason;
    const std::size_t fixed = toWindows1250(text + " ()").size();
    const std::size_t room = fixed < kMaxErrorChars ? kMaxErrorChars - fixed : 0;
    if (path.size() <= room) return text + " (" + path + ")";
    if (room < 4) return text;
    return text + " (..." + path.substr(path.size() - (room - 3)) + ")";
}

namespace {

// The driver configuration. A file that is there but cannot be read fails
// the _Init with its reason: the defaults might name another device than
// the operator meant.
std::uint32_t loadConfig(DriverConfig& config) {
    const std::string path = driverConfigPath();
    config = DriverConfig::load(path);
    if (config.failure().empty()) return kOk;
    return fail(kOpenFailed, failureText(kConfigUnreadable, config.failure(), path));
}

// Opens `device` for the interface `who` ("port COM3"); every failure, also
// that of a later reopen, leaves its text as the detail of its code.
std::uint32_t openDevice(const std::string& who, const std::string& device,
                         std::unique_ptr<Link>& link) {
    auto serial = std::make_unique<SerialLink>(device);
    serial->onOpenFailure([who, device](SerialFailure f) {
        setErrorDetail(codeOf(f), failureText(who + " nelze otevřít", reasonOf(f, device), device));
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
    if (const std::uint32_t rc = loadConfig(config); rc != kOk) return rc;
    return openDevice(
        who, config.device(comKey(port)).value_or("/dev/ttyS" + std::to_string(port - 1)), link);
}

std::uint32_t openIsaCard(std::uint32_t base, std::unique_ptr<Link>& link) {
    const std::string card = "KC-683 na adrese " + hexAddress(base);
    DriverConfig config;
    if (const std::uint32_t rc = loadConfig(config); rc != kOk) return rc;
    const auto device = config.device(isaKey(base));
    if (!device) return fail(kNotInstalled, "karta " + card + " není nainstalována");
    return openDevice("kartu " + card, *device, link);
}

std::uint32_t openPciCard(std::unique_ptr<Link>& link) {
    DriverConfig config;
    if (const std::uint32_t rc = loadConfig(config); rc != kOk) return rc;
    const auto device = config.device(pciKey());
    if (!device) return fail(kNotInstalled, "karta KC-1683 není nainstalována");
    return openDevice("kartu KC-1683", *device, link);
}

std::uint32_t openUsbConverter(std::unique_ptr<Link>& link) {
    DriverConfig config;
    if (const std::uint32_t rc = loadConfig(config); rc != kOk) return rc;
    std::string device = config.device(usbKey()).value_or(firstUsbSerialDevice());
    if (device.empty())
        return fail(kNotInstalled, "převodník KU-1683 není připojen (žádné zařízení /dev/ttyUSB*)");
    const std::uint32_t rc = openDevice("převodník KU-1683", device, link);
    if (rc == kOk) static_cast<SerialLink&>(*link).addDeliveryLatency(kUsbPacketLatency);
    return rc;
}

} // namespace zrbus
