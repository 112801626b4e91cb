// The bus protocol codec: CRC, round trips, one-datagram decoding and the
// streaming decoder's resynchronisation.
#include "Frame.h"
#include "Link.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace zrbus;

namespace {

Request sampleRequest() {
    Request r;
    r.address = 0x12;
    r.command = 102;
    r.parameter = 0;
    r.data = {0, 63, 63, 0, 0};
    return r;
}

Frame requestFrame(std::uint8_t tag) {
    return makeRequest(sampleRequest(), tag);
}

std::vector<Frame> stream(StreamDecoder& d, const std::vector<std::uint8_t>& bytes) {
    std::vector<Frame> frames;
    d.feed(bytes.data(), bytes.size(), [&](const Frame& f) { frames.push_back(f); });
    return frames;
}

// Bytes written as in the protocol document: "A5 01 ...".
std::vector<std::uint8_t> hex(const char* text) {
    std::vector<std::uint8_t> out;
    for (char* end = nullptr;; text = end) {
        const unsigned long b = std::strtoul(text, &end, 16);
        if (end == text) return out;
        out.push_back(static_cast<std::uint8_t>(b));
    }
}

} // namespace

TEST(Crc16, ModbusCheckValue) {
    const char* text = "123456789";
    EXPECT_EQ(crc16(reinterpret_cast<const std::uint8_t*>(text), 9), 0x4B37);
    EXPECT_EQ(crc16(nullptr, 0), 0xFFFF);
}

// The worked example of the protocol document, byte for byte: a LAN
// connection's LineConfig (tag 1) and its ack, then identification item 2 of
// module 1 (tag 7) and the answer "1.04" with S = PWR. Literal bytes, so a
// field in the wrong place or byte order fails here even though encoder and
// decoder would agree with each other.
TEST(Frame, KnownBytesOfEveryType) {
    const Frame config = makeLineConfig({9600, 200}, 1);
    const Frame request = makeRequest({1, 200, 2, {}}, 7);
    const struct {
        Frame frame;
        const char* bytes;
    } rows[] = {
        {config, "A5 02 00 01 08 80 25 00 00 C8 00 00 00 02 4F"},
        {makeLineConfigAck(0, config), "A5 82 00 01 09 00 80 25 00 00 C8 00 00 00 60 36"},
        {request, "A5 01 01 07 07 C8 02 00 00 00 00 00 91 0E"},
        {makeAnswer({1, 0, 0x10, {'1', '.', '0', '4'}}, request),
         "A5 81 01 07 0D 00 10 31 2E 30 34 C8 02 00 00 00 00 00 BD 78"},
    };
    for (const auto& r : rows) {
        const auto bytes = hex(r.bytes);
        EXPECT_EQ(bytesOf(r.frame), bytes) << r.bytes;
        Frame back;
        EXPECT_EQ(decodeOne(bytes.data(), bytes.size(), back), DecodeResult::Ok) << r.bytes;
    }
}

TEST(Frame, RoundTripOfAllFourTypes) {
    Frame f;
    Request rq;
    ASSERT_EQ(decodeOne(bytesOf(makeRequest(sampleRequest(), 200)).data(), 14, f),
              DecodeResult::Ok);
    ASSERT_TRUE(readRequest(f, rq));
    EXPECT_EQ(f.tag, 200);
    EXPECT_EQ(rq.address, 0x12);
    EXPECT_EQ(rq.command, 102);
    EXPECT_EQ(rq.data[2], 63);

    Answer a{0xFF, 23, 0x80, {1, 2, 3, 4}}, ra;
    ASSERT_EQ(decodeOne(bytesOf(makeAnswer(a, requestFrame(9))).data(), 20, f), DecodeResult::Ok);
    ASSERT_TRUE(readAnswer(f, ra));
    EXPECT_FALSE(readRequest(f, rq));
    EXPECT_EQ(ra.address, 0xFF);
    EXPECT_EQ(ra.result, 23);
    EXPECT_EQ(ra.status, 0x80);
    EXPECT_EQ(ra.bytes[3], 4);
    EXPECT_EQ(f.tag, 9);

    LineConfig c{115200, 1000}, rc;
    ASSERT_EQ(decodeOne(bytesOf(makeLineConfig(c, 1)).data(), 15, f), DecodeResult::Ok);
    ASSERT_TRUE(readLineConfig(f, rc));
    EXPECT_EQ(rc.baud, 115200u);
    EXPECT_EQ(rc.waitMs, 1000u);

    std::uint8_t result = 0xEE;
    ASSERT_EQ(decodeOne(bytesOf(makeLineConfigAck(11, makeLineConfig(c, 2))).data(), 16, f),
              DecodeResult::Ok);
    ASSERT_TRUE(readLineConfigAck(f, result));
    EXPECT_EQ(result, 11);
}

