// POSIX sockets.
#include "UdpEndpoint.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

namespace zrsim {

namespace {

// Larger than any frame, so an oversized datagram is seen as such.
constexpr std::size_t kReceiveBuffer = 512;

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

} // namespace

// An answer on its way back, held until it is due.
struct UdpEndpointPending {
    sockaddr_in to;
    std::vector<std::uint8_t> bytes;
};

UdpEndpoint::UdpEndpoint(Simulator& sim, UdpEndpointConfig config)
    : config_(std::move(config)), converter_(sim, 9600, config_.lineTime) {}

UdpEndpoint::~UdpEndpoint() {
    stop();
}

bool UdpEndpoint::start(std::string& error) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(config_.port);
    if (::inet_pton(AF_INET, config_.bindAddress.c_str(), &addr.sin_addr) != 1) {
        error = "not an IPv4 address: " + config_.bindAddress;
        return false;
    }
    socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::pipe(wake_) != 0) {
        error = "cannot bind UDP " + config_.bindAddress + ":" + std::to_string(config_.port) +
                ": " + std::strerror(errno);
        stop();
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
    return true;
}

void UdpEndpoint::stop() {
    if (thread_.joinable()) {
        const char c = 'q';
        [[maybe_unused]] const auto n = ::write(wake_[1], &c, 1);
        thread_.join();
    }
    closeFd(socket_);
    closeFd(wake_[0]);
    closeFd(wake_[1]);
}

namespace {

void sendAnswer(int socket, const UdpEndpointPending& p) {
    ::sendto(socket, p.bytes.data(), p.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&p.to),
             sizeof p.to);
}

// Sends the answers that are due; returns the time until the next one
// (negative: none waiting).
std::chrono::nanoseconds sendDue(int socket, DelayQueue<UdpEndpointPending>& pending) {
    const auto now = std::chrono::steady_clock::now();
    pending.takeDue(now, [&](const UdpEndpointPending& p) { sendAnswer(socket, p); });
    const auto next = pending.nextDue();
    if (!next) return std::chrono::nanoseconds(-1);
    return std::max(std::chrono::nanoseconds(0), std::chrono::nanoseconds(*next - now));
}

} // namespace

void UdpEndpoint::receiveOne(DelayQueue<UdpEndpointPending>& pending) {
    std::array<std::uint8_t, kReceiveBuffer> buffer{};
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = ::recvfrom(socket_, buffer.data(), buffer.size(), MSG_TRUNC,
                                 reinterpret_cast<sockaddr*>(&from), &len);
    // MSG_TRUNC reports the full size of an oversized datagram: not a frame.
    if (n < 0) return;
    if (static_cast<std::size_t>(n) > buffer.size()) return converter_.noteIgnored();
    for (Outgoing& o : converter_.datagram(buffer.data(), static_cast<std::size_t>(n))) {
        const UdpEndpointPending answer{from, std::move(o.bytes)};
        const auto due =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(o.delayMs) + o.onLine;
        if (o.delayMs == 0 && o.onLine.count() == 0)
            sendAnswer(socket_, answer);
        else if (!pending.push(due, answer))
            ++dropped_;
    }
}

void UdpEndpoint::run() {
    DelayQueue<UdpEndpointPending> pending(config_.maxDelayed);
    std::uint64_t restarts = converter_.restarts();
    for (;;) {
        // The converter restarted: what it held back is gone.
        if (const std::uint64_t now = converter_.restarts(); now != restarts) {
            restarts = now;
            pending.clear();
        }
        const auto wait = sendDue(socket_, pending);
        const timespec ts{static_cast<time_t>(wait.count() / 1000000000),
                          static_cast<long>(wait.count() % 1000000000)};
        pollfd fds[2] = {{socket_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::ppoll(fds, 2, wait.count() < 0 ? nullptr : &ts, nullptr) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) != 0) receiveOne(pending);
    }
}

} // namespace zrsim
