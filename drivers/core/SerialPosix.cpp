// The POSIX part of the serial transport: termios, flock, poll.
#include "Serial.h"

#include "Codes.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace zrbus {

namespace {

struct RateSpeed {
    std::uint32_t baud;
    speed_t speed;
};

constexpr RateSpeed kSpeeds[] = {
    {600, B600},     {1200, B1200},   {2400, B2400},   {4800, B4800},     {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

const RateSpeed* speedOf(std::uint32_t baud) {
    for (const auto& e : kSpeeds)
        if (e.baud == baud) return &e;
    return nullptr;
}

SerialFailure failureOfErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
        return SerialFailure::NoDevice;
    case EACCES:
    case EPERM:
    case EROFS:
        return SerialFailure::Denied;
    case EBUSY:
    case EWOULDBLOCK:
        return SerialFailure::Busy;
    case EISDIR:
        return SerialFailure::NotSerial;
    default:
        return SerialFailure::Other;
    }
}

bool setRaw(int fd, std::uint32_t baud) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const RateSpeed* rs = speedOf(baud);
    if (rs == nullptr || cfsetispeed(&t, rs->speed) != 0 || cfsetospeed(&t, rs->speed) != 0)
        return false;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

struct Reason {
    SerialFailure failure;
    std::uint32_t code;
    const char* text;
};

constexpr Reason kReasons[] = {
    {SerialFailure::None, kOk, "bez chyby"},
    {SerialFailure::NoDevice, kNoDevice, "zařízení neexistuje"},
    {SerialFailure::Denied, kOpenFailed, "přístup odepřen, chybí práva k zařízení"},
    {SerialFailure::Busy, kDeviceBusy, "zařízení používá jiný program"},
    {SerialFailure::NotSerial, kNotSerial, "není to sériové zařízení"},
    {SerialFailure::Other, kOpenFailed, "zařízení nelze nastavit"},
};

const Reason& reasonFor(SerialFailure f) {
    for (const auto& r : kReasons)
        if (r.failure == f) return r;
    return kReasons[std::size(kReasons) - 1];
}

// The name of the group that owns the device, empty when there is none to
// name: the device cannot be looked at, its group has no name, or it is the
// superuser's group, whose membership is no remedy to give.
std::string deviceGroup(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || st.st_gid == 0) return {};
    group g{};
    group* found = nullptr;
    char buffer[4096];
    if (getgrgid_r(st.st_gid, &g, buffer, sizeof buffer, &found) != 0 || found == nullptr)
        return {};
    return g.gr_name;
}

} // namespace

std::uint32_t codeOf(SerialFailure failure) {
    return reasonFor(failure).code;
}

std::string deniedReason(const std::string& group) {
    if (group.empty() || group.size() > kMaxGroupShown) return reasonOf(SerialFailure::Denied);
    return "přístup odepřen, chybí členství ve skupině " + group;
}

std::string reasonOf(SerialFailure failure, const std::string& path) {
    if (failure == SerialFailure::Denied) return deniedReason(deviceGroup(path));
    return reasonFor(failure).text;
}

const char* reasonOf(SerialFailure failure) {
    return reasonFor(failure).text;
}

namespace {

// A UART of the 16550 family (a COM port, an interface card) reports its
// type; a pseudo-terminal or a USB converter's device reports none.
bool hasUartFifo(int fd) {
    serial_struct info{};
    return ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN &&
           info.xmit_fifo_size > 1;
}

} // namespace

struct SerialLink::Port {
    int fd = -1;
    // The device opened: its device number and its node's inode, to tell
    // whether the path still names it.
    dev_t device = 0;
    ino_t node = 0;
};

SerialLink::SerialLink(std::string path)
    : path_(std::move(path)), port_(std::make_unique<Port>()) {}

SerialLink::~SerialLink() {
    close();
}

bool SerialLink::isOpen() const {
    return port_->fd >= 0;
}

std::chrono::microseconds SerialLink::deliveryAllowance(std::uint32_t baud) const {
    return kDeliveryLatency + addedLatency_ + lineTime(fifoCharacters_, baud);
}

