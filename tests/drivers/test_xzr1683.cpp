// XZR1683.so as the program sees it: loaded by name, driven through its
// seven entry points against a UDP peer on 127.0.0.1.
#include "Codes.h"
#include "Scenarios.h"
#include "Udp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

using namespace zrbus;
using Ms = std::chrono::milliseconds;

namespace {

constexpr std::uint32_t kBaud = 9600;

std::set<std::string> exportedFunctions(const std::string& path) {
    std::set<std::string> names;
    const std::string cmd = "nm -D --defined-only --format=posix '" + path + "'";
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) return names;
    char name[256], type = 0;
    while (std::fscanf(p, "%255s %c%*[^\n]", name, &type) == 2)
        names.insert(name);
    pclose(p);
    return names;
}

struct Outcome {
    std::uint32_t rc = 0xDEAD, result = 0xDEAD, status = 0xDEAD;
    std::array<std::uint32_t, ZR683_ANSWER_WORDS> answer{};
};

class Xzr1683 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(lib.load()) << Xzr::path();
        answer.fill(0xDEAD);
    }
    void TearDown() override { lib.Done(&h); }

    // Opens a connection to the peer and sets the line up.
    void open(std::uint32_t udpTimeout = 1000, std::uint32_t wait = 200) {
        const auto block = lanBlock("127.0.0.1", peer.port(), udpTimeout);
        ASSERT_EQ(lib.init(&h, block.data()), kOk);
        ASSERT_NE(h, 0u);
        ASSERT_EQ(lib.SetConfig(h, kBaud, wait, 2), kOk);
    }

    Outcome send(std::uint8_t address = 5, std::uint8_t command = 100, std::uint8_t param = 0,
                 std::array<std::uint8_t, 5> data = {}) {
        std::array<std::uint32_t, ZR683_REQUEST_WORDS> rq{};
        rq[0] = address;
        rq[1] = command;
        rq[2] = param;
        std::copy(data.begin(), data.end(), rq.begin() + 3);
        Outcome o;
        o.answer.fill(0xDEAD);
        o.rc = lib.Send(h, rq.data(), o.answer.data(), &o.status, &o.result);
        return o;
    }

    Xzr lib;
    Peer peer;
    std::uint32_t h = 0;
    std::array<std::uint32_t, ZR683_ANSWER_WORDS> answer{};
};

std::vector<std::uint8_t> answerBytes(const Frame& req, std::uint8_t a1, std::uint8_t result = 0,
                                      std::uint8_t tagOffset = 0) {
    Frame a = makeAnswer({req.address, result, 0x11, {a1, 0, 0, 0}}, req);
    a.tag = static_cast<std::uint8_t>(a.tag + tagOffset);
    return bytesOf(a);
}

} // namespace

// Each of the five libraries in build/bin exports the seven entry points of
// the contract under its own name, undecorated, and nothing else.
TEST(DriverExports, ExactlyTheSevenEntryPointsUndecorated) {
    for (const char* name : ZR683_LIBRARY_NAMES) {
        DriverLibrary lib(ZR_BIN_DIR, name);
        ASSERT_TRUE(lib.opened()) << lib.error();
        EXPECT_EQ(lib.entry<zr683_version_fn>("Version")(), 100u) << name;
        std::set<std::string> want;
#define ZR_EXPORT_NAME(e) want.insert(std::string(name) + "_" #e);
        ZR683_ENTRY_POINTS(ZR_EXPORT_NAME)
#undef ZR_EXPORT_NAME
        EXPECT_EQ(exportedFunctions(DriverLibrary::path(ZR_BIN_DIR, name)), want) << name;
    }
}

TEST_F(Xzr1683, ExchangeCarriesRequestAndAnswer) {
    open();
    EXPECT_EQ(peer.received(), 1); // Init sent nothing; SetConfig told the converter
    LineConfig cfg;
    ASSERT_TRUE(readLineConfig(peer.lastRequest(), cfg));
    EXPECT_EQ(cfg.baud, kBaud);
    EXPECT_EQ(cfg.waitMs, 200u);

    const Outcome o = send(7, 102, 0);
    EXPECT_EQ(o.rc, kOk);
    EXPECT_EQ(o.result, kOk);
    EXPECT_EQ(o.status, 0x40u);
    EXPECT_EQ(o.answer[0], 1u);
    EXPECT_EQ(o.answer[3], 4u);
    Request rq;
    ASSERT_TRUE(readRequest(peer.lastRequest(), rq));
    EXPECT_EQ(rq.address, 7);
    EXPECT_EQ(rq.command, 102);

    std::uint32_t baud = 0, wait = 0, constant = 0;
    EXPECT_EQ(lib.GetConfig(h, &baud, &wait, &constant), kOk);
    EXPECT_EQ(baud, kBaud);
    EXPECT_EQ(wait, 200u);
    EXPECT_EQ(constant, 2u);
}

