// Test helpers for the LAN library: the library loaded by name from build/bin,
// and a small UDP peer on 127.0.0.1 that plays the converter by a script.
#pragma once

#include "DriverLibrary.h"
#include "Frame.h"
#include "zr683.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <thread>
#include <vector>

// XZR1683.so opened by its file name in build/bin, its entry points bound
// (lib.Send(...)); init calls _Init in the LAN library's shape.
struct Xzr : zr683_entry_points {
    DriverLibrary library{ZR_BIN_DIR, "XZR1683"};

    Xzr() : zr683_entry_points{} {}
    static std::string path() { return DriverLibrary::path(ZR_BIN_DIR, "XZR1683"); }
    bool load() { return library.bind(*this); }
    std::uint32_t init(std::uint32_t* handle, const std::uint32_t* block) const {
        return reinterpret_cast<zr683_init_lan_fn>(Init)(handle, block);
    }
};

// A UDP socket bound to 127.0.0.1 on an ephemeral port.
struct UdpSocket {
    int fd = -1;
    UdpSocket();
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    std::uint16_t port() const;
    void sendTo(const std::vector<std::uint8_t>& bytes, const sockaddr_in& to) const;
};

// The converter stand-in. Each datagram that arrives is decoded and handed to
// the handler on the peer's thread; the handler answers through reply() or
// other sockets. By default line settings are acknowledged with 0 and module
// requests answered with result 0, status 0x40 and A1..A4 = 1, 2, 3, 4.
class Peer {
public:
    using Handler = std::function<void(Peer&, const zrbus::Frame&, const sockaddr_in& from)>;

    Peer();
    ~Peer();
    std::uint16_t port() const { return main.port(); }
    void setHandler(Handler h);
    void reply(const std::vector<std::uint8_t>& bytes, const sockaddr_in& to) const {
        main.sendTo(bytes, to);
    }
    static void answerNormally(Peer& p, const zrbus::Frame& f, const sockaddr_in& from);
    int received() const { return received_.load(); }
    // The last request that arrived, and where from.
    zrbus::Frame lastRequest();
    sockaddr_in lastFrom();

    UdpSocket main;
    UdpSocket other; // a second port on the same address

private:
    void run();

    std::mutex mutex_;
    Handler handler_;
    zrbus::Frame last_{};
    sockaddr_in lastFrom_{};
    std::atomic<int> received_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The 64-byte _Init block of the LAN library with the text inside it.
std::array<std::uint32_t, ZR683_PARAM_WORDS> lanBlock(const char* ip, std::uint32_t port,
                                                      std::uint32_t timeoutMs);
