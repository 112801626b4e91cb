// zr464-sim as a process: start line, a request over UDP, control through
// stdin, the LAN library XZR1683 loaded by name against it, clean stop.
#include "ChildProcess.h"
#include "DriverLibrary.h"
#include "UdpClient.h"

#include "zr683.h"

#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(SimProcess, AnswersOverUdpTakesControlLinesAndEndsOnEof) {
    ChildProcess sim("zr464-sim", {"--port", "0", "--stdin-control", "--module", "3:19200:1.01"});
    ASSERT_GT(sim.pid(), 0);
    const std::uint16_t port = udpPortOf(sim.line());
    ASSERT_NE(port, 0);

    UdpClient c(port);
    ASSERT_EQ(c.configure(19200), 0);
    const auto version = c.ask(zrbus::Request{3, 200, 2, {}}, 9);
    ASSERT_TRUE(version);
    EXPECT_EQ(std::string(version->bytes.begin(), version->bytes.end()), "1.01");

    sim.write("inputs 0 0x000000FF\n");
    EXPECT_EQ(sim.line(), "ok");
    const auto in = c.ask(zrbus::Request{3, 0, 64, {}}, 10);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->bytes[0], 0x00) << "pins high, negated";
    EXPECT_EQ(in->bytes[1], 0xFF);

    sim.closeInput();
    const int status = sim.wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SimProcess, AnOverLongControlLineIsRefusedAndTheNextWorks) {
    ChildProcess sim("zr464-sim", {"--port", "0", "--stdin-control"});
    ASSERT_NE(udpPortOf(sim.line()), 0);
    sim.write(std::string(1 << 20, 'x'));
    sim.write("\nfaults\n");
    EXPECT_EQ(sim.line().rfind("error: line too long", 0), 0u);
    EXPECT_EQ(sim.line(), "no faults");
    sim.closeInput();
    const int status = sim.wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SimProcess, StopsCleanlyOnSigterm) {
    ChildProcess sim("zr464-sim", {"--port", "0"});
    ASSERT_NE(udpPortOf(sim.line()), 0);
    sim.closeInput(); // without --stdin-control it keeps running
    ::kill(sim.pid(), SIGTERM);
    const int status = sim.wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SimProcess, RefusesBadOptions) {
    ChildProcess sim("zr464-sim", {"--module", "1:1234"});
    const int status = sim.wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

// The LAN library as the program's binding uses it, against the process.
TEST(SimProcess, AnswersTheLanLibrary) {
    DriverLibrary lib(ZR_BIN_DIR, "XZR1683");
    ASSERT_TRUE(lib.opened()) << lib.error();
    zr683_entry_points e{};
    ASSERT_TRUE(lib.bind(e));
    const auto init = reinterpret_cast<zr683_init_lan_fn>(e.Init);
    const auto setConfig = e.SetConfig;
    const auto send = e.Send;
    const auto done = e.Done;

    ChildProcess sim("zr464-sim", {"--port", "0", "--stdin-control"});
    const std::uint16_t port = udpPortOf(sim.line());
    ASSERT_NE(port, 0);
    std::uint32_t params[ZR683_PARAM_WORDS] = {};
    char* text = reinterpret_cast<char*>(params) + ZR683_LAN_TEXT_OFFSET;
    std::strcpy(text, "127.0.0.1");
    params[ZR683_LAN_IP] = sizeof(void*) > 4
                               ? ZR683_LAN_TEXT_OFFSET
                               : static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(text));
    params[ZR683_LAN_PORT] = port;
    params[ZR683_LAN_TIMEOUT] = 100;
    std::uint32_t handle = 0;
    ASSERT_EQ(init(&handle, params), 0u);
    ASSERT_EQ(setConfig(handle, 9600, 200, 2), 0u);

    // Write register 63 and read it back at the old address.
    std::uint32_t rq[ZR683_REQUEST_WORDS] = {1, 103, 0, 0, 63, 63, 9, 9};
    std::uint32_t answer[ZR683_ANSWER_WORDS] = {}, status = 0, result = 99;
    EXPECT_EQ(send(handle, rq, answer, &status, &result), 0u);
    EXPECT_EQ(result, 0u);
    std::uint32_t rd[ZR683_REQUEST_WORDS] = {1, 102, 0, 0, 63, 63, 0, 0};
    EXPECT_EQ(send(handle, rd, answer, &status, &result), 0u);
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(answer[2] & 0xFF, 9u);

    // A lost answer: the library's time-out code; the next one works.
    sim.write("fault lose next 1\n");
    EXPECT_EQ(sim.line(), "ok");
    const std::uint32_t rc = send(handle, rd, answer, &status, &result);
    EXPECT_EQ(rc != 0 ? rc : result, 6u);
    EXPECT_EQ(send(handle, rd, answer, &status, &result), 0u);
    EXPECT_EQ(result, 0u);

    done(&handle);
    sim.closeInput();
    sim.wait();
}
