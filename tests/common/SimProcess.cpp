#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

SimProcess::SimProcess(std::vector<std::string> args) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return;
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        return;
    }
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    args.insert(args.begin(), std::string(ZR_BIN_DIR) + "/zr464-sim");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
    ::close(in[0]);
    ::close(out[1]);
    stdin_ = in[1];
    stdout_ = out[0];
}

SimProcess::~SimProcess() {
    closeInput();
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    if (stdout_ >= 0) ::close(stdout_);
}

std::string SimProcess::line(std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    for (;;) {
        if (const auto nl = buffer_.find('\n'); nl != std::string::npos) {
            std::string l = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            return l;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{stdout_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
        char buf[256];
        const ssize_t n = ::read(stdout_, buf, sizeof buf);
        if (n <= 0) return {};
        buffer_.append(buf, static_cast<std::size_t>(n));
    }
}

void SimProcess::write(const std::string& text) {
    [[maybe_unused]] const ssize_t n = ::write(stdin_, text.data(), text.size());
}

void SimProcess::closeInput() {
    if (stdin_ >= 0) ::close(stdin_);
    stdin_ = -1;
}

int SimProcess::wait() {
    int status = 0;
    if (pid_ > 0) ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
}

std::uint16_t UdpPortOf(const std::string& startLine) {
    const std::string prefix = "zr464-sim udp 127.0.0.1:";
    if (startLine.rfind(prefix, 0) != 0) return 0;
    const unsigned long port = std::stoul(startLine.substr(prefix.size()));
    return port <= 0xFFFF ? static_cast<std::uint16_t>(port) : 0;
}
