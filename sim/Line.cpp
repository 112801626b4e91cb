#include "Line.h"

#include "Codes.h"
#include "LineTiming.h"
#include "zr683.h"

#include <algorithm>

namespace zrsim {

namespace {

// A damaged frame still starts like one, so the receiver reads it as a frame
// whose checksum fails: one payload bit flipped.
void corrupt(std::vector<std::uint8_t>& bytes) {
    if (bytes.size() > zrbus::kHeaderSize) bytes[zrbus::kHeaderSize] ^= 0x01;
}

// Two answers sent at once: where either drives a 0 the line shows a 0, so
// the receiver sees a frame start (both start alike) with the mixture of the
// two payloads behind it, which fails the frame check, as a real collision
// does (two identical answers would mix to a valid frame: it is damaged the
// same way).
std::vector<std::uint8_t> collide(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    for (std::size_t i = zrbus::kHeaderSize; i < a.size() && i < b.size(); ++i)
        a[i] &= b[i];
    zrbus::Frame f;
    if (zrbus::decodeOne(a.data(), a.size(), f) == zrbus::DecodeResult::Ok) corrupt(a);
    return a;
}

zrbus::Frame answerFrame(const zrbus::Request& in, const Reply& r, const zrbus::Frame& request) {
    return zrbus::makeAnswer(zrbus::Answer{in.address, r.result, r.status, r.answer}, request);
}

} // namespace

std::vector<Outgoing> answerRequest(Simulator& sim, const zrbus::Frame& frame,
                                    std::uint32_t lineBaud) {
    zrbus::Request in;
    if (!zrbus::readRequest(frame, in)) return {};
    const Outcome o =
        sim.transact(Request{in.address, in.command, in.parameter, in.data}, lineBaud);
    if (!o.reply || o.delivery.lost) return {};
    zrbus::Frame reply = answerFrame(in, *o.reply, frame);
    if (o.overlapping)
        return {Outgoing{collide(bytesOf(reply), bytesOf(answerFrame(in, *o.overlapping, frame))),
                         o.delivery.delayMs}};
    // A tag far from the request's, so it cannot pass for the next request's either.
    if (o.delivery.mismatch) reply.tag ^= 0x80;
    Outgoing out{bytesOf(reply), o.delivery.delayMs};
    if (o.delivery.corrupt) corrupt(out.bytes);
    std::vector<Outgoing> all{out};
    if (o.delivery.duplicate) all.push_back(out);
    return all;
}

std::vector<Outgoing> LanConverter::configure(const zrbus::Frame& frame) {
    zrbus::LineConfig c;
    zrbus::readLineConfig(frame, c);
    const bool known = std::find(Sbernice::RychlostiBd.begin(), Sbernice::RychlostiBd.end(),
                                 c.baud) != Sbernice::RychlostiBd.end();
    if (known) {
        lineBaud_ = c.baud;
        probe_ = (c.waitMs & ZR683_WAIT_FIRST_CHARACTER) != 0;
    }
    const auto result = static_cast<std::uint8_t>(known ? zrbus::kOk : zrbus::kBadBaud);
    return {Outgoing{bytesOf(zrbus::makeLineConfigAck(result, frame)), 0}};
}

// The request on the converter's line: the answers with their time on the
// line, the report of the first character ahead of them in probe mode.
std::vector<Outgoing> LanConverter::onLine(const zrbus::Frame& request) {
    const std::uint32_t baud = lineBaud();
    std::vector<Outgoing> out = answerRequest(sim_, request, baud);
    if (out.empty()) return out;
    const auto before = zrbus::lineTime(zrbus::kRequestFrameSize, baud) +
                        std::chrono::milliseconds(zrbus::lineSilenceMs(baud));
    if (lineTime_)
        for (Outgoing& o : out)
            o.onLine = before + zrbus::lineTime(o.bytes.size(), baud);
    if (probe_) {
        Outgoing begins{zrbus::bytesOf(zrbus::makeAnswerBegins(request)), out.front().delayMs};
        if (lineTime_) begins.onLine = before + zrbus::lineTime(1, baud);
        out.insert(out.begin(), std::move(begins));
    }
    return out;
}

std::vector<Outgoing> LanConverter::datagram(const std::uint8_t* data, std::size_t size) {
    zrbus::Frame frame;
    if (zrbus::decodeOne(data, size, frame) == zrbus::DecodeResult::Ok) {
        if (frame.type == zrbus::FrameType::LineConfig) return configure(frame);
        if (frame.type == zrbus::FrameType::Request) return onLine(frame);
    }
    ++ignored_;
    return {};
}

} // namespace zrsim
