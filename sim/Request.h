// One command transaction on the module bus, as the simulated modules see it:
// the request of the library's _Send and the answer of the module.
#pragma once

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
// answer frame and come out of the library's _Send as the result code.
namespace ModuleResult {
constexpr std::uint8_t Ok = 0;
constexpr std::uint8_t UnknownCommand = 40;  // no such command code
constexpr std::uint8_t BadParameter = 41;    // the code exists, the parameter does not
constexpr std::uint8_t UnknownRegister = 42; // register number outside the register map
constexpr std::uint8_t BadValue = 43;        // value not allowed for this register
constexpr std::uint8_t Inconsistent = 44;    // the two copies of register or value differ
} // namespace ModuleResult

// The nine baud rates of the bus, by index.
constexpr std::array<std::uint32_t, 9> BaudRates = {600,   1200,  2400,  4800,  9600,
                                                    19200, 38400, 57600, 115200};

} // namespace zrsim
