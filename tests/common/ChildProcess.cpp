#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Pipe {
    int read = -1, write = -1;
    bool open() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return false;
        read = fds[0];
        write = fds[1];
        return true;
    }
};

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, std::vector<std::string> args, Input input) {
    Pipe in, outPipe, errPipe;
    if (!in.open() || !outPipe.open() || !errPipe.open()) {
        for (int fd : {in.read, in.write, outPipe.read, outPipe.write, errPipe.read})
            if (fd >= 0) ::close(fd);
        return;
    }
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (input == Input::Null)
        posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&fa, in.read, 0);
    posix_spawn_file_actions_adddup2(&fa, outPipe.write, 1);
    posix_spawn_file_actions_adddup2(&fa, errPipe.write, 2);
    args.insert(args.begin(), std::string(ZR_BIN_DIR) + "/" + program);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
    ::close(in.read);
    ::close(outPipe.write);
    ::close(errPipe.write);
    stdin_ = in.write;
    stdout_ = outPipe.read;
    stderr_ = errPipe.read;
    if (input == Input::Null) closeInput();
}

ChildProcess::~ChildProcess() {
    closeInput();
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    closeFd(stdout_);
    closeFd(stderr_);
}

// One round of reading whatever either output has; false when both ended or
// the deadline passed.
bool ChildProcess::readSome(Clock::time_point deadline) {
    std::array<pollfd, 2> p{};
    nfds_t n = 0;
    for (int fd : {stdout_, stderr_})
        if (fd >= 0) p[n++] = {fd, POLLIN, 0};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (n == 0 || left.count() <= 0) return false;
    if (::poll(p.data(), n, static_cast<int>(left.count())) <= 0) return false;
    for (nfds_t i = 0; i < n; ++i) {
        if (p[i].revents == 0) continue;
        const bool isOut = p[i].fd == stdout_;
        std::array<char, 4096> buf{};
        const ssize_t got = ::read(p[i].fd, buf.data(), buf.size());
        if (got <= 0)
            closeFd(isOut ? stdout_ : stderr_);
        else
            (isOut ? out : err).append(buf.data(), static_cast<std::size_t>(got));
    }
    return true;
}

std::string ChildProcess::line(std::chrono::milliseconds within) {
    const auto deadline = Clock::now() + within;
    for (;;) {
        if (const auto nl = out.find('\n', lineStart_); nl != std::string::npos) {
            std::string l = out.substr(lineStart_, nl - lineStart_);
            lineStart_ = nl + 1;
            return l;
        }
        if (stdout_ < 0 || !readSome(deadline)) return {};
    }
}

bool ChildProcess::waitForError(const std::string& text, std::chrono::milliseconds within) {
    const auto deadline = Clock::now() + within;
    while (err.find(text) == std::string::npos)
        if (!readSome(deadline)) return false;
    return true;
}

void ChildProcess::write(const std::string& text) const {
    [[maybe_unused]] const ssize_t n = ::write(stdin_, text.data(), text.size());
}

void ChildProcess::closeInput() {
    closeFd(stdin_);
}

void ChildProcess::signal(int number) const {
    if (pid_ > 0) ::kill(pid_, number);
}

int ChildProcess::wait() {
    int status = 0;
    if (pid_ > 0) ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
}

int ChildProcess::finish(std::chrono::milliseconds within) {
    const auto deadline = Clock::now() + within;
    while (stdout_ >= 0 || stderr_ >= 0)
        if (!readSome(deadline)) return -1;
    const int status = wait();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uint16_t udpPortOf(const std::string& startLine) {
    const std::string prefix = "zr464-sim udp 127.0.0.1:";
    if (startLine.rfind(prefix, 0) != 0) return 0;
    const unsigned long port = std::stoul(startLine.substr(prefix.size()));
    return port <= 0xFFFF ? static_cast<std::uint16_t>(port) : 0;
}
