#include "SerialSupport.h"

#include "Texts.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace sertest {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "zr-serial-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& text) const {
    std::ofstream(file(name), std::ios::binary) << text;
}

std::string binDir() {
    return ZR_BIN_DIR;
}

void SerialLib::copyTo(const std::string& name, const std::string& directory) {
    fs::copy_file(binDir() + "/" + name + ".so", directory + "/" + name + ".so",
                  fs::copy_options::overwrite_existing);
}

SerialLib::SerialLib(const std::string& name, const std::string& directory)
    : lib_(directory, name), bound_(lib_.bind(e_)) {}

void* SerialLib::symbol(const std::string& entry) const {
    return lib_.entry<void*>(entry);
}

bool SerialLib::takesWord() const {
    return lib_.name() == "XCOM683" || lib_.name() == "XKC683";
}

std::uint32_t SerialLib::init(std::uint32_t& handle, std::uint32_t word0) const {
    return takesWord() ? reinterpret_cast<zr683_init_word_fn>(e_.Init)(&handle, word0)
                       : reinterpret_cast<zr683_init_fn>(e_.Init)(&handle);
}

std::uint32_t SerialLib::setConfig(std::uint32_t handle, std::uint32_t baud,
                                   std::uint32_t wait) const {
    return e_.SetConfig(handle, baud, wait, 2);
}

Sent SerialLib::send(std::uint32_t handle, std::uint8_t address, std::uint8_t command,
                     std::uint8_t parameter, std::array<std::uint8_t, 5> data) const {
    std::array<std::uint32_t, ZR683_REQUEST_WORDS> rq{};
    rq[ZR683_REQ_ADDRESS] = address;
    rq[ZR683_REQ_COMMAND] = command;
    rq[ZR683_REQ_PARAMETER] = parameter;
    for (std::size_t i = 0; i < data.size(); ++i)
        rq[ZR683_REQ_DATA + i] = data[i];
    Sent s;
    s.answer.fill(0xDEAD);
    s.rc = e_.Send(handle, rq.data(), s.answer.data(), &s.status, &s.result);
    return s;
}

std::uint32_t SerialLib::done(std::uint32_t& handle) const {
    return e_.Done(&handle);
}

std::string SerialLib::text(std::uint32_t code) const {
    std::array<std::uint32_t, ZR683_ERROR_CHARS> buffer{};
    e_.Error(code, buffer.data());
    std::string out;
    for (std::size_t i = 1; i < buffer.size() && buffer[i] != 0; ++i)
        out.push_back(static_cast<char>(buffer[i]));
    return out;
}

std::string cp1250(const std::string& utf8) {
    return zrbus::toWindows1250(utf8);
}

SimLine::SimLine(const std::string& linkPath, zrsim::SimulatorConfig config, bool lineTime)
    : sim(std::move(config)), endpoint(sim, zrsim::PtyEndpointConfig{linkPath, lineTime}) {
    endpoint.start(startError);
}

ScriptedLine::ScriptedLine(const std::string& linkPath) : link_(linkPath) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    std::array<char, PATH_MAX> name{};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name.data(), name.size()) != 0) {
        hangUp();
        return;
    }
    slave_ = ::open(name.data(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t{};
    if (slave_ < 0 || ::tcgetattr(slave_, &t) != 0) {
        hangUp();
        return;
    }
    cfmakeraw(&t);
    ::tcsetattr(slave_, TCSANOW, &t);
    ::unlink(link_.c_str());
    if (::symlink(name.data(), link_.c_str()) != 0) hangUp();
}

ScriptedLine::~ScriptedLine() {
    hangUp();
}

void ScriptedLine::hangUp() {
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
    ::unlink(link_.c_str());
}

std::optional<zrbus::Frame> ScriptedLine::nextRequest(Ms within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (frames_.empty()) {
        const auto left =
            std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || master_ < 0) return std::nullopt;
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        std::array<std::uint8_t, 256> buf{};
        const ssize_t n = ::read(master_, buf.data(), buf.size());
        if (n > 0)
            decoder_.feed(buf.data(), static_cast<std::size_t>(n),
                          [&](const zrbus::Frame& f) { frames_.push_back(f); });
    }
    const zrbus::Frame f = frames_.front();
    frames_.erase(frames_.begin());
    return f;
}

void ScriptedLine::write(const std::vector<std::uint8_t>& bytes) const {
    [[maybe_unused]] const auto n = ::write(master_, bytes.data(), bytes.size());
}

std::vector<std::uint8_t> answerTo(const zrbus::Frame& request, std::array<std::uint8_t, 4> a,
                                   std::uint8_t tagOffset) {
    zrbus::Frame answer = zrbus::makeAnswer({request.address, 0, 0x10, a}, request);
    answer.tag = static_cast<std::uint8_t>(answer.tag + tagOffset);
    return bytesOf(answer);
}

} // namespace sertest
