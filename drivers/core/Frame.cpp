#include "Frame.h"

#include <algorithm>
#include <cstring>

namespace zrbus {

namespace {

struct TypeLength {
    FrameType type;
    std::size_t length;
};

// An answering frame's own bytes come first, the echoed payload of its
// request after them.
constexpr std::array<TypeLength, 5> kLengths{{
    {FrameType::Request, kRequestPayload},
    {FrameType::Answer, kAnswerPayload},
    {FrameType::LineConfig, kLineConfigPayload},
    {FrameType::LineConfigAck, kLineConfigAckPayload},
    {FrameType::AnswerBegins, kRequestPayload},
}};

// Copies the payload of `request` behind the answering frame's own bytes.
void echo(Frame& answer, const Frame& request, std::size_t own) {
    const std::size_t n = std::min<std::size_t>(request.length, kMaxPayload - own);
    std::copy_n(request.payload.begin(), n, answer.payload.begin() + own);
}

void putU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t getU32(const std::uint8_t* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

Frame blank(FrameType type, std::uint8_t address, std::uint8_t tag) {
    Frame f;
    f.type = type;
    f.address = address;
    f.tag = tag;
    f.length = static_cast<std::uint8_t>(payloadLength(static_cast<std::uint8_t>(type)));
    return f;
}

bool isType(const Frame& f, FrameType type) {
    return f.type == type && f.length == payloadLength(static_cast<std::uint8_t>(type));
}

// Checks the header at p (kHeaderSize bytes) and returns the frame's total
// size, or 0 when the header is not one of ours.
std::size_t frameSize(const std::uint8_t* p) {
    if (p[0] != kStartByte) return 0;
    const std::size_t len = payloadLength(p[1]);
    if (len == 0 || p[4] != len) return 0;
    return kHeaderSize + len + kCrcSize;
}

bool crcMatches(const std::uint8_t* p, std::size_t total) {
    const std::uint16_t crc = crc16(p, total - kCrcSize);
    return p[total - 2] == (crc & 0xFF) && p[total - 1] == (crc >> 8);
}

Frame fromBytes(const std::uint8_t* p) {
    Frame f;
    f.type = static_cast<FrameType>(p[1]);
    f.address = p[2];
    f.tag = p[3];
    f.length = p[4];
    std::memcpy(f.payload.data(), p + kHeaderSize, f.length);
    return f;
}

} // namespace

std::size_t payloadLength(std::uint8_t type) {
    for (const auto& e : kLengths)
        if (static_cast<std::uint8_t>(e.type) == type) return e.length;
    return 0;
}

std::uint16_t crc16(const std::uint8_t* data, std::size_t size, std::uint16_t crc) {
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

Frame makeRequest(const Request& r, std::uint8_t tag) {
    Frame f = blank(FrameType::Request, r.address, tag);
    f.payload[0] = r.command;
    f.payload[1] = r.parameter;
    std::copy(r.data.begin(), r.data.end(), f.payload.begin() + 2);
    return f;
}

Frame makeAnswer(const Answer& a, const Frame& request) {
    Frame f = blank(FrameType::Answer, a.address, request.tag);
    f.payload[0] = a.result;
    f.payload[1] = a.status;
    std::copy(a.bytes.begin(), a.bytes.end(), f.payload.begin() + 2);
    echo(f, request, 2 + a.bytes.size());
    return f;
}

Frame makeLineConfig(const LineConfig& c, std::uint8_t tag) {
    Frame f = blank(FrameType::LineConfig, 0, tag);
    putU32(f.payload.data(), c.baud);
    putU32(f.payload.data() + 4, c.waitMs);
    return f;
}

Frame makeLineConfigAck(std::uint8_t result, const Frame& lineConfig) {
    Frame f = blank(FrameType::LineConfigAck, 0, lineConfig.tag);
    f.payload[0] = result;
    echo(f, lineConfig, 1);
    return f;
}

Frame makeAnswerBegins(const Frame& request) {
    Frame f = blank(FrameType::AnswerBegins, request.address, request.tag);
    echo(f, request, 0);
    return f;
}

bool beginsAnswerTo(const Frame& f, const Frame& request) {
    return isType(f, FrameType::AnswerBegins) && isType(request, FrameType::Request) &&
           f.address == request.address && f.tag == request.tag &&
           std::equal(request.payload.begin(), request.payload.begin() + request.length,
                      f.payload.begin());
}

FrameType answerTypeOf(FrameType request) {
    return request == FrameType::LineConfig ? FrameType::LineConfigAck : FrameType::Answer;
}

bool answers(const Frame& answer, const Frame& request) {
    if (!isType(answer, answerTypeOf(request.type)) || answer.address != request.address ||
        answer.tag != request.tag || request.length > answer.length)
        return false;
    const auto echoed = answer.payload.begin() + (answer.length - request.length);
    return std::equal(request.payload.begin(), request.payload.begin() + request.length, echoed);
}

bool readRequest(const Frame& f, Request& out) {
    if (!isType(f, FrameType::Request)) return false;
    out.address = f.address;
    out.command = f.payload[0];
    out.parameter = f.payload[1];
    std::copy_n(f.payload.begin() + 2, out.data.size(), out.data.begin());
    return true;
}

bool readAnswer(const Frame& f, Answer& out) {
    if (!isType(f, FrameType::Answer)) return false;
    out.address = f.address;
    out.result = f.payload[0];
    out.status = f.payload[1];
    std::copy_n(f.payload.begin() + 2, out.bytes.size(), out.bytes.begin());
    return true;
}

bool readLineConfig(const Frame& f, LineConfig& out) {
    if (!isType(f, FrameType::LineConfig)) return false;
    out.baud = getU32(f.payload.data());
    out.waitMs = getU32(f.payload.data() + 4);
    return true;
}

bool readLineConfigAck(const Frame& f, std::uint8_t& result) {
    if (!isType(f, FrameType::LineConfigAck)) return false;
    result = f.payload[0];
    return true;
}

std::vector<std::uint8_t> bytesOf(const Frame& frame) {
    std::vector<std::uint8_t> out(kMaxFrameSize);
    out.resize(encode(frame, out.data(), out.size()));
    return out;
}

std::size_t encode(const Frame& f, std::uint8_t* out, std::size_t capacity) {
    if (f.length == 0 || f.length != payloadLength(static_cast<std::uint8_t>(f.type))) return 0;
    const std::size_t total = kHeaderSize + f.length + kCrcSize;
    if (out == nullptr || capacity < total) return 0;
    out[0] = kStartByte;
    out[1] = static_cast<std::uint8_t>(f.type);
    out[2] = f.address;
    out[3] = f.tag;
    out[4] = f.length;
    std::memcpy(out + kHeaderSize, f.payload.data(), f.length);
    const std::uint16_t crc = crc16(out, total - kCrcSize);
    out[total - 2] = static_cast<std::uint8_t>(crc & 0xFF);
    out[total - 1] = static_cast<std::uint8_t>(crc >> 8);
    return total;
}

DecodeResult decodeOne(const std::uint8_t* data, std::size_t size, Frame& out) {
    if (data == nullptr || size < kHeaderSize) return DecodeResult::Truncated;
    if (data[0] != kStartByte) return DecodeResult::BadStart;
    const std::size_t total = frameSize(data);
    if (total == 0) return DecodeResult::BadHeader;
    if (size < total) return DecodeResult::Truncated;
    if (size > total) return DecodeResult::TrailingBytes;
    if (!crcMatches(data, total)) return DecodeResult::BadCrc;
    out = fromBytes(data);
    return DecodeResult::Ok;
}

void StreamDecoder::drop(std::size_t count) {
    count = std::min(count, held_);
    std::memmove(buffer_.data(), buffer_.data() + count, held_ - count);
    held_ -= count;
}

bool StreamDecoder::extract(Frame& out) {
    while (held_ > 0) {
        if (buffer_[0] != kStartByte) {
            const auto* begin = buffer_.data();
            const auto skip =
                static_cast<std::size_t>(std::find(begin, begin + held_, kStartByte) - begin);
            dropped_ += skip;
            drop(skip);
            continue;
        }
        if (held_ < kHeaderSize) return false;
        const std::size_t total = frameSize(buffer_.data());
        if (total != 0 && held_ < total) return false;
        if (total != 0 && crcMatches(buffer_.data(), total)) {
            out = fromBytes(buffer_.data());
            drop(total);
            return true;
        }
        if (total != 0) ++crcErrors_;
        ++dropped_;
        drop(1);
    }
    return false;
}

} // namespace zrbus