bool SerialLink::readable() {
    if (!isOpen()) return false;
    pollfd p{port_->fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

SerialFailure SerialLink::open() {
    close();
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failed(failureOfErrno(errno));
    SerialFailure f = SerialFailure::None;
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        f = SerialFailure::NotSerial;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        f = errno == EWOULDBLOCK ? SerialFailure::Busy : SerialFailure::Other;
    else if (ioctl(fd, TIOCEXCL) != 0 || !setRaw(fd, baud_))
        f = SerialFailure::Other;
    if (f != SerialFailure::None) {
        ::close(fd); // also drops a lock taken above
        return failed(f);
    }
    tcflush(fd, TCIOFLUSH);
    struct stat st {};
    ::fstat(fd, &st);
    port_->device = st.st_rdev;
    port_->node = st.st_ino;
    fifoCharacters_ = hasUartFifo(fd) ? kUartFifoTrigger : 0;
    port_->fd = fd;
    lineLost_ = false;
    lastActivity_ = Clock::now();
    return lastFailure_ = SerialFailure::None;
}

SerialFailure SerialLink::failed(SerialFailure f) {
    lastFailure_ = f;
    if (onOpenFailure_) onOpenFailure_(f);
    return f;
}

void SerialLink::close() {
    if (port_->fd < 0) return;
    // Clear the exclusive flag: another descriptor of the device (the
    // simulator keeps one) would otherwise keep it set for the next opener.
    ioctl(port_->fd, TIOCNXCL);
    ::close(port_->fd);
    port_->fd = -1;
}

std::uint32_t SerialLink::setRate(std::uint32_t baud) {
    if (speedOf(baud) == nullptr) return kBadBaud;
    baud_ = baud;
    if (!isOpen() && !reopenIfLost()) return codeOf(lastFailure_);
    return setRaw(port_->fd, baud_) ? kOk : kOpenFailed;
}

// Whether the configured path still names the device held. A link that
// udev re-points after a replug (/dev/serial/by-id/...), a /dev/ttyUSB0 that
// is now another adapter, or the simulator's pseudo-terminal link made anew
// all leave the descriptor on a device that is no longer the configured one,
// and perhaps in use by another program by now.
bool SerialLink::pathNamesHeldDevice() const {
    struct stat st {};
    return ::stat(path_.c_str(), &st) == 0 && st.st_rdev == port_->device &&
           st.st_ino == port_->node;
}

bool SerialLink::reopenIfLost() {
    if (isOpen() && !pathNamesHeldDevice()) close();
    if (isOpen()) return true;
    return open() == SerialFailure::None;
}

void SerialLink::discardPending() {
    if (reopenIfLost()) tcflush(port_->fd, TCIFLUSH);
}

void SerialLink::waitForSilence() {
    std::this_thread::sleep_until(lastActivity_ + std::chrono::milliseconds(lineSilenceMs(baud_)));
}

namespace {

// True when the device has hung up (the far side of a pseudo-terminal
// closed, a USB converter was pulled out).
bool hungUp(int fd) {
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace

std::uint32_t SerialLink::send(const std::uint8_t* data, std::size_t size) {
    if (isOpen() && hungUp(port_->fd)) {
        lineLost_ = true;
        close();
    }
    if (!reopenIfLost()) return codeOf(lastFailure_);
    waitForSilence();
    tcflush(port_->fd, TCIFLUSH);
    const auto deadline = Clock::now() + std::chrono::seconds(1) + lineTime(size, baud_);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(port_->fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            lineLost_ = true;
            close();
            return kSendFailed;
        }
        pollfd p{port_->fd, POLLOUT, 0};
        if (Clock::now() >= deadline || ::poll(&p, 1, 10) < 0) return kSendFailed;
        if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            lineLost_ = true;
            close();
            return kSendFailed;
        }
    }
    // The frame leaves the line when its last character has been sent.
    lastActivity_ = Clock::now() + lineTime(size, baud_);
    return kOk;
}

Receive SerialLink::receive(std::uint8_t* buffer, std::size_t capacity, std::size_t& size,
                            Clock::time_point deadline) {
    size = 0;
    if (!isOpen()) return Receive::Error;
    const auto now = Clock::now();
    if (now >= deadline) return Receive::Timeout;
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now);
    const timespec ts{static_cast<time_t>(left.count() / 1000000000),
                      static_cast<long>(left.count() % 1000000000)};
    pollfd p{port_->fd, POLLIN, 0};
    const int r = ::ppoll(&p, 1, &ts, nullptr);
    if (r == 0) return Receive::Timeout;
    if (r < 0) return errno == EINTR ? Receive::Nothing : Receive::Error;
    const ssize_t n = ::read(port_->fd, buffer, capacity);
    if (n > 0) {
        size = static_cast<std::size_t>(n);
        lastActivity_ = Clock::now();
        return Receive::Data;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return Receive::Nothing;
    // End of file, an I/O error or a hang-up: the device went away. It is
    // reopened before the next request.
    lineLost_ = true;
    close();
    return Receive::Error;
}

} // namespace zrbus
