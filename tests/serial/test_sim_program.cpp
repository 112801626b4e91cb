// zr464-sim as a program: its pseudo-terminal endpoint behind a link, as
// ./run starts it, answering XCOM683.
#include "ChildProcess.h"
#include "SerialSupport.h"

#include "Codes.h"
#include "DevConfig.h"
#include "Prikazy.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

using namespace sertest;
using namespace zrbus;

TEST(SimProgram, OffersTheBusOnAPseudoTerminalLink) {
    TempDir dir;
    const std::string link = dir.file("zr464-com1");
    ChildProcess sim("zr464-sim",
                     {"--port", "0", "--pty-link", link, "--line-time", "--stdin-control"});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(sim.line().rfind("zr464-sim udp 127.0.0.1:", 0), 0u);
    const std::string pty = sim.line();
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