TEST_F(Xzr1683, TimeOutIsWaitPlusUdpTimeoutAndNextTransactionWorks) {
    open(40, 60);
    peer.setHandler([](Peer&, const Frame&, const sockaddr_in&) {});
    const auto start = std::chrono::steady_clock::now();
    const Outcome o = send();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(o.rc, kTimeout);
    EXPECT_EQ(o.result, kTimeout);
    EXPECT_EQ(o.status, 0u);
    EXPECT_EQ(o.answer[0], 0u);
    EXPECT_GE(took, Ms(100));
    EXPECT_LT(took, Ms(2000));
    peer.setHandler(Peer::answerNormally);
    EXPECT_EQ(send().rc, kOk);
}

TEST_F(Xzr1683, AnswersFromAnotherPortOrForAnotherRequestAreIgnored) {
    open();
    peer.setHandler([](Peer& p, const Frame& f, const sockaddr_in& from) {
        if (f.type != FrameType::Request) return;
        p.other.sendTo(answerBytes(f, 0xEE), from); // right frame, wrong port
        p.reply(answerBytes(f, 0xE1, 0, 1), from);  // wrong tag
        Frame wrongAddress =
            makeAnswer({static_cast<std::uint8_t>(f.address + 1), 0, 0, {0xE2}}, f);
        p.reply(bytesOf(wrongAddress), from);
        p.reply(bytesOf(makeRequest({f.address, 0, 0, {0xE3}}, f.tag)), from); // not an answer
        p.reply(answerBytes(f, 0x42), from);
    });
    const Outcome o = send();
    EXPECT_EQ(o.rc, kOk);
    EXPECT_EQ(o.answer[0], 0x42u);
}

TEST_F(Xzr1683, GarbageDatagramsAreIgnored) {
    open();
    peer.setHandler([](Peer& p, const Frame& f, const sockaddr_in& from) {
        if (f.type != FrameType::Request) return;
        auto good = answerBytes(f, 0x42);
        auto corrupt = good;
        corrupt[6] ^= 0xFF;
        p.reply(corrupt, from);
        p.reply({good.begin(), good.end() - 1}, from); // truncated
        auto longer = good;
        longer.push_back(0);
        p.reply(longer, from);
        std::vector<std::uint8_t> big(2000, 0xA5);
        std::copy(good.begin(), good.end(), big.begin());
        p.reply(big, from); // oversized, starting with a valid frame
        p.reply({0x13, 0x37, 0x00}, from);
        p.reply({}, from);
        p.reply(good, from);
    });
    const Outcome o = send();
    EXPECT_EQ(o.rc, kOk);
    EXPECT_EQ(o.answer[0], 0x42u);
}

TEST_F(Xzr1683, OnlyCorruptedAnswersGiveChecksumError) {
    open(30, 30);
    peer.setHandler([](Peer& p, const Frame& f, const sockaddr_in& from) {
        auto bad = answerBytes(f, 1);
        bad.back() ^= 1;
        p.reply(bad, from);
    });
    EXPECT_EQ(send().rc, kBadCrc);
}

TEST_F(Xzr1683, LateAndDuplicatedAnswersAreNotTakenForTheNextRequest) {
    open(30, 30);
    std::promise<Frame> firstSeen;
    peer.setHandler([&](Peer&, const Frame& f, const sockaddr_in&) { firstSeen.set_value(f); });
    EXPECT_EQ(send().rc, kTimeout);
    const Frame first = firstSeen.get_future().get();
    const sockaddr_in lib = peer.lastFrom();
    peer.reply(answerBytes(first, 0xAA), lib); // late: arrives between the requests

    // After the time-out the library sets the converter's line again first.
    peer.setHandler([first](Peer& p, const Frame& f, const sockaddr_in& from) {
        if (f.type == FrameType::LineConfig) return Peer::answerNormally(p, f, from);
        p.reply(answerBytes(first, 0xAB), from); // duplicate of the late one
        p.reply(answerBytes(f, 0xBB), from);
        p.reply(answerBytes(f, 0xBC), from); // duplicate of this one
    });
    Outcome o = send();
    EXPECT_EQ(o.rc, kOk);
    EXPECT_EQ(o.answer[0], 0xBBu);
    peer.setHandler([](Peer& p, const Frame& f, const sockaddr_in& from) {
        p.reply(answerBytes(f, 0xCC), from);
    });
    o = send();
    EXPECT_EQ(o.rc, kOk);
    EXPECT_EQ(o.answer[0], 0xCCu);
}

