#include "Udp.h"

#include <arpa/inet.h>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

UdpSocket::UdpSocket() {
    fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
}

UdpSocket::~UdpSocket() {
    ::close(fd);
}

std::uint16_t UdpSocket::port() const {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

void UdpSocket::sendTo(const std::vector<std::uint8_t>& bytes, const sockaddr_in& to) const {
    ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

Peer::Peer() : handler_(answerNormally), thread_([this] { run(); }) {}

Peer::~Peer() {
    stop_ = true;
    thread_.join();
}

void Peer::setHandler(Handler h) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(h);
}

zrbus::Frame Peer::lastRequest() {
    std::lock_guard lock(mutex_);
    return last_;
}

sockaddr_in Peer::lastFrom() {
    std::lock_guard lock(mutex_);
    return lastFrom_;
}

void Peer::answerNormally(Peer& p, const zrbus::Frame& f, const sockaddr_in& from) {
    if (f.type == zrbus::FrameType::LineConfig)
        p.reply(bytesOf(zrbus::makeLineConfigAck(0, f)), from);
    if (f.type == zrbus::FrameType::Request)
        p.reply(bytesOf(zrbus::makeAnswer({f.address, 0, 0x40, {1, 2, 3, 4}}, f)), from);
}

void Peer::run() {
    while (!stop_) {
        pollfd p{main.fd, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0) continue;
        std::uint8_t buf[512];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n =
            ::recvfrom(main.fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
        zrbus::Frame f;
        if (n <= 0 ||
            zrbus::decodeOne(buf, static_cast<std::size_t>(n), f) != zrbus::DecodeResult::Ok)
            continue;
        Handler h;
        {
            std::lock_guard lock(mutex_);
            last_ = f;
            lastFrom_ = from;
            h = handler_;
        }
        ++received_;
        h(*this, f, from);
    }
}

std::array<std::uint32_t, ZR683_PARAM_WORDS> lanBlock(const char* ip, std::uint32_t port,
                                                      std::uint32_t timeoutMs) {
    std::array<std::uint32_t, ZR683_PARAM_WORDS> block{};
    block[ZR683_LAN_IP] = ZR683_LAN_TEXT_OFFSET;
    block[ZR683_LAN_PORT] = port;
    block[ZR683_LAN_TIMEOUT] = timeoutMs;
    std::strncpy(reinterpret_cast<char*>(block.data()) + ZR683_LAN_TEXT_OFFSET, ip,
                 ZR683_LAN_TEXT_MAX);
    return block;
}
