#include "UdpLink.h"

#include "Codes.h"
#include "Texts.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <new>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include "zr683.h"

namespace zrbus {

namespace {

// More datagrams than a default receive buffer holds.
constexpr std::size_t kMaxDiscarded = 4096;

// The IP text of the block: on 64-bit builds inside the block from byte 12
// on, word 0 holding that offset; with 32-bit pointers word 0 points to it.
// Returns nullptr when there is no terminated text within bounds.
const char* ipText(const std::uint32_t* block, char (&copy)[ZR683_PARAM_BYTES]) {
    const char* text = nullptr;
    std::size_t room = ZR683_LAN_TEXT_MAX + 1;
    if (block[ZR683_LAN_IP] == ZR683_LAN_TEXT_OFFSET) {
        text = reinterpret_cast<const char*>(block) + ZR683_LAN_TEXT_OFFSET;
    } else if constexpr (sizeof(void*) == 4) {
        // Only with 32-bit pointers does word 0 hold the text's address itself.
        text = reinterpret_cast<const char*>( // NOLINT(performance-no-int-to-ptr)
            static_cast<std::uintptr_t>(block[ZR683_LAN_IP]));
        room = sizeof copy;
    }
    if (text == nullptr) return nullptr;
    const std::size_t len = strnlen(text, room);
    if (len == room) return nullptr;
    std::memcpy(copy, text, len + 1);
    return copy;
}

class UdpLink final : public Link {
public:
    UdpLink(int fd, const LanParameters& p) : fd_(fd), params_(p) {}
    ~UdpLink() override { ::close(fd_); }
    UdpLink(const UdpLink&) = delete;
    UdpLink& operator=(const UdpLink&) = delete;

    bool datagrams() const override { return true; }
    bool hasConverter() const override { return true; }
    std::uint32_t extraTimeoutMs() const override { return params_.timeoutMs; }
    // The converter reports an answer's first character itself; the
    // network's round trip is the caller's path time (zr683.h). What is left
    // is the scheduler's delay in handing the datagram over.
    std::chrono::microseconds deliveryAllowance(std::uint32_t /*baud*/) const override {
        return std::chrono::microseconds{1000};
    }
    bool readable() override {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
    }

    // Reads and drops the datagrams queued since the last exchange (late
    // answers, copies): left in the socket's receive buffer they would fill
    // it, and the kernel would drop the prompt answer to the request about
    // to go out. At most kMaxDiscarded, so a peer that keeps sending cannot
    // hold the request back.
    void discardPending() override {
        for (std::size_t i = 0; i < kMaxDiscarded; ++i) {
            std::uint8_t byte = 0;
            const ssize_t n = ::recv(fd_, &byte, 1, MSG_DONTWAIT | MSG_TRUNC);
            // ECONNREFUSED reports an earlier refusal and is cleared by it.
            if (n < 0 && errno != EINTR && errno != ECONNREFUSED) return;
        }
    }

    std::uint32_t send(const std::uint8_t* data, std::size_t size) override {
        for (;;) {
            const ssize_t n = ::send(fd_, data, size, 0);
            if (n == static_cast<ssize_t>(size)) return kOk;
            // A refusal left from an earlier datagram is reported on the next
            // call; try again once it is consumed.
            if (n < 0 && (errno == EINTR || errno == ECONNREFUSED)) continue;
            return kSendFailed;
        }
    }

    Receive receive(std::uint8_t* buffer, std::size_t capacity, std::size_t& size,
                    Clock::time_point deadline) override;

private:
    Receive refused() const;
    bool fromConverter(const sockaddr_in& from) const {
        return from.sin_family == AF_INET && ntohl(from.sin_addr.s_addr) == params_.address &&
               ntohs(from.sin_port) == params_.port;
    }

    int fd_;
    LanParameters params_;
};

// The kernel of the converter's address answered the request with "port
// unreachable": nothing listens at that port (a wrong port, a converter on
// this machine that is not running). The request discarded any refusal left
// from before, so this one is the request's own.
Receive UdpLink::refused() const {
    in_addr a{htonl(params_.address)};
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    setErrorDetail(kConverterUnreachable, "LAN převodník na " + std::string(text) + ":" +
                                              std::to_string(params_.port) +
                                              " neodpovídá (port nedostupný)");
    return Receive::Refused;
}

// Waits with ppoll on the time left, which ends within a fraction of a
// millisecond of the deadline; a socket's receive time-out would count in
// scheduler ticks, rounded up, and end the wait milliseconds late. The read
// after it does not block: a datagram the kernel drops on reading (a bad
// checksum) leaves nothing to read, and the caller waits on.
Receive UdpLink::receive(std::uint8_t* buffer, std::size_t capacity, std::size_t& size,
                         Clock::time_point deadline) {
    const auto now = Clock::now();
    if (now >= deadline) return Receive::Timeout;
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now);
    const timespec ts{static_cast<time_t>(left.count() / 1000000000),
                      static_cast<long>(left.count() % 1000000000)};
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::ppoll(&p, 1, &ts, nullptr);
    if (ready == 0) return Receive::Timeout;
    if (ready < 0) return errno == EINTR ? Receive::Nothing : Receive::Error;
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    const ssize_t n = ::recvfrom(fd_, buffer, capacity, MSG_TRUNC | MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (n < 0 && errno == ECONNREFUSED) return refused();
    if (n < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? Receive::Nothing
                                                                           : Receive::Error;
    if (!fromConverter(from)) return Receive::Nothing;
    size = static_cast<std::size_t>(n);
    return Receive::Data;
}

} // namespace

bool isUsableUnicast(std::uint32_t a) {
    const std::uint32_t first = a >> 24;
    // 0.0.0.0/8 "this network", 224/4 multicast, 240/4 reserved including
    // the limited broadcast 255.255.255.255.
    return first != 0 && first < 224;
}

std::uint32_t readLanParameters(const std::uint32_t* block, LanParameters& out) {
    if (block == nullptr) return kNullArgument;
    char copy[ZR683_PARAM_BYTES];
    const char* text = ipText(block, copy);
    in_addr addr{};
    if (text == nullptr || ::inet_pton(AF_INET, text, &addr) != 1) return kBadAddress;
    if (!isUsableUnicast(ntohl(addr.s_addr))) return kBadAddress;
    if (block[ZR683_LAN_PORT] == 0 || block[ZR683_LAN_PORT] > 0xFFFF) return kBadPort;
    if (block[ZR683_LAN_TIMEOUT] > 0xFFFF) return kBadTimeout;
    out.address = ntohl(addr.s_addr);
    out.port = static_cast<std::uint16_t>(block[ZR683_LAN_PORT]);
    out.timeoutMs = block[ZR683_LAN_TIMEOUT];
    return kOk;
}

std::uint32_t openUdpLink(const LanParameters& params, std::unique_ptr<Link>& out) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return kOpenFailed;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(params.address);
    to.sin_port = htons(params.port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        // EACCES: the address is a broadcast address of a local network,
        // which a socket without broadcast permission may not reach.
        const int why = errno;
        ::close(fd);
        return why == EACCES ? kBadAddress : kOpenFailed;
    }
    out.reset(new (std::nothrow) UdpLink(fd, params));
    if (!out) {
        ::close(fd);
        return kInternal;
    }
    return kOk;
}

} // namespace zrbus
