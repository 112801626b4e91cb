// zr464-sim as a program: its pseudo-terminal endpoint behind a link, as
// ./run starts it, answering XCOM683.
#include "SerialSupport.h"

#include "Prikazy.h"
#include "codes.h"
#include "devconfig.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

using namespace sertest;
using namespace zrbus;

namespace {

// The program with stdin and stdout on pipes.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, in[0], 0);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        posix_spawn_file_actions_addclose(&fa, in[1]);
        posix_spawn_file_actions_addclose(&fa, out[0]);
        args.insert(args.begin(), binDir() + "/zr464-sim");
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }
    ~SimProcess() {
        closeInput();
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(stdout_);
    }
    // The next line of its output, waiting at most `within`.
    std::string line(Ms within) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        for (;;) {
            if (const auto nl = buffer_.find('\n'); nl != std::string::npos) {
                std::string l = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return l;
            }
            const auto left =
                std::chrono::duration_cast<Ms>(deadline - std::chrono::steady_clock::now());
            pollfd p{stdout_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
            char buf[256];
            const ssize_t n = ::read(stdout_, buf, sizeof buf);
            if (n <= 0) return {};
            buffer_.append(buf, static_cast<std::size_t>(n));
        }
    }
    void closeInput() {
        if (stdin_ >= 0) ::close(stdin_);
        stdin_ = -1;
    }
    // Its exit status once it has ended by itself.
    int wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }
    bool started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
    int stdin_ = -1, stdout_ = -1;
    std::string buffer_;
};

} // namespace

TEST(SimProgram, OffersTheBusOnAPseudoTerminalLink) {
    TempDir dir;
    const std::string link = dir.file("zr464-com1");
    SimProcess sim({"--port", "0", "--pty-link", link, "--line-time", "--stdin-control"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(sim.line(Ms(5000)).rfind("zr464-sim udp 127.0.0.1:", 0), 0u);
    const std::string pty = sim.line(Ms(5000));
    EXPECT_EQ(pty.rfind("zr464-sim pty /dev/pts/", 0), 0u) << pty;
    EXPECT_NE(pty.find(" link " + link), std::string::npos) << pty;

    SerialLib::copyTo("XCOM683", dir.path());
    dir.write(kDriverConfigName, "COM1 = zr464-com1\n");
    SerialLib lib("XCOM683", dir.path());
    std::uint32_t h = 0;
    ASSERT_EQ(lib.init(h, 1), kOk) << lib.text(kNoDevice);
    ASSERT_EQ(lib.setConfig(h, 9600, 500), kOk);
    const Sent s = lib.send(h, 1, Prikaz::Identifikace, Prikaz::IdVerze);
    EXPECT_EQ(s.result, kOk);
    EXPECT_EQ(std::string({static_cast<char>(s.a(1)), static_cast<char>(s.a(2)),
                           static_cast<char>(s.a(3)), static_cast<char>(s.a(4))}),
              "1.04");
    lib.done(h);

    sim.closeInput();
    const int status = sim.wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(::access(link.c_str(), F_OK), 0); // the link went with the program
}
