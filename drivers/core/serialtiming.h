// Timing of frames on the serial bus, shared by the driver libraries and the
// simulator's pseudo-terminal endpoint. A character on the line is 10 bits
// (start bit, 8 data bits, stop bit). Between two frames the line stays
// silent for 3.5 character times, at least 2 ms (docs/bus-protocol.md).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace zrbus {

constexpr std::uint32_t kBitsPerCharacter = 10;
constexpr std::chrono::microseconds kMinLineSilence{2000};

// Time that `bytes` characters take on the line at `baud` Bd.
constexpr std::chrono::microseconds lineTime(std::size_t bytes, std::uint32_t baud) {
    if (baud == 0) return std::chrono::microseconds{0};
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes) * kBitsPerCharacter;
    return std::chrono::microseconds{(bits * 1000000u + baud - 1) / baud};
}

// Silence between two frames at `baud` Bd: 3.5 character times, at least 2 ms.
constexpr std::chrono::microseconds lineSilence(std::uint32_t baud) {
    if (baud == 0) return kMinLineSilence;
    const std::uint64_t us = (35u * kBitsPerCharacter * 1000000u / 10u + baud - 1) / baud;
    return std::chrono::microseconds{us} > kMinLineSilence ? std::chrono::microseconds{us}
                                                           : kMinLineSilence;
}

} // namespace zrbus
