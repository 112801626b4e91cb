// A UDP client on 127.0.0.1 for the endpoint tests: sends frames, waits for
// datagrams with a deadline.
#pragma once

#include "Frame.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

class UdpClient {
public:
    explicit UdpClient(std::uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        to_.sin_family = AF_INET;
        to_.sin_port = htons(port);
        to_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~UdpClient() { ::close(fd_); }
    UdpClient(const UdpClient&) = delete;
    UdpClient& operator=(const UdpClient&) = delete;

    void sendBytes(const std::vector<std::uint8_t>& b) {
        ::sendto(fd_, b.data(), b.size(), 0, reinterpret_cast<const sockaddr*>(&to_), sizeof to_);
    }
    void send(const zrbus::Frame& f) { sendBytes(zrbus::bytesOf(f)); }
    // The next datagram within timeoutMs, if any.
    std::optional<std::vector<std::uint8_t>> receive(int timeoutMs = 2000) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return std::nullopt;
        std::vector<std::uint8_t> b(1024);
        const ssize_t n = ::recv(fd_, b.data(), b.size(), 0);
        if (n < 0) return std::nullopt;
        b.resize(static_cast<std::size_t>(n));
        return b;
    }
    std::optional<zrbus::Frame> receiveFrame(int timeoutMs = 2000) {
        const auto b = receive(timeoutMs);
        zrbus::Frame f;
        if (!b || zrbus::decodeOne(b->data(), b->size(), f) != zrbus::DecodeResult::Ok)
            return std::nullopt;
        return f;
    }
    // Sets the converter's line rate; returns the acknowledged result.
    int configure(std::uint32_t baud, std::uint8_t tag = 200) {
        send(zrbus::makeLineConfig({baud, 200}, tag));
        const auto f = receiveFrame();
        std::uint8_t result = 0;
        if (!f || f->tag != tag || !zrbus::readLineConfigAck(*f, result)) return -1;
        return result;
    }
    std::optional<zrbus::Answer> ask(const zrbus::Request& rq, std::uint8_t tag,
                                     int timeoutMs = 2000) {
        send(zrbus::makeRequest(rq, tag));
        const auto f = receiveFrame(timeoutMs);
        zrbus::Answer a;
        if (!f || f->tag != tag || !zrbus::readAnswer(*f, a)) return std::nullopt;
        return a;
    }

private:
    int fd_ = -1;
    sockaddr_in to_{};
};
