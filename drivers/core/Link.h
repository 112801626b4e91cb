// The transport under a driver library (a UDP socket to the LAN converter,
// or a serial device) and the one exchange every library carries over it:
// send a frame, wait for the frame that answers it.
#pragma once

#include "Frame.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace zrbus {

using Clock = std::chrono::steady_clock;

enum class Receive : std::uint8_t {
    Data,    // bytes (or one datagram) arrived
    Nothing, // woke up without data worth looking at; wait on
    Timeout, // the deadline passed
    Error,   // the transport failed
    Refused, // the far end's host refused the datagram: nothing listens there
};

class Link {
public:
    virtual ~Link() = default;

    // True when every receive() yields exactly one datagram (= one frame),
    // false for a byte stream that needs the streaming decoder.
    virtual bool datagrams() const = 0;
    // True when a converter sits between library and line and must be told
    // the line settings by a LineConfig frame (the LAN converter).
    virtual bool hasConverter() const { return false; }
    // Time added to every answer time-out (the LAN library's UDP time-out).
    virtual std::uint32_t extraTimeoutMs() const { return 0; }
    // How much later than on the line the library may see a character at
    // `baud` (the device's buffering, the scheduler): a probe waits that
    // much beyond the time the answer's first character is due.
    virtual std::chrono::microseconds deliveryAllowance(std::uint32_t /*baud*/) const {
        return std::chrono::microseconds{0};
    }
    // True when something waits to be received right now (a look that does
    // not wait).
    virtual bool readable() { return false; }

    // Sets the line's rate where the library drives the line itself.
    virtual std::uint32_t setRate(std::uint32_t /*baud*/) { return 0; }
    // Throws away whatever arrived before a new request goes out.
    virtual void discardPending() = 0;
    // Sends the bytes of one frame; 0 or a result code.
    virtual std::uint32_t send(const std::uint8_t* data, std::size_t size) = 0;
    // Waits until data arrives or the deadline passes. On Data, size is the
    // number of bytes received; a datagram longer than the capacity reports
    // its full size, so the caller can see it was cut.
    virtual Receive receive(std::uint8_t* buffer, std::size_t capacity, std::size_t& size,
                            Clock::time_point deadline) = 0;
};

// Throws away what is pending on the link, sends the frame and waits up to
// timeoutMs for the frame that answers it (see answers() in Frame.h);
// everything else is discarded.
// Returns 0 with the answer, kTimeout, kBadCrc (nothing matched, but damaged
// frames or stray bytes arrived), kConverterUnreachable (the host of the
// far end refused the request), or the transport's code.
std::uint32_t exchange(Link& link, const Frame& request, Frame& answer, std::uint32_t timeoutMs);

// exchange() for a probe: gives kTimeout as soon as `firstCharacter` has
// passed since the request went out without an answer having begun (a byte
// on a serial line other than the echo of a request, an AnswerBegins report
// or a damaged frame from the converter); an answer that began is waited
// for up to timeoutMs.
std::uint32_t probeExchange(Link& link, const Frame& request, Frame& answer,
                            std::uint32_t timeoutMs, std::chrono::microseconds firstCharacter);

} // namespace zrbus
