// What the four serial-line libraries (XCOM683, XKC683, XKC1683, XKU1683)
// do in their _Init: find the interface's serial device in the driver
// configuration (or its default) and open it. The rest of each library is
// the shared driver (Driver.h).
//
// A failure leaves its detail for _Error: the text of the returned code then
// names the interface, the reason and the device, in this order, so that a
// status bar too narrow for all of it still shows the reason, e.g. "port
// COM3 nelze otevřít: zařízení neexistuje (/dev/ttyS2)". The detail is kept
// per library (each library has its own copy of the core) and holds until
// the next failure; _Error of another code gives that code's plain text.
#pragma once

#include "DevConfig.h"
#include "Link.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zrbus {

// The path of the driver configuration file of the library that contains
// this code: beside it, or /etc/zr464/ when it is installed (DevConfig.h).
std::string driverConfigPath();

// "<what>: <reason> (<path>)", in at most the characters of _Error's
// buffer: the path is cut where the whole would not fit. <what> is
// "<interface> nelze otevřít" ("port COM3 nelze otevřít") or
// kConfigUnreadable, with the configuration file's path.
std::string failureText(const std::string& what, const std::string& reason,
                        const std::string& path);
inline constexpr const char* kConfigUnreadable = "konfiguraci ovladačů nelze přečíst";

// Type 0: COM port 1..255; /dev/ttyS(n-1) unless configured.
std::uint32_t openComPort(std::uint32_t port, std::unique_ptr<Link>& link);
// Type 1: the ISA card KC-683 at the base address; only a configured device.
std::uint32_t openIsaCard(std::uint32_t base, std::unique_ptr<Link>& link);
// Type 2: the PCI card KC-1683; only a configured device.
std::uint32_t openPciCard(std::unique_ptr<Link>& link);
// Type 3: the USB converter KU-1683; the configured device, else the first
// /dev/ttyUSB*.
std::uint32_t openUsbConverter(std::unique_ptr<Link>& link);

} // namespace zrbus
