// What comes back on the line for a request frame, shared by every endpoint
// (the LAN converter over UDP here; a serial pseudo-terminal can reuse it):
// the simulator's outcome encoded as an answer frame with the request's tag,
// the line faults applied.
#pragma once

#include "Frame.h"
#include "Simulator.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

namespace zrsim {

// Bytes to put on the line (or into one datagram) after delayMs, and after
// onLine more where the converter emulates its line's time.
struct Outgoing {
    std::vector<std::uint8_t> bytes;
    std::uint32_t delayMs = 0;
    std::chrono::microseconds onLine{0};
};

// Answers one decoded request frame on a line running at lineBaud Bd.
// Nothing when no module answers or the answer is lost; two entries when it
// is duplicated.
std::vector<Outgoing> answerRequest(Simulator& sim, const zrbus::Frame& request,
                                    std::uint32_t lineBaud);

// The LAN converter: takes one datagram, which carries exactly one frame.
// A LineConfig frame sets the rate of the converter's line (acknowledged
// with 0, or kBadBaud for a rate outside the nine bus rates, leaving the rate
// as it was); a Request frame goes onto the line at that rate. Everything
// else (damaged, truncated, oversized datagrams, answer frames) is ignored.
// A LineConfig whose wait value asks for probe mode makes the converter
// report each answer's first character with an AnswerBegins frame before
// the answer. With line-time emulation every answer (and its report) waits
// as long as it would take on the line: the request, the line silence, the
// answer's characters (its first one for the report).
class LanConverter {
public:
    // The rate a converter's line runs at after power-on.
    static constexpr std::uint32_t kDefaultBaud = 9600;

    explicit LanConverter(Simulator& sim, std::uint32_t lineBaud = kDefaultBaud,
                          bool lineTime = false)
        : sim_(sim), lineBaud_(lineBaud), lineTime_(lineTime) {}

    std::vector<Outgoing> datagram(const std::uint8_t* data, std::size_t size);

    std::uint32_t lineBaud() const { return lineBaud_.load(); }
    std::uint64_t ignored() const { return ignored_.load(); }
    // A datagram the endpoint dropped before decoding (oversized).
    void noteIgnored() { ++ignored_; }
    // A power cycle (as the converter's own watchdog does it): the line back
    // at the default rate without probe mode, the answers on their way lost. The endpoint sees
    // restarts() change and drops what it holds back.
    void restart() {
        lineBaud_ = kDefaultBaud;
        probe_ = false;
        ++restarts_;
    }
    std::uint64_t restarts() const { return restarts_.load(); }

private:
    std::vector<Outgoing> configure(const zrbus::Frame& frame);
    std::vector<Outgoing> onLine(const zrbus::Frame& request);

    Simulator& sim_;
    std::atomic<std::uint32_t> lineBaud_;
    bool lineTime_;
    std::atomic<bool> probe_{false};
    std::atomic<std::uint64_t> ignored_{0};
    std::atomic<std::uint64_t> restarts_{0};
};

} // namespace zrsim
