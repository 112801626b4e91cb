// libFuzzer target for the bus protocol decoders and the LAN parameter block.
// Built only with -DZR_FUZZ=ON by clang (tools/fuzz.sh).
#include "Codes.h"
#include "Frame.h"
#include "UdpLink.h"

#include <cstdlib>
#include <cstring>

using namespace zrbus;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Raw bytes as one datagram: a frame decoded must encode back to the bytes.
void asDatagram(const std::uint8_t* data, std::size_t size) {
    Frame f;
    if (decodeOne(data, size, f) != DecodeResult::Ok) return;
    std::uint8_t again[kMaxFrameSize];
    check(encode(f, again, sizeof again) == size && std::memcmp(again, data, size) == 0);
    Request rq;
    Answer a;
    LineConfig c;
    std::uint8_t r = 0;
    // An AnswerBegins frame carries its request's payload and no reader.
    const bool begins = f.type == FrameType::AnswerBegins;
    check(readRequest(f, rq) + readAnswer(f, a) + readLineConfig(f, c) + readLineConfigAck(f, r) +
              begins ==
          1);
}

// Raw bytes as a stream in chunks whose sizes the input's first byte picks;
// every frame found must be valid and the decoder must never overflow.
void asStream(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    const std::size_t chunk = 1 + data[0] % 17;
    StreamDecoder d;
    for (std::size_t i = 1; i < size; i += chunk) {
        d.feed(data + i, std::min(chunk, size - i), [](const Frame& f) {
            std::uint8_t bytes[kMaxFrameSize];
            const std::size_t n = encode(f, bytes, sizeof bytes);
            Frame back;
            check(n > 0 && decodeOne(bytes, n, back) == DecodeResult::Ok);
        });
        check(d.held() < kMaxFrameSize);
    }
}

// A valid frame built from the input, then damaged by the remaining bytes
// (XOR from position 0): the decoders must reject or accept it consistently.
void damagedFrame(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return;
    Frame f = makeRequest(
        {data[0], data[1], data[2], {data[3], data[4], data[5], data[6], data[7]}}, data[0]);
    std::uint8_t bytes[kMaxFrameSize];
    const std::size_t n = encode(f, bytes, sizeof bytes);
    for (std::size_t i = 8; i < size && i - 8 < n; ++i)
        bytes[i - 8] ^= data[i];
    Frame one;
    const bool single = decodeOne(bytes, n, one) == DecodeResult::Ok;
    std::size_t found = 0;
    StreamDecoder d;
    d.feed(bytes, n, [&](const Frame&) { ++found; });
    check(!single || found == 1);
}

void lanBlock(const std::uint8_t* data, std::size_t size) {
    if (size < 64) return;
    std::uint32_t block[16];
    std::memcpy(block, data, sizeof block);
    LanParameters p;
    if (readLanParameters(block, p) == kOk) check(isUsableUnicast(p.address) && p.port != 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    asDatagram(data, size);
    asStream(data, size);
    damagedFrame(data, size);
    lanBlock(data, size);
    return 0;
}
