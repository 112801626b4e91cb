#include "Link.h"

#include "Codes.h"

#include <array>

namespace zrbus {

namespace {

// Large enough that an oversized datagram is seen as such.
constexpr std::size_t kReceiveBuffer = 512;

struct Waiting {
    const Frame& request;
    bool sawBadCrc = false;
    bool begun = false;           // an answer has begun on the line
    std::size_t received = 0;     // stream: bytes received
    std::size_t requestBytes = 0; // stream: bytes of complete request frames (an echo)

    bool matches(const Frame& f) const { return answers(f, request); }
    std::uint32_t failure() const { return sawBadCrc ? kBadCrc : kTimeout; }
};

bool takeDatagram(Waiting& w, const std::uint8_t* data, std::size_t size, Frame& answer) {
    if (size > kReceiveBuffer) return false;
    Frame f;
    const DecodeResult r = decodeOne(data, size, f);
    if (r == DecodeResult::BadCrc) w.sawBadCrc = w.begun = true;
    if (r != DecodeResult::Ok) return false;
    if (beginsAnswerTo(f, w.request)) w.begun = true;
    if (!w.matches(f)) return false;
    answer = f;
    return true;
}

bool takeStream(Waiting& w, StreamDecoder& decoder, const std::uint8_t* data, std::size_t size,
                Frame& answer) {
    bool found = false;
    decoder.feed(data, size, [&](const Frame& f) {
        if (f.type == FrameType::Request) w.requestBytes += kRequestFrameSize;
        if (!found && w.matches(f)) {
            answer = f;
            found = true;
        }
    });
    // Bytes that make no frame (answers that overlapped on the line) are as
    // damaged as a frame whose checksum fails.
    if (decoder.crcErrors() > 0 || decoder.droppedBytes() > 0) w.sawBadCrc = true;
    w.received += size;
    if (w.received > w.requestBytes) w.begun = true;
    return found;
}

// Sends the request after throwing away what is pending; 0 or a code.
std::uint32_t sendRequest(Link& link, const Frame& request, std::uint8_t* buffer,
                          std::size_t capacity) {
    const std::size_t n = encode(request, buffer, capacity);
    if (n == 0) return kInternal;
    link.discardPending();
    return link.send(buffer, n);
}

// Waits for the answer until `deadline`; while no answer has begun, only
// until `firstBy`, with one last look at what arrived by then.
std::uint32_t await(Link& link, Waiting& w, Frame& answer, Clock::time_point firstBy,
                    Clock::time_point deadline) {
    std::array<std::uint8_t, kReceiveBuffer> buffer{};
    StreamDecoder decoder;
    bool lastLook = false;
    for (;;) {
        const bool early = !w.begun && !lastLook && firstBy < deadline;
        std::size_t size = 0;
        const Receive r =
            link.receive(buffer.data(), buffer.size(), size, early ? firstBy : deadline);
        if (r == Receive::Timeout) {
            if (!early || !link.readable()) return w.failure();
            lastLook = true;
            continue;
        }
        if (r == Receive::Error) return kReceiveFailed;
        if (r == Receive::Refused) return kConverterUnreachable;
        if (r == Receive::Data &&
            (link.datagrams() ? takeDatagram(w, buffer.data(), size, answer)
                              : takeStream(w, decoder, buffer.data(), size, answer)))
            return kOk;
        if (lastLook && !w.begun) return w.failure();
    }
}

} // namespace

std::uint32_t exchange(Link& link, const Frame& request, Frame& answer, std::uint32_t timeoutMs) {
    return probeExchange(link, request, answer, timeoutMs, std::chrono::milliseconds(timeoutMs));
}

std::uint32_t probeExchange(Link& link, const Frame& request, Frame& answer,
                            std::uint32_t timeoutMs, std::chrono::microseconds firstCharacter) {
    std::array<std::uint8_t, kReceiveBuffer> buffer{};
    if (const std::uint32_t rc = sendRequest(link, request, buffer.data(), buffer.size());
        rc != kOk)
        return rc;
    const auto sent = Clock::now();
    Waiting waiting{request};
    return await(link, waiting, answer, sent + firstCharacter,
                 sent + std::chrono::milliseconds(timeoutMs));
}

} // namespace zrbus
