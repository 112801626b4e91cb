// Timing of frames on the serial bus, shared by the driver libraries, the
// simulator's pseudo-terminal endpoint and the benchmark. A character on the
// line is 10 bits (start bit, 8 data bits, stop bit). The silence between
// two frames is lineSilenceMs() of link.h (docs/bus-protocol.md).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace zrbus {

constexpr std::uint32_t kBitsPerCharacter = 10;

// Time that `bytes` characters take on the line at `baud` Bd.
constexpr std::chrono::microseconds lineTime(std::size_t bytes, std::uint32_t baud) {
    if (baud == 0) return std::chrono::microseconds{0};
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes) * kBitsPerCharacter;
    return std::chrono::microseconds{(bits * 1000000u + baud - 1) / baud};
}

} // namespace zrbus
