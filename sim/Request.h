// One command transaction on the module bus, as the simulated modules see it:
// the request of the library's _Send and the answer of the module.
#pragma once

#include "Prikazy.h"
#include "codes.h"

#include <array>
#include <cstdint>

namespace zrsim {

struct Request {
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    std::uint8_t parameter = 0;
    std::array<std::uint8_t, 5> data{}; // D1 to D5
};

struct Reply {
    std::uint8_t result = 0;              // 0 done; otherwise one of ModuleResult
    std::uint8_t status = 0;              // the status byte S: low byte of the status register
    std::array<std::uint8_t, 4> answer{}; // A1 to A4
};

// Result codes a module gives when it refuses a request. They travel in the
// result byte of the answer frame and come out of the library's _Send
// unchanged; the numbers are those of the bus protocol (drivers/core/codes.h).
namespace ModuleResult {
constexpr std::uint8_t Ok = zrbus::kOk;
constexpr std::uint8_t UnknownCommand = zrbus::kModuleUnknownCommand;   // no such command code
constexpr std::uint8_t BadParameter = zrbus::kModuleBadParameter;       // no such parameter
constexpr std::uint8_t UnknownRegister = zrbus::kModuleUnknownRegister; // outside the register map
constexpr std::uint8_t BadValue = zrbus::kModuleBadValue;               // value not allowed
constexpr std::uint8_t Inconsistent = zrbus::kModuleMismatch;           // the two copies differ
} // namespace ModuleResult

} // namespace zrsim
