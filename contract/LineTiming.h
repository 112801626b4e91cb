// The frames' sizes and what they cost on a serial line: the facts the
// driver libraries, the module simulator and the program's time-outs share.
// A character on the line is 10 bits (start bit, 8 data bits, stop bit).
// docs/bus-protocol.md describes the frames and the line silence.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace zrbus {

// Frame layout: a 5-byte header, the payload, a 2-byte CRC.
constexpr std::size_t kHeaderSize = 5;
constexpr std::size_t kCrcSize = 2;
constexpr std::size_t kRequestPayload = 7;    // command, parameter, D1..D5
constexpr std::size_t kLineConfigPayload = 8; // baud rate, wait value
// An answering frame's own bytes come first, its request's payload after them.
constexpr std::size_t kAnswerPayload = 6 + kRequestPayload;           // result, S, A1..A4
constexpr std::size_t kLineConfigAckPayload = 1 + kLineConfigPayload; // result
constexpr std::size_t kMaxPayload = 13;
constexpr std::size_t kMaxFrameSize = kHeaderSize + kMaxPayload + kCrcSize;
constexpr std::size_t kRequestFrameSize = kHeaderSize + kRequestPayload + kCrcSize;
constexpr std::size_t kAnswerFrameSize = kHeaderSize + kAnswerPayload + kCrcSize;
static_assert(kAnswerPayload <= kMaxPayload && kLineConfigAckPayload <= kMaxPayload);

constexpr std::uint32_t kBitsPerCharacter = 10;

// Time that `bytes` characters take on the line at `baud` Bd.
constexpr std::chrono::microseconds lineTime(std::size_t bytes, std::uint32_t baud) {
    if (baud == 0) return std::chrono::microseconds{0};
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes) * kBitsPerCharacter;
    return std::chrono::microseconds{(bits * 1000000u + baud - 1) / baud};
}

// Silence a sender leaves on a serial line before a frame: 3.5 character
// times of 10 bits at the rate, at least 2 ms.
constexpr std::uint32_t lineSilenceMs(std::uint32_t baud) {
    if (baud == 0) return 0;
    const std::uint32_t ms = (35000 + baud - 1) / baud;
    return ms < 2 ? 2 : ms;
}

// The answer time-out of a probe (a request whose answer is expected only if
// a module is there) at a rate, in ms: the request, the answer and the line
// silence before each, a quarter more, and 20 ms.
constexpr std::uint32_t probeTimeoutMs(std::uint32_t baud) {
    constexpr std::uint32_t kMarginMs = 20;
    const auto onLine = lineTime(kRequestFrameSize + kAnswerFrameSize, baud) +
                        std::chrono::milliseconds(2 * lineSilenceMs(baud));
    const auto ms = static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(onLine).count() + 1);
    return ms + ms / 4 + kMarginMs;
}

// The module's turnaround: the latest a module begins its answer after the
// line silence that follows the request's last character. A module answers
// from registers it keeps in RAM and has its answer ready well within a
// millisecond; the bound leaves its firmware room for an interrupt or a
// register write in progress and still lets a scan tell an absent module
// early.
constexpr std::uint32_t kTurnaroundMs = 2;

// When the first character of an answer has arrived at the latest, counted
// from the moment the request starts on the line: the request's
// characters, the line silence, the turnaround and one character.
constexpr std::chrono::microseconds firstCharacterTime(std::uint32_t baud) {
    if (baud == 0) return std::chrono::microseconds{0};
    return lineTime(kRequestFrameSize + 1, baud) +
           std::chrono::milliseconds(lineSilenceMs(baud) + kTurnaroundMs);
}

// firstCharacterTime in whole milliseconds, rounded up.
constexpr std::uint32_t firstCharacterWaitMs(std::uint32_t baud) {
    return static_cast<std::uint32_t>(
        std::chrono::ceil<std::chrono::milliseconds>(firstCharacterTime(baud)).count());
}

} // namespace zrbus