TEST_F(Xzr1683, ModuleResultIsPassedThroughAndUnknownResultRefused) {
    open();
    peer.setHandler([](Peer& p, const Frame& f, const sockaddr_in& from) {
        p.reply(answerBytes(f, 9, f.payload[0] == 1 ? kModuleUnknownRegister : 150), from);
    });
    Outcome o = send(5, 1);
    EXPECT_EQ(o.rc, kModuleUnknownRegister);
    EXPECT_EQ(o.result, kModuleUnknownRegister);
    EXPECT_EQ(o.status, 0x11u);
    EXPECT_EQ(o.answer[0], 9u);
    o = send(5, 2);
    EXPECT_EQ(o.rc, kBadAnswer);
    EXPECT_EQ(o.result, kBadAnswer);
    // Like every failure, an answer that cannot be trusted hands on no bytes.
    EXPECT_EQ(o.status, 0u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(o.answer[i], 0u) << i;
}

namespace {

// A read of register `reg` (command 102, the register number twice).
constexpr std::array<std::uint8_t, 5> readOf(std::uint8_t reg) {
    return {0, reg, reg, 0, 0};
}

} // namespace

// The answer to a request that timed out comes late, exactly when the 8-bit
// tag has come round to it again (256 frames later) and the library waits
// for the answer to a read of another register; the right answer follows.
TEST_F(Xzr1683, ALateAnswerIsNotTakenForTheRequestThatReusesItsTag) {
    open(0, 30);
    auto module = std::make_shared<scenario::TagWrapModule>();
    peer.setHandler([module](Peer& p, const Frame& f, const sockaddr_in& from) {
        if (f.type == FrameType::LineConfig) return Peer::answerNormally(p, f, from);
        for (const auto& bytes : module->answer(f))
            p.reply(bytes, from);
    });
    scenario::expectLateAnswerNotTakenAfterTagWrap(
        [this](std::uint8_t reg) {
            const Outcome o = send(5, 102, 0, readOf(reg));
            return scenario::RegisterRead{o.rc, static_cast<std::uint8_t>(o.answer[0]),
                                          static_cast<std::uint8_t>(o.answer[2])};
        },
        {});
    EXPECT_TRUE(module->lateAnswerSent());
}

// Hundreds of late copies of an answer arrive between two exchanges: they
// are thrown away before the next request goes out, so they cannot fill the
// socket's receive buffer and push out the prompt answer to it.
TEST_F(Xzr1683, StaleDatagramsDoNotCrowdOutTheNextAnswers) {
    open(0, 200);
    peer.setHandler([](Peer&, const Frame&, const sockaddr_in&) {});
    ASSERT_EQ(send().rc, kTimeout);
    const Frame timedOut = peer.lastRequest();
    const std::vector<std::uint8_t> late = scenario::TagWrapModule::registerAnswer(timedOut);
    for (int i = 0; i < 2000; ++i)
        peer.main.sendTo(late, peer.lastFrom());
    peer.setHandler(Peer::answerNormally);
    int failed = 0;
    for (int i = 0; i < 20; ++i)
        failed += send().rc != kOk;
    EXPECT_EQ(failed, 0);
}

TEST_F(Xzr1683, BadIpTextsAreRefusedWithoutOpening) {
    const char* texts[] = {
        "",          "localhost",  "127.0.0.1x", "127.0.0", "0.0.0.0",   "255.255.255.255",
        "224.0.0.1", " 127.0.0.1", "127.0.0.01", "::1",     "999.1.1.1", "127.255.255.255"};
    for (const char* t : texts) {
        auto block = lanBlock(t, peer.port(), 100);
        h = 77;
        EXPECT_EQ(lib.init(&h, block.data()), kBadAddress) << '"' << t << '"';
        EXPECT_EQ(h, 0u);
    }
    auto block = lanBlock("127.0.0.1", peer.port(), 100);
    std::memset(reinterpret_cast<char*>(block.data()) + ZR683_LAN_TEXT_OFFSET, '1',
                ZR683_PARAM_BYTES - ZR683_LAN_TEXT_OFFSET); // not terminated
    EXPECT_EQ(lib.init(&h, block.data()), kBadAddress);
    block = lanBlock("127.0.0.1", peer.port(), 100);
    block[ZR683_LAN_IP] = 0x1234; // not the text offset
    EXPECT_EQ(lib.init(&h, block.data()), kBadAddress);
    EXPECT_EQ(lib.init(&h, lanBlock("127.0.0.1", 0, 100).data()), kBadPort);
    EXPECT_EQ(lib.init(&h, lanBlock("127.0.0.1", 70000, 100).data()), kBadPort);
    EXPECT_EQ(lib.init(&h, lanBlock("127.0.0.1", 5000, 70000).data()), kBadTimeout);
    EXPECT_EQ(lib.init(&h, nullptr), kNullArgument);
    EXPECT_EQ(lib.init(nullptr, block.data()), kNullArgument);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(peer.received(), 0);
}

TEST_F(Xzr1683, UnknownHandleTouchesNothingAndDoneTwiceIsHarmless) {
    open();
    std::array<std::uint32_t, ZR683_REQUEST_WORDS> rq{};
    std::uint32_t status = 9, result = 9;
    for (std::uint32_t bad : {0u, 99u, h + 1}) {
        EXPECT_EQ(lib.Send(bad, rq.data(), answer.data(), &status, &result), kBadHandle);
        EXPECT_EQ(result, kBadHandle);
        EXPECT_EQ(lib.SetConfig(bad, kBaud, 200, 2), kBadHandle);
        std::uint32_t other = bad;
        EXPECT_EQ(lib.Done(&other), bad == 0 ? kOk : kBadHandle);
    }
    EXPECT_EQ(peer.received(), 1);
    EXPECT_EQ(send().rc, kOk); // the open connection is untouched

    const std::uint32_t old = h;
    EXPECT_EQ(lib.Done(&h), kOk);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(lib.Done(&h), kOk);
    h = old;
    EXPECT_EQ(lib.Done(&h), kBadHandle);
    EXPECT_EQ(send().rc, kBadHandle);
    h = 0;
}

TEST_F(Xzr1683, LineSetUpGuards) {
    ASSERT_EQ(lib.init(&h, lanBlock("127.0.0.1", peer.port(), 1000).data()), kOk);
    EXPECT_EQ(send().rc, kNotConfigured);
    EXPECT_EQ(lib.SetConfig(h, 9601, 200, 2), kBadBaud);
    EXPECT_EQ(lib.SetConfig(h, kBaud, 200, 3), kBadConstant);
    EXPECT_EQ(peer.received(), 0);
    peer.setHandler([](Peer& p, const Frame& f, const sockaddr_in& from) {
        p.reply(bytesOf(makeLineConfigAck(kBadBaud, f)), from);
    });
    EXPECT_EQ(lib.SetConfig(h, kBaud, 200, 2), kBadBaud);
    peer.setHandler(Peer::answerNormally);
    EXPECT_EQ(lib.SetConfig(h, kBaud, 200, 2), kOk);

    std::array<std::uint32_t, ZR683_REQUEST_WORDS> rq{};
    rq[1] = 256; // a word that does not hold a byte
    std::uint32_t status = 0, result = 0;
    EXPECT_EQ(lib.Send(h, rq.data(), answer.data(), &status, &result), kRequestNotBuilt);
    EXPECT_EQ(lib.Send(h, rq.data(), nullptr, &status, &result), kNullArgument);
    EXPECT_EQ(result, kNullArgument);
}

TEST_F(Xzr1683, ErrorTextsInWindows1250) {
    std::array<std::uint32_t, ZR683_ERROR_CHARS> buf{};
    for (std::uint32_t code = 0; code <= 99; ++code) {
        buf.fill(0xFFFF);
        ASSERT_EQ(lib.Error(code, buf.data()), kOk);
        EXPECT_EQ(buf[0], 0u);
        EXPECT_NE(buf[1], 0u) << code;
        for (std::uint32_t c : buf) {
            EXPECT_LT(c, 256u);
            EXPECT_NE(c, static_cast<std::uint32_t>('?')) << code;
        }
    }
    ASSERT_EQ(lib.Error(kBadAddress, buf.data()), kOk);
    const std::string want = "neplatn\xE1 IP adresa";
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(buf[i + 1], static_cast<unsigned char>(want[i]));
    EXPECT_EQ(buf[want.size() + 1], 0u);
    ASSERT_EQ(lib.Error(kTimeout, buf.data()), kOk); // "neodpověděl": e-caron is 0xEC
    EXPECT_EQ(buf[14], 0xECu);
    EXPECT_EQ(lib.Error(0, nullptr), kNullArgument);
}

TEST_F(Xzr1683, EachConnectionStartsItsTagsAtARandomValue) {
    std::set<std::uint8_t> firstTags; // of each connection's LineConfig
    for (int i = 0; i < 8; ++i, lib.Done(&h)) {
        open();
        firstTags.insert(peer.lastRequest().tag);
    }
    EXPECT_GT(firstTags.size(), 1u); // all eight alike: once in 2^56 runs
}
