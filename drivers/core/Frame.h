// The bus protocol's frames: encoder, one-datagram decoder and a streaming
// decoder that resynchronises after garbage. Pure code, no I/O, so the
// driver libraries, the module simulator, the tests and the fuzz target all
// share it. docs/bus-protocol.md describes the layout on the wire.
//
// Frame on the wire (all frames):
//   byte 0        start byte 0xA5
//   byte 1        frame type (see FrameType)
//   byte 2        module address (0..255)
//   byte 3        tag: chosen by the sender of a request, echoed in its answer
//   byte 4        payload length n (fixed per type)
//   bytes 5..4+n  payload; an answering frame ends with the whole payload
//                 of the request it answers, echoed byte for byte
//   then          CRC-16/MODBUS over bytes 0..4+n, low byte first
#pragma once

#include "LineTiming.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zrbus {

constexpr std::uint8_t kStartByte = 0xA5;

enum class FrameType : std::uint8_t {
    Request = 0x01,       // library -> module: command, parameter, D1..D5
    Answer = 0x81,        // module -> library: result, status S, A1..A4, the request's payload
    LineConfig = 0x02,    // library -> LAN converter: baud rate, wait value
    LineConfigAck = 0x82, // LAN converter -> library: result, the LineConfig's payload
    AnswerBegins = 0x83,  // LAN converter -> library: an answer has begun on the line (probe)
};

// Payload length of a frame type, 0 for a type the protocol does not know.
std::size_t payloadLength(std::uint8_t type);

struct Frame {
    FrameType type = FrameType::Request;
    std::uint8_t address = 0;
    std::uint8_t tag = 0;
    std::uint8_t length = 0;
    std::array<std::uint8_t, kMaxPayload> payload{};
};

// The contents of the four frame types.
struct Request {
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    std::uint8_t parameter = 0;
    std::array<std::uint8_t, 5> data{}; // D1..D5
};

struct Answer {
    std::uint8_t address = 0;
    std::uint8_t result = 0;             // 0 done; 1..99 the module's code for a refused command
    std::uint8_t status = 0;             // the module's status byte S
    std::array<std::uint8_t, 4> bytes{}; // A1..A4
};

struct LineConfig {
    std::uint32_t baud = 0;   // line rate in Bd
    std::uint32_t waitMs = 0; // the answer wait value handed to _SetConfig
};

// CRC-16/MODBUS: polynomial 0x8005 reflected (0xA001), initial value 0xFFFF,
// input and output reflected, no final XOR. "123456789" gives 0x4B37.
std::uint16_t crc16(const std::uint8_t* data, std::size_t size, std::uint16_t crc = 0xFFFF);

Frame makeRequest(const Request& request, std::uint8_t tag);
Frame makeLineConfig(const LineConfig& config, std::uint8_t tag);
// The answering frames take the tag of the frame they answer and echo its
// payload; the answer's address is the one in `answer`.
Frame makeAnswer(const Answer& answer, const Frame& request);
Frame makeLineConfigAck(std::uint8_t result, const Frame& lineConfig);
// The converter's report that the first character of an answer to `request`
// arrived on its line: the request's address and tag, its payload echoed.
Frame makeAnswerBegins(const Frame& request);
// True when `frame` is that report for exactly `request`.
bool beginsAnswerTo(const Frame& frame, const Frame& request);

// The frame type that answers a frame type (Request -> Answer,
// LineConfig -> LineConfigAck).
FrameType answerTypeOf(FrameType request);
// True when `answer` answers exactly `request`: the answering type, the
// request's address and tag, and the request's whole payload echoed. An
// answer to any other request, also one that carries the same 8-bit tag
// 256 frames later, differs in at least one of them unless both requests
// are the same.
bool answers(const Frame& answer, const Frame& request);

// Each returns false when the frame is not of that type.
bool readRequest(const Frame& frame, Request& out);
bool readAnswer(const Frame& frame, Answer& out);
bool readLineConfig(const Frame& frame, LineConfig& out);
bool readLineConfigAck(const Frame& frame, std::uint8_t& result);

// Writes the frame into out; returns its size, or 0 when it does not fit or
// its length does not match its type.
std::size_t encode(const Frame& frame, std::uint8_t* out, std::size_t capacity);
// The frame's bytes; empty when encode refuses it.
std::vector<std::uint8_t> bytesOf(const Frame& frame);

enum class DecodeResult : std::uint8_t {
    Ok,
    Truncated,     // fewer bytes than the header announces
    BadStart,      // first byte is not the start byte
    BadHeader,     // unknown type or wrong length for the type
    BadCrc,        // checksum does not match
    TrailingBytes, // more bytes than one frame
};

// Decodes exactly one frame (one UDP datagram carries exactly one frame).
DecodeResult decodeOne(const std::uint8_t* data, std::size_t size, Frame& out);

// Streaming decoder for a byte stream (serial line). Feed bytes as they
// arrive; every complete valid frame is handed to the callback. After a bad
// start, header or checksum it drops one byte and searches again for a start
// byte in what it holds, so a frame right after garbage is still found.
class StreamDecoder {
public:
    template <class OnFrame>
    void feed(const std::uint8_t* data, std::size_t size, OnFrame&& onFrame) {
        for (std::size_t i = 0; i < size; ++i) {
            buffer_[held_++] = data[i];
            Frame frame;
            while (extract(frame))
                onFrame(static_cast<const Frame&>(frame));
        }
    }
    // Forgets a partial frame, e.g. after a silence on the line.
    void reset() { held_ = 0; }
    std::size_t held() const { return held_; }
    // Bytes dropped while searching for a frame, and frames with a bad CRC.
    std::size_t droppedBytes() const { return dropped_; }
    std::size_t crcErrors() const { return crcErrors_; }

private:
    bool extract(Frame& out);
    void drop(std::size_t count);

    std::array<std::uint8_t, kMaxFrameSize> buffer_{};
    std::size_t held_ = 0;
    std::size_t dropped_ = 0;
    std::size_t crcErrors_ = 0;
};

} // namespace zrbus