TEST(Frame, EncodeRefusesSmallBufferAndBadLength) {
    std::uint8_t out[kMaxFrameSize];
    Frame f = makeRequest(sampleRequest(), 1);
    EXPECT_EQ(encode(f, out, 13), 0u);
    f.length = 8;
    EXPECT_EQ(encode(f, out, sizeof out), 0u);
}

TEST(Frame, DecodeOneRejectsDamagedDatagrams) {
    const auto good = bytesOf(makeRequest(sampleRequest(), 5));
    Frame f;
    EXPECT_EQ(decodeOne(good.data(), good.size() - 1, f), DecodeResult::Truncated);
    EXPECT_EQ(decodeOne(good.data(), 3, f), DecodeResult::Truncated);
    auto longer = good;
    longer.push_back(0);
    EXPECT_EQ(decodeOne(longer.data(), longer.size(), f), DecodeResult::TrailingBytes);
    std::vector<std::uint8_t> big(4096, 0xA5);
    EXPECT_NE(decodeOne(big.data(), big.size(), f), DecodeResult::Ok);
    for (std::size_t i = 0; i < good.size(); ++i) {
        auto bad = good;
        bad[i] ^= 0x10;
        EXPECT_NE(decodeOne(bad.data(), bad.size(), f), DecodeResult::Ok) << "byte " << i;
    }
    auto wrongLen = good;
    wrongLen[4] = 6; // a request must carry 7 payload bytes
    EXPECT_EQ(decodeOne(wrongLen.data(), wrongLen.size(), f), DecodeResult::BadHeader);
    auto unknownType = good;
    unknownType[1] = 0x03;
    EXPECT_EQ(decodeOne(unknownType.data(), unknownType.size(), f), DecodeResult::BadHeader);
}

TEST(Frame, AddressAndTagTravelUnchangedForMatching) {
    // The decoder does not match; it hands address and tag to whoever
    // matches an answer against its request.
    Answer a;
    a.address = 3;
    Frame f;
    ASSERT_EQ(decodeOne(bytesOf(makeAnswer(a, requestFrame(41))).data(), 20, f), DecodeResult::Ok);
    EXPECT_EQ(f.address, 3);
    EXPECT_EQ(f.tag, 41);
    EXPECT_EQ(f.type, FrameType::Answer);
}

// An answer is taken only for the very request it echoes: a request that
// differs in any byte (also one carrying the same 8-bit tag 256 frames
// later) is not answered by it.
TEST(Frame, AnswerMatchesOnlyTheRequestItEchoes) {
    const Frame request = requestFrame(7);
    const Frame answer = makeAnswer({request.address, 0, 0x40, {1, 2, 3, 4}}, request);
    EXPECT_TRUE(answers(answer, request));
    // Each row changes one byte of the request frame: header byte 2 (address)
    // or 3 (tag), or payload byte 0 (command), 1 (parameter), 2..6 (D1..D5).
    struct Row {
        const char* what;
        int header;
        int payload;
    } rows[] = {{"address", 2, -1},   {"tag", 3, -1}, {"command", -1, 0},
                {"parameter", -1, 1}, {"D1", -1, 2},  {"D2", -1, 3},
                {"D3", -1, 4},        {"D4", -1, 5},  {"D5", -1, 6}};
    for (const Row& r : rows) {
        Frame other = request;
        if (r.header == 2) ++other.address;
        if (r.header == 3) other.tag = static_cast<std::uint8_t>(other.tag + 1);
        if (r.payload >= 0) other.payload[static_cast<std::size_t>(r.payload)] ^= 0x01;
        EXPECT_FALSE(answers(answer, other)) << r.what;
    }
    EXPECT_FALSE(answers(request, request)) << "a request answers nothing";
    const Frame config = makeLineConfig({9600, 200}, 7);
    EXPECT_FALSE(answers(answer, config));
    EXPECT_TRUE(answers(makeLineConfigAck(0, config), config));
    EXPECT_FALSE(answers(makeLineConfigAck(0, config), makeLineConfig({19200, 200}, 7)));
    EXPECT_FALSE(answers(makeLineConfigAck(0, config), request));
}

TEST(StreamDecoder, FindsFramesAfterGarbageAndBetweenEachOther) {
    const auto req = bytesOf(makeRequest(sampleRequest(), 1));
    const auto ans = bytesOf(makeAnswer(Answer{}, requestFrame(2)));
    std::vector<std::uint8_t> s{0x00, 0xA5, 0xA5, 0x01, 0xFF, 0x13};
    s.insert(s.end(), req.begin(), req.end());
    s.insert(s.end(), {0xA5, 0x81});
    s.insert(s.end(), ans.begin(), ans.end());
    s.insert(s.end(), req.begin(), req.end());
    StreamDecoder d;
    const auto frames = stream(d, s);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].tag, 1);
    EXPECT_EQ(frames[1].type, FrameType::Answer);
    EXPECT_EQ(frames[2].tag, 1);
    EXPECT_EQ(d.held(), 0u);
    EXPECT_GT(d.droppedBytes(), 0u);
}

