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

    bool matches(const Frame& f) const { return answers(f, request); }
};

bool takeDatagram(Waiting& w, const std::uint8_t* data, std::size_t size, Frame& answer) {
    if (size > kReceiveBuffer) return false;
    Frame f;
    const DecodeResult r = decodeOne(data, size, f);
    if (r == DecodeResult::BadCrc) w.sawBadCrc = true;
    if (r != DecodeResult::Ok || !w.matches(f)) return false;
    answer = f;
    return true;
}

bool takeStream(Waiting& w, StreamDecoder& decoder, const std::uint8_t* data, std::size_t size,
                Frame& answer) {
    bool found = false;
    decoder.feed(data, size, [&](const Frame& f) {
        if (!found && w.matches(f)) {
            answer = f;
            found = true;
        }
    });
    // Bytes that make no frame (answers that overlapped on the line) are as
    // damaged as a frame whose checksum fails.
    if (decoder.crcErrors() > 0 || decoder.droppedBytes() > 0) w.sawBadCrc = true;
    return found;
}

} // namespace

std::uint32_t exchange(Link& link, const Frame& request, Frame& answer, std::uint32_t timeoutMs) {
    std::array<std::uint8_t, kReceiveBuffer> buffer{};
    const std::size_t n = encode(request, buffer.data(), buffer.size());
    if (n == 0) return kInternal;
    link.discardPending();
    if (const std::uint32_t rc = link.send(buffer.data(), n); rc != kOk) return rc;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Waiting waiting{request};
    StreamDecoder decoder;
    for (;;) {
        std::size_t size = 0;
        const Receive r = link.receive(buffer.data(), buffer.size(), size, deadline);
        if (r == Receive::Timeout) return waiting.sawBadCrc ? kBadCrc : kTimeout;
        if (r == Receive::Error) return kReceiveFailed;
        if (r == Receive::Refused) return kConverterUnreachable;
        if (r != Receive::Data) continue;
        const bool found = link.datagrams()
                               ? takeDatagram(waiting, buffer.data(), size, answer)
                               : takeStream(waiting, decoder, buffer.data(), size, answer);
        if (found) return kOk;
    }
}

} // namespace zrbus
