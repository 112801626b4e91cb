// POSIX pseudo-terminals.
#include "PtyEndpoint.h"

#include "Line.h"
#include "LineTiming.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace zrsim {

namespace {

using Steady = std::chrono::steady_clock;

struct SpeedRate {
    speed_t speed;
    std::uint32_t baud;
};

constexpr SpeedRate kRates[] = {
    {B600, 600},     {B1200, 1200},   {B2400, 2400},   {B4800, 4800},     {B9600, 9600},
    {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200},
};

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Raw at 9600 Bd until a library sets the line up; above all no echo, which
// would send every answer back to the endpoint as if the library had sent it.
bool setRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

std::chrono::milliseconds silence(std::uint32_t baud) {
    return std::chrono::milliseconds(zrbus::lineSilenceMs(baud));
}

std::string errorText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

std::uint32_t baudOfTerminal(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return 0;
    const speed_t s = cfgetospeed(&t);
    for (const auto& r : kRates)
        if (r.speed == s) return r.baud;
    return 0;
}

// Bytes held back until they are due on the line.
struct PtyEndpoint::Pending {
    std::vector<std::uint8_t> bytes;
};

PtyEndpoint::PtyEndpoint(Simulator& sim, PtyEndpointConfig config)
    : sim_(sim), config_(std::move(config)) {}

PtyEndpoint::~PtyEndpoint() {
    stop();
}

bool PtyEndpoint::start(std::string& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    std::array<char, PATH_MAX> name{};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name.data(), name.size()) != 0) {
        error = errorText("cannot create a pseudo-terminal");
        stop();
        return false;
    }
    path_ = name.data();
    slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0 || !setRaw(slave_) || ::fcntl(master_, F_SETFL, O_NONBLOCK) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0) {
        error = errorText("cannot set up the pseudo-terminal " + path_);
        stop();
        return false;
    }
    if (!makeLink(error)) {
        stop();
        return false;
    }
    thread_ = std::thread([this] { run(); });
    return true;
}

bool PtyEndpoint::makeLink(std::string& error) {
    const std::string& link = config_.linkPath;
    if (link.empty()) return true;
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = "will not replace " + link + ": it is not a symbolic link";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(path_.c_str(), link.c_str()) != 0) {
        error = errorText("cannot create the link " + link);
        return false;
    }
    linked_ = true;
    return true;
}

void PtyEndpoint::stop() {
    if (thread_.joinable()) {
        const char c = 'q';
        [[maybe_unused]] const auto n = ::write(wake_[1], &c, 1);
        thread_.join();
    }
    if (linked_) {
        std::array<char, PATH_MAX> target{};
        const ssize_t n = ::readlink(config_.linkPath.c_str(), target.data(), target.size() - 1);
        if (n > 0 && path_ == std::string(target.data(), static_cast<std::size_t>(n)))
            ::unlink(config_.linkPath.c_str());
        linked_ = false;
    }
    closeFd(master_);
    closeFd(slave_);
    closeFd(wake_[0]);
    closeFd(wake_[1]);
}

std::uint32_t PtyEndpoint::currentBaud() const {
    return baudOfTerminal(slave_);
}

void PtyEndpoint::answer(const zrbus::Frame& frame, DelayQueue<Pending>& pending) {
    ++requests_;
    const std::uint32_t baud = currentBaud();
    lineBaud_ = baud;
    const auto requestSize = zrbus::kHeaderSize + frame.length + zrbus::kCrcSize;
    auto due = Steady::now();
    if (config_.lineTime) due += zrbus::lineTime(requestSize, baud);
    for (Outgoing& o : answerRequest(sim_, frame, baud)) {
        due += std::chrono::milliseconds(o.delayMs);
        if (config_.lineTime)
            due = queueOnLine(std::move(o.bytes), due, baud, pending);
        else if (!pending.push(due, {std::move(o.bytes)}))
            ++dropped_;
    }
}

// An answer starting on the line at `start` after the silence: its first
// character comes when it has arrived, the rest when the whole frame has.
// Returns when the frame has left the line.
std::chrono::steady_clock::time_point PtyEndpoint::queueOnLine(std::vector<std::uint8_t> bytes,
                                                               Steady::time_point start,
                                                               std::uint32_t baud,
                                                               DelayQueue<Pending>& pending) {
    const auto first = start + silence(baud) + zrbus::lineTime(1, baud);
    const auto end = start + silence(baud) + zrbus::lineTime(bytes.size(), baud);
    if (bytes.empty()) return end;
    std::vector<std::uint8_t> rest(bytes.begin() + 1, bytes.end());
    bytes.resize(1);
    if (!pending.push(first, {std::move(bytes)})) ++dropped_;
    if (!rest.empty() && !pending.push(end, {std::move(rest)})) ++dropped_;
    return end;
}

void PtyEndpoint::readLine(DelayQueue<Pending>& pending) {
    std::array<std::uint8_t, 256> buffer{};
    const ssize_t n = ::read(master_, buffer.data(), buffer.size());
    if (n <= 0) return;
    // A gap longer than the line silence ends a partial frame.
    const auto now = Steady::now();
    if (now - lastByte_ > silence(currentBaud())) decoder_.reset();
    lastByte_ = now;
    decoder_.feed(buffer.data(), static_cast<std::size_t>(n), [&](const zrbus::Frame& f) {
        if (f.type == zrbus::FrameType::Request) answer(f, pending);
    });
}

void PtyEndpoint::run() {
    DelayQueue<Pending> pending;
    for (;;) {
        const auto wait = writeDue(pending);
        const timespec ts{static_cast<time_t>(wait.count() / 1000000000),
                          static_cast<long>(wait.count() % 1000000000)};
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::ppoll(fds, 2, wait.count() < 0 ? nullptr : &ts, nullptr) < 0 && errno != EINTR)
            return;
        if (fds[1].revents != 0) return;
        if ((fds[0].revents & POLLIN) != 0) readLine(pending);
    }
}

std::chrono::nanoseconds PtyEndpoint::writeDue(DelayQueue<Pending>& pending) {
    const auto now = Steady::now();
    pending.takeDue(now, [&](const Pending& p) {
        // A full buffer (nobody reading the line) drops the answer, as a
        // real line would.
        [[maybe_unused]] const auto n = ::write(master_, p.bytes.data(), p.bytes.size());
    });
    const auto next = pending.nextDue();
    return next ? std::chrono::nanoseconds(*next - now) : std::chrono::nanoseconds(-1);
}

} // namespace zrsim
