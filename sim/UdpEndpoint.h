// The LAN converter endpoint: a UDP socket on its own thread, one frame per
// datagram, answers sent to the sender. Binds to loopback unless told
// otherwise; port 0 takes an ephemeral port, which port() then reports.
#pragma once

#include "DelayQueue.h"
#include "Line.h"
#include "Simulator.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace zrsim {

struct UdpEndpointPending;

struct UdpEndpointConfig {
    std::string bindAddress = "127.0.0.1"; // dotted-decimal IPv4
    std::uint16_t port = 5000;
    // Delayed answers held back at one time; more are dropped (counted).
    std::size_t maxDelayed = kMaxHeldAnswers;
    // The converter's answers come as late as on its line (LanConverter).
    bool lineTime = false;
};

class UdpEndpoint {
public:
    UdpEndpoint(Simulator& sim, UdpEndpointConfig config);
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    // Binds the socket and starts the thread; false with a message if the
    // address is not an IPv4 address or the socket cannot be bound.
    bool start(std::string& error);
    // Stops the thread and closes the socket; answers still delayed are dropped.
    void stop();

    std::string address() const { return config_.bindAddress; }
    std::uint16_t port() const { return port_.load(); }
    const LanConverter& converter() const { return converter_; }
    LanConverter& converter() { return converter_; }
    // Answers dropped because maxDelayed answers were already held back.
    std::uint64_t droppedAnswers() const { return dropped_.load(); }

private:
    void run();
    void receiveOne(DelayQueue<UdpEndpointPending>& pending);

    UdpEndpointConfig config_;
    LanConverter converter_;
    int socket_ = -1;
    int wake_[2] = {-1, -1}; // self-pipe that ends the thread's wait
    std::atomic<std::uint16_t> port_{0};
    std::atomic<std::uint64_t> dropped_{0};
    std::thread thread_;
};

} // namespace zrsim
