// The LAN transport below the library's entry points: what it throws away
// before a request goes out.
#include "Codes.h"
#include "Udp.h"
#include "UdpLink.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sys/socket.h>

using namespace zrbus;

namespace {

// True when a datagram is waiting on the link (receive gives Data before
// a short deadline passes).
bool somethingPending(Link& link) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(20);
    std::array<std::uint8_t, 64> buffer{};
    for (;;) {
        std::size_t size = 0;
        const Receive r = link.receive(buffer.data(), buffer.size(), size, deadline);
        if (r == Receive::Data) return true;
        if (r == Receive::Timeout || r == Receive::Error) return false;
    }
}

} // namespace

// Late answers that queued up since the last exchange are gone before the
// next request: more of them than the socket's receive buffer holds would
// otherwise make the kernel drop the prompt answer to that request.
TEST(UdpLink, DiscardsWhatQueuedUpBeforeTheNextRequest) {
    UdpSocket converter;
    std::unique_ptr<Link> link;
    ASSERT_EQ(openUdpLink({0x7F000001, converter.port(), 0}, link), kOk);
    const auto request = bytesOf(makeRequest({1, 102, 0, {0, 62, 62, 0, 0}}, 1));
    ASSERT_EQ(link->send(request.data(), request.size()), kOk);
    std::array<std::uint8_t, 64> in{};
    sockaddr_in from{};
    socklen_t len = sizeof from;
    ASSERT_EQ(
        ::recvfrom(converter.fd, in.data(), in.size(), 0, reinterpret_cast<sockaddr*>(&from), &len),
        static_cast<ssize_t>(request.size()));
    Frame f;
    ASSERT_EQ(decodeOne(in.data(), request.size(), f), DecodeResult::Ok);
    const auto late = bytesOf(makeAnswer({1, 0, 0, {62, 0, 4, 0}}, f));
    for (int i = 0; i < 500; ++i)
        converter.sendTo(late, from);
    link->discardPending();
    EXPECT_FALSE(somethingPending(*link));
    // What comes after the discarding is received as before.
    converter.sendTo(late, from);
    EXPECT_TRUE(somethingPending(*link));
}
