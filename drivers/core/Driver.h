// The seven entry points of a driver library, implemented once for every
// library: the handle table, argument guards, the request/answer exchange
// and the error texts. A library file only says how its _Init opens its
// transport (see ZR683_DRIVER_ENTRIES and drivers/xzr1683/XZR1683.cpp).
#pragma once

#include "Codes.h"
#include "Link.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <type_traits>

#include "zr683.h"

namespace zrbus {

// The nine line rates a module can use.
bool isSupportedBaud(std::uint32_t baud);

// Longest answer time-out the library waits, whatever it is told.
constexpr std::uint32_t kMaxTimeoutMs = 60000;

class Driver {
public:
    static constexpr std::size_t kMaxConnections = 16;

    // Opens a connection: open(link) creates the transport and returns 0 or
    // a code. *handle gets a number 1..kMaxConnections, or stays 0.
    template <class Open> std::uint32_t init(std::uint32_t* handle, Open&& open) noexcept {
        if (handle == nullptr) return kNullArgument;
        *handle = 0;
        try {
            std::unique_ptr<Link> link;
            const std::uint32_t rc = open(link);
            if (rc != kOk) return rc;
            return adopt(handle, std::move(link));
        } catch (...) {
            return kInternal;
        }
    }

    std::uint32_t setConfig(std::uint32_t handle, std::uint32_t baud, std::uint32_t wait,
                            std::uint32_t constant) noexcept;
    std::uint32_t getConfig(std::uint32_t handle, std::uint32_t* baud, std::uint32_t* wait,
                            std::uint32_t* constant) noexcept;
    std::uint32_t send(std::uint32_t handle, const std::uint32_t* request, std::uint32_t* answer,
                       std::uint32_t* status, std::uint32_t* result) noexcept;
    std::uint32_t done(std::uint32_t* handle) noexcept;
    static std::uint32_t error(std::uint32_t code, std::uint32_t* buffer) noexcept;

private:
    struct Connection;

    std::uint32_t adopt(std::uint32_t* handle, std::unique_ptr<Link> link);
    std::shared_ptr<Connection> find(std::uint32_t handle);
    std::uint32_t configureConverter(Connection& c, std::uint32_t baud);
    std::uint32_t exchangeRequest(Connection& c, const Request& rq, Frame& reply);
    std::uint32_t transact(Connection& c, const std::uint32_t* request, std::uint32_t* answer,
                           std::uint32_t* status);

    std::mutex mutex_;
    std::array<std::shared_ptr<Connection>, kMaxConnections> table_{};
};

} // namespace zrbus

// Defines the library's Driver and six of its seven entry points, NAME_Version
// returning VERSION (major * 100 + minor). The library file adds NAME_Init in
// its own shape, calling zrDriver().init(handle, opener).
#define ZR683_DRIVER_ENTRIES(NAME, VERSION)                                                        \
    namespace {                                                                                    \
    zrbus::Driver& zrDriver() {                                                                    \
        static zrbus::Driver driver;                                                               \
        return driver;                                                                             \
    }                                                                                              \
    }                                                                                              \
    extern "C" {                                                                                   \
    ZR683_EXPORT uint32_t ZR683_CALL NAME##_Version(void) {                                        \
        return VERSION;                                                                            \
    }                                                                                              \
    ZR683_EXPORT uint32_t ZR683_CALL NAME##_SetConfig(uint32_t handle, uint32_t baud,              \
                                                      uint32_t wait, uint32_t constant) {          \
        return zrDriver().setConfig(handle, baud, wait, constant);                                 \
    }                                                                                              \
    ZR683_EXPORT uint32_t ZR683_CALL NAME##_GetConfig(uint32_t handle, uint32_t* baud,             \
                                                      uint32_t* wait, uint32_t* constant) {        \
        return zrDriver().getConfig(handle, baud, wait, constant);                                 \
    }                                                                                              \
    ZR683_EXPORT uint32_t ZR683_CALL NAME##_Send(uint32_t handle, const uint32_t* request,         \
                                                 uint32_t* answer, uint32_t* status,               \
                                                 uint32_t* result) {                               \
        return zrDriver().send(handle, request, answer, status, result);                           \
    }                                                                                              \
    ZR683_EXPORT uint32_t ZR683_CALL NAME##_Done(uint32_t* handle) {                               \
        return zrDriver().done(handle);                                                            \
    }                                                                                              \
    ZR683_EXPORT uint32_t ZR683_CALL NAME##_Error(uint32_t code, uint32_t* buffer) {               \
        return zrbus::Driver::error(code, buffer);                                                 \
    }                                                                                              \
    }                                                                                              \
    static_assert(std::is_same_v<decltype(&NAME##_Version), zr683_version_fn>);                    \
    static_assert(std::is_same_v<decltype(&NAME##_SetConfig), zr683_setconfig_fn>);                \
    static_assert(std::is_same_v<decltype(&NAME##_GetConfig), zr683_getconfig_fn>);                \
    static_assert(std::is_same_v<decltype(&NAME##_Send), zr683_send_fn>);                          \
    static_assert(std::is_same_v<decltype(&NAME##_Done), zr683_done_fn>);                          \
    static_assert(std::is_same_v<decltype(&NAME##_Error), zr683_error_fn>)
