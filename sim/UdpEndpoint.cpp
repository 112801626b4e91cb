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
    : config_(std::move(config)), converter_(sim) {}

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

// Sends the answers that are due; returns the poll time-out until the next
// one (-1: none waiting).
int sendDue(int socket, DelayQueue<UdpEndpointPending>& pending) {
    const auto now = std::chrono::steady_clock::now();
    pending.takeDue(now, [&](const UdpEndpointPending& p) { sendAnswer(socket, p); });
    const auto next = pending.nextDue();
    if (!next) return -1;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(*next - now).count());
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
        const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(o.delayMs);
        if (o.delayMs == 0)
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
        const int timeoutMs = sendDue(socket_, pending);
        pollfd fds[2] = {{socket_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, timeoutMs) < 0 && errno != EINTR) return;
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) != 0) receiveOne(pending);
    }
}

} // namespace zrsim
