// Result codes of the driver libraries (1..99) and the codes a module or a
// LAN converter puts into the result byte of its answer. The libraries pass
// a module's code 1..99 through unchanged, so both share one number space:
// the libraries' own codes lie in 1..19, a module's in 20..29; 30..99 are
// free and, should a module send one, passed through with a generic text.
// A LAN converter acknowledges line settings with 0 or kBadBaud.
// docs/bus-protocol.md lists them with their meaning.
#pragma once

#include <cstdint>

namespace zrbus {

enum Code : std::uint32_t {
    kOk = 0,
    kBadHandle = 1,       // unknown or closed connection handle
    kOpenFailed = 2,      // socket or serial device cannot be opened
    kBadAddress = 3,      // IP text empty, not an address, not terminated, or refused
    kBadPort = 4,         // UDP port 0 or above 65535
    kSendFailed = 5,      // the request could not be sent
    kTimeout = 6,         // no matching answer within the time-out
    kBadCrc = 7,          // only answers with a wrong checksum arrived
    kBadAnswer = 8,       // a matching answer with a result the protocol does not know
    kRequestNotBuilt = 9, // the program's own code: request cannot be built
    kUnbound = 10,        // the program's own code: no entry bound / unknown type
    kBadBaud = 11,        // a baud rate the module cannot use
    kBadConstant = 12,    // the reserved _SetConfig constant is not 2
    kNotConfigured = 13,  // _Send before a successful _SetConfig
    kTooManyConnections = 14,
    kReceiveFailed = 15,    // the socket or device reported an error while waiting
    kNullArgument = 16,     // a required pointer argument is null
    kBadTimeout = 17,       // UDP time-out above 65535 ms
    kInternal = 18,         // unexpected failure inside the library
    kConverterRefused = 19, // the LAN converter refused the line settings

    // Codes a module puts into the result byte of its answer.
    kModuleUnknownCommand = 20,  // command code not implemented
    kModuleBadParameter = 21,    // command parameter not valid for the command
    kModuleUnknownRegister = 22, // register number does not exist
    kModuleBadValue = 23,        // value refused (e.g. activation other than 0/1)
    kModuleMismatch = 24,        // the two copies of register number or value differ
    kModuleBusy = 25,            // the module cannot carry out the command now
};

} // namespace zrbus
