#include "Driver.h"

#include "Prikazy.h"
#include "Texts.h"

#include <algorithm>
#include <random>

namespace zrbus {

namespace {

constexpr std::uint32_t kConstant = ZR683_CONFIG_CONSTANT;

// Writes the outcome of a _Send into whichever out-arguments exist.
std::uint32_t report(std::uint32_t code, const Answer& a, std::uint32_t* answer,
                     std::uint32_t* status, std::uint32_t* result) {
    if (answer != nullptr)
        for (std::size_t i = 0; i < a.bytes.size(); ++i)
            answer[i] = a.bytes[i];
    if (status != nullptr) *status = a.status;
    if (result != nullptr) *result = code;
    return code;
}

bool readRequestBlock(const std::uint32_t* block, Request& out) {
    if (std::any_of(block, block + ZR683_REQ_DATA + ZR683_DATA_BYTES,
                    [](std::uint32_t w) { return w > 0xFF; }))
        return false;
    out.address = static_cast<std::uint8_t>(block[ZR683_REQ_ADDRESS]);
    out.command = static_cast<std::uint8_t>(block[ZR683_REQ_COMMAND]);
    out.parameter = static_cast<std::uint8_t>(block[ZR683_REQ_PARAMETER]);
    for (std::size_t i = 0; i < out.data.size(); ++i)
        out.data[i] = static_cast<std::uint8_t>(block[ZR683_REQ_DATA + i]);
    return true;
}

} // namespace

bool isSupportedBaud(std::uint32_t baud) {
    return std::find(Sbernice::RychlostiBd.begin(), Sbernice::RychlostiBd.end(), baud) !=
           Sbernice::RychlostiBd.end();
}

struct Driver::Connection {
    std::mutex mutex;
    std::unique_ptr<Link> link;
    bool configured = false;
    std::uint32_t baud = 0;
    std::uint32_t wait = 0;
    std::uint32_t constant = 0;
    std::uint8_t nextTag = 1;
    // A command went unanswered: the converter may have restarted since and
    // be back at its default rate, so its line is set again first.
    bool lineUnsure = false;

    bool probe() const { return (wait & ZR683_WAIT_FIRST_CHARACTER) != 0; }
    // The answer time-out the wait value gives (its low bits in probe mode).
    std::uint32_t answerWaitMs() const { return probe() ? wait & ZR683_WAIT_TIMEOUT_MASK : wait; }
    std::uint32_t timeoutMs() const {
        return std::min<std::uint32_t>(kMaxTimeoutMs, std::min(answerWaitMs(), kMaxTimeoutMs) +
                                                          link->extraTimeoutMs());
    }
    // Probe mode: by when the answer's first character must have arrived,
    // counted from sending the request. The path's time is never taken
    // beyond the transport's own time-out (none on a serial line).
    std::chrono::microseconds firstCharacter() const {
        const std::uint32_t path = std::min<std::uint32_t>(
            (wait >> ZR683_WAIT_PATH_SHIFT) & ZR683_WAIT_PATH_MAX, link->extraTimeoutMs());
        return firstCharacterTime(baud) + link->deliveryAllowance(baud) +
               std::chrono::milliseconds(path);
    }
    std::uint8_t takeTag() { return nextTag++; }
};

namespace {

// Where a datagram connection's tag counter starts: random, so that a
// forger on the network who sees no traffic must also guess where the count
// stands. A serial line is one wire, and starts at 1.
std::uint8_t firstTag(const Link& link) {
    if (!link.datagrams()) return 1;
    try {
        std::random_device random;
        return static_cast<std::uint8_t>(random());
    } catch (const std::exception&) {
        return 1; // no source of randomness: the count starts as on a line
    }
}

} // namespace

std::uint32_t Driver::adopt(std::uint32_t* handle, std::unique_ptr<Link> link) {
    auto c = std::make_shared<Connection>();
    c->nextTag = firstTag(*link);
    c->link = std::move(link);
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < table_.size(); ++i) {
        if (table_[i]) continue;
        table_[i] = std::move(c);
        *handle = static_cast<std::uint32_t>(i + 1);
        return kOk;
    }
    return kTooManyConnections;
}

std::shared_ptr<Driver::Connection> Driver::find(std::uint32_t handle) {
    std::lock_guard lock(mutex_);
    if (handle == 0 || handle > table_.size()) return nullptr;
    return table_[handle - 1];
}

// Tells the converter the line's rate and wait; 0 once it acknowledged them.
std::uint32_t Driver::configureConverter(Connection& c, std::uint32_t baud) {
    Frame ack;
    const Frame cfg = makeLineConfig(LineConfig{baud, c.wait}, c.takeTag());
    if (const std::uint32_t rc = exchange(*c.link, cfg, ack, c.timeoutMs()); rc != kOk) return rc;
    std::uint8_t result = 0;
    if (!readLineConfigAck(ack, result)) return kBadAnswer;
    if (result != kOk) return result == kBadBaud ? kBadBaud : kConverterRefused;
    return kOk;
}

