// Result codes of the driver libraries (1..99) and the codes a module or a
// LAN converter puts into the result byte of its answer. The libraries pass
// a module's code 1..99 through unchanged, so both share one number space:
// the libraries' own codes lie in 1..19 and 30..39, a module's in 20..29;
// 40..99 are free and, should a module send one, passed through with a
// generic text.
// A LAN converter acknowledges line settings with 0 or kBadBaud.
// docs/bus-protocol.md lists them with their meaning.
#pragma once

#include <cstdint>

namespace zrbus {

constexpr std::uint32_t kOk = 0;
constexpr std::uint32_t kBadHandle = 1;  // unknown or closed connection handle
constexpr std::uint32_t kOpenFailed = 2; // socket or serial device cannot be opened
// IP text empty, not an address, not terminated, or not a unicast address.
constexpr std::uint32_t kBadAddress = 3;
constexpr std::uint32_t kBadPort = 4;    // UDP port 0 or above 65535
constexpr std::uint32_t kSendFailed = 5; // the request could not be sent
constexpr std::uint32_t kTimeout = 6;    // no matching answer within the time-out
constexpr std::uint32_t kBadCrc = 7;     // only answers with a wrong checksum arrived
// A matching answer whose result the protocol does not know (above 99).
constexpr std::uint32_t kBadAnswer = 8;
constexpr std::uint32_t kRequestNotBuilt = 9; // the program's own code: request cannot be built
constexpr std::uint32_t kUnbound = 10;     // the program's own code: no entry bound / unknown type
constexpr std::uint32_t kBadBaud = 11;     // a baud rate the module cannot use
constexpr std::uint32_t kBadConstant = 12; // the reserved _SetConfig constant is not 2
constexpr std::uint32_t kNotConfigured = 13; // _Send before a successful _SetConfig
constexpr std::uint32_t kTooManyConnections = 14;
constexpr std::uint32_t kReceiveFailed = 15; // the socket or device reported an error while waiting
constexpr std::uint32_t kNullArgument = 16;  // a required pointer argument is null
constexpr std::uint32_t kBadTimeout = 17;    // UDP time-out above 65535 ms
constexpr std::uint32_t kInternal = 18;      // unexpected failure inside the library
constexpr std::uint32_t kConverterRefused = 19; // the LAN converter refused the line settings

// Codes a module puts into the result byte of its answer.
constexpr std::uint32_t kModuleUnknownCommand = 20;  // command code not implemented
constexpr std::uint32_t kModuleBadParameter = 21;    // command parameter not valid for the command
constexpr std::uint32_t kModuleUnknownRegister = 22; // register number does not exist
constexpr std::uint32_t kModuleBadValue = 23; // value refused (e.g. activation other than 0/1)
constexpr std::uint32_t kModuleMismatch = 24; // the two copies of register number or value differ
constexpr std::uint32_t kModuleBusy = 25;     // the module cannot carry out the command now

// The serial-line libraries' codes for an interface that cannot be opened
// (besides kOpenFailed). Their _Error text names the device and the reason.
constexpr std::uint32_t kNoDevice = 30;     // the serial device does not exist
constexpr std::uint32_t kDeviceBusy = 31;   // the device is in use by another program
constexpr std::uint32_t kNotSerial = 32;    // the device is not a serial device
constexpr std::uint32_t kNotInstalled = 33; // the card or converter is not installed
constexpr std::uint32_t kBadComPort = 34;   // COM port number 0 or above 255
// The LAN library's: the converter's host refused the datagrams (port unreachable).
constexpr std::uint32_t kConverterUnreachable = 35;

} // namespace zrbus
