// The LAN converter's transport: one UDP socket connected to the converter's
// address and port. POSIX sockets; a Windows build gets its own file.
#pragma once

#include "Link.h"

#include <cstdint>
#include <memory>

namespace zrbus {

struct LanParameters {
    std::uint32_t address = 0; // IPv4 address, host byte order
    std::uint16_t port = 0;
    std::uint32_t timeoutMs = 0;
};

// Reads the 64-byte _Init block of the LAN library. The IP text must be a
// dotted-decimal IPv4 unicast address (inet_pton, no names, no 0.0.0.0, no
// multicast or broadcast); port 1..65535; time-out 0..65535 ms.
// Returns 0, kBadAddress, kBadPort, kBadTimeout or kNullArgument.
std::uint32_t readLanParameters(const std::uint32_t* block, LanParameters& out);

// Whether a parsed address may be used as the converter's address.
bool isUsableUnicast(std::uint32_t address);

// Opens a socket connected to the converter. Connecting a UDP socket sends
// nothing; the kernel then delivers only datagrams from that address and
// port. No broadcast permission is ever set, so a broadcast address that
// slipped through would be refused by the kernel, not sent.
std::uint32_t openUdpLink(const LanParameters& params, std::unique_ptr<Link>& out);

} // namespace zrbus