namespace {

// Outcomes after which the converter may no longer run the line as set: no
// answer at all, or its host refused the request (it is not running).
bool lineMayBeLost(std::uint32_t rc) {
    return rc == kTimeout || rc == kConverterUnreachable || rc == kReceiveFailed;
}

} // namespace

// The exchange of one request. Where a converter sits on the line and the
// last command went unanswered, the line is set again before this one goes
// out; while that fails, the command is not sent and its code is the result.
// A successful exchange costs nothing more, nor does a probe that found
// nobody.
std::uint32_t Driver::exchangeRequest(Connection& c, const Request& rq, Frame& reply) {
    if (c.lineUnsure) {
        if (const std::uint32_t rc = configureConverter(c, c.baud); rc != kOk) return rc;
        c.lineUnsure = false;
    }
    const Frame frame = makeRequest(rq, c.takeTag());
    const std::uint32_t rc =
        c.probe() ? probeExchange(*c.link, frame, reply, c.timeoutMs(), c.firstCharacter())
                  : exchange(*c.link, frame, reply, c.timeoutMs());
    // A probe that timed out found an empty address, which says nothing
    // about the converter: a scan asks hundreds of them at each rate.
    const bool probeFoundNobody = c.probe() && rc == kTimeout;
    c.lineUnsure = c.link->hasConverter() && lineMayBeLost(rc) && !probeFoundNobody;
    return rc;
}

std::uint32_t Driver::setConfig(std::uint32_t handle, std::uint32_t baud, std::uint32_t wait,
                                std::uint32_t constant) noexcept {
    try {
        const auto c = find(handle);
        if (!c) return kBadHandle;
        if (constant != kConstant) return kBadConstant;
        if (!isSupportedBaud(baud)) return kBadBaud;
        std::lock_guard lock(c->mutex);
        c->configured = false;
        c->lineUnsure = false;
        c->wait = wait;
        if (const std::uint32_t rc = c->link->setRate(baud); rc != kOk) return rc;
        if (c->link->hasConverter())
            if (const std::uint32_t rc = configureConverter(*c, baud); rc != kOk) return rc;
        c->baud = baud;
        c->constant = constant;
        c->configured = true;
        return kOk;
    } catch (...) {
        return kInternal;
    }
}

std::uint32_t Driver::getConfig(std::uint32_t handle, std::uint32_t* baud, std::uint32_t* wait,
                                std::uint32_t* constant) noexcept {
    try {
        if (baud == nullptr || wait == nullptr || constant == nullptr) return kNullArgument;
        const auto c = find(handle);
        if (!c) return kBadHandle;
        std::lock_guard lock(c->mutex);
        *baud = c->configured ? c->baud : 0;
        *wait = c->configured ? c->wait : 0;
        *constant = c->configured ? c->constant : 0;
        return kOk;
    } catch (...) {
        return kInternal;
    }
}

std::uint32_t Driver::transact(Connection& c, const std::uint32_t* request, std::uint32_t* answer,
                               std::uint32_t* status) {
    Request rq;
    if (!readRequestBlock(request, rq))
        return report(kRequestNotBuilt, {}, answer, status, nullptr);
    std::lock_guard lock(c.mutex);
    if (!c.configured) return report(kNotConfigured, {}, answer, status, nullptr);
    Frame reply;
    const std::uint32_t rc = exchangeRequest(c, rq, reply);
    if (rc != kOk) return report(rc, {}, answer, status, nullptr);
    Answer a;
    // A result the protocol does not know makes the whole answer suspect:
    // none of its bytes are handed on.
    if (!readAnswer(reply, a) || a.result > ZR683_LIB_LAST)
        return report(kBadAnswer, {}, answer, status, nullptr);
    return report(a.result, a, answer, status, nullptr);
}

std::uint32_t Driver::send(std::uint32_t handle, const std::uint32_t* request,
                           std::uint32_t* answer, std::uint32_t* status,
                           std::uint32_t* result) noexcept {
    try {
        if (request == nullptr || answer == nullptr || status == nullptr || result == nullptr)
            return report(kNullArgument, {}, answer, status, result);
        const auto c = find(handle);
        if (!c) return report(kBadHandle, {}, answer, status, result);
        return report(transact(*c, request, answer, status), {}, nullptr, nullptr, result);
    } catch (...) {
        return report(kInternal, {}, answer, status, result);
    }
}

std::uint32_t Driver::done(std::uint32_t* handle) noexcept {
    try {
        if (handle == nullptr) return kNullArgument;
        if (*handle == 0) return kOk; // already closed: nothing to do
        std::shared_ptr<Connection> gone;
        {
            std::lock_guard lock(mutex_);
            if (*handle > table_.size() || !table_[*handle - 1]) return kBadHandle;
            gone = std::move(table_[*handle - 1]);
        }
        *handle = 0;
        std::lock_guard wait(gone->mutex); // let a running exchange finish first
        return kOk;
    } catch (...) {
        return kInternal;
    }
}

std::uint32_t Driver::error(std::uint32_t code, std::uint32_t* buffer) noexcept {
    try {
        return fillErrorBuffer(code, buffer);
    } catch (...) {
        return kInternal;
    }
}

} // namespace zrbus
