// One command transaction on the module bus, as the simulated modules see it:
// the request of the library's _Send and the answer of the module.
#pragma once

#include "Codes.h"
#include "Prikazy.h"

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
    std::uint8_t result = 0;              // 0 done; otherwise a module code of Codes.h
    std::uint8_t status = 0;              // the status byte S: low byte of the status register
    std::array<std::uint8_t, 4> answer{}; // A1 to A4
};

} // namespace zrsim