TEST(StreamDecoder, FrameHiddenInsideABadFrameIsFound) {
    // A header announcing a long frame whose bytes are a real, shorter frame:
    // after the checksum fails the decoder must rescan what it holds.
    const auto ans = bytesOf(makeAnswer(Answer{7, 0, 0, {}}, requestFrame(9)));
    std::vector<std::uint8_t> s{0xA5, 0x02, 0x00, 0x00, 0x08};
    s.insert(s.end(), ans.begin(), ans.end());
    StreamDecoder d;
    const auto frames = stream(d, s);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].address, 7);
    EXPECT_EQ(d.crcErrors(), 1u);
}

TEST(StreamDecoder, ByteByByteAndCorruptedFrameThenGood) {
    auto bad = bytesOf(makeRequest(sampleRequest(), 3));
    bad[7] ^= 1;
    const auto good = bytesOf(makeRequest(sampleRequest(), 4));
    StreamDecoder d;
    std::vector<Frame> frames;
    for (auto b : bad)
        d.feed(&b, 1, [&](const Frame& f) { frames.push_back(f); });
    EXPECT_TRUE(frames.empty());
    for (auto b : good)
        d.feed(&b, 1, [&](const Frame& f) { frames.push_back(f); });
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].tag, 4);
    EXPECT_EQ(d.crcErrors(), 1u);
}

TEST(StreamDecoder, TruncatedFrameIsHeldUntilResetOrCompleted) {
    const auto req = bytesOf(makeRequest(sampleRequest(), 6));
    StreamDecoder d;
    EXPECT_TRUE(stream(d, {req.begin(), req.begin() + 9}).empty());
    EXPECT_EQ(d.held(), 9u);
    d.reset();
    EXPECT_EQ(stream(d, req).size(), 1u);
}

TEST(StreamDecoder, LongRunOfStartBytesNeverOverflows) {
    StreamDecoder d;
    std::vector<std::uint8_t> s(1000, kStartByte);
    EXPECT_TRUE(stream(d, s).empty());
    EXPECT_LT(d.held(), kMaxFrameSize);
    EXPECT_EQ(stream(d, bytesOf(makeAnswer(Answer{}, requestFrame(1)))).size(), 1u);
}

TEST(LineSilence, ThreeAndAHalfCharactersAtLeastTwoMs) {
    EXPECT_EQ(lineSilenceMs(600), 59u);
    EXPECT_EQ(lineSilenceMs(1200), 30u);
    EXPECT_EQ(lineSilenceMs(9600), 4u);
    EXPECT_EQ(lineSilenceMs(115200), 2u);
}

// A scan's probe waits for the request and the whole answer, which echoes
// the request's payload: the frame sizes are those the encoder makes.
TEST(ProbeTimeout, CountsTheFramesAsEncoded) {
    EXPECT_EQ(bytesOf(requestFrame(1)).size(), kRequestFrameSize);
    EXPECT_EQ(bytesOf(makeAnswer(Answer{}, requestFrame(1))).size(), kAnswerFrameSize);
    EXPECT_EQ(kAnswerFrameSize, 20u);
    const struct { std::uint32_t baud, ms; } rows[] = {{600, 876}, {9600, 75}, {115200, 28}};
    for (const auto& r : rows)
        EXPECT_EQ(probeTimeoutMs(r.baud), r.ms) << r.baud;
}

// A probe's first character is due after the request, the silence, the
// turnaround and one character; the converter's report of it matches only
// the request it names.
TEST(FirstCharacter, DueTimeAndTheConvertersReport) {
    const struct {
        std::uint32_t baud, us, ms;
    } rows[] = {{600, 311000, 311}, {9600, 21625, 22}, {115200, 5303, 6}};
    for (const auto& r : rows) {
        EXPECT_EQ(firstCharacterTime(r.baud).count(), r.us) << r.baud;
        EXPECT_EQ(firstCharacterWaitMs(r.baud), r.ms) << r.baud;
    }
    const Frame request = requestFrame(7);
    const Frame begins = makeAnswerBegins(request);
    Frame decoded;
    const auto bytes = bytesOf(begins);
    ASSERT_EQ(bytes.size(), kRequestFrameSize);
    ASSERT_EQ(decodeOne(bytes.data(), bytes.size(), decoded), DecodeResult::Ok);
    EXPECT_TRUE(beginsAnswerTo(decoded, request));
    EXPECT_FALSE(answers(decoded, request));
    EXPECT_FALSE(beginsAnswerTo(decoded, requestFrame(8)));
    Request other = sampleRequest();
    other.data[1] = 62;
    EXPECT_FALSE(beginsAnswerTo(decoded, makeRequest(other, 7)));
    EXPECT_FALSE(beginsAnswerTo(request, request));
}
