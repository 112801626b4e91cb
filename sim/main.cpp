// zr464-sim: simulated ZR-464 modules behind a LAN converter endpoint, with
// a control interface on standard input. POSIX (signals, poll).
#include "Control.h"
#include "Options.h"
#include "PtyEndpoint.h"
#include "Simulator.h"
#include "UdpEndpoint.h"
#include "zr464_build.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void onSignal(int) {
    const char c = 's';
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}

bool installSignals() {
    if (::pipe(signalPipe) != 0) return false;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    ::sigemptyset(&sa.sa_mask);
    return ::sigaction(SIGINT, &sa, nullptr) == 0 && ::sigaction(SIGTERM, &sa, nullptr) == 0 &&
           ::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
}

// Runs control lines from stdin until quit, a signal, or (if asked) EOF.
void controlLoop(zrsim::Control& control, bool quitOnEof) {
    bool stdinOpen = true;
    for (;;) {
        pollfd fds[2] = {{stdinOpen ? 0 : -1, POLLIN, 0}, {signalPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents != 0) return;
        if (fds[0].revents == 0) continue;
        char buf[4096];
        const ssize_t n = ::read(0, buf, sizeof buf);
        if (n <= 0) {
            if (quitOnEof) return;
            stdinOpen = false;
            continue;
        }
        bool quit = false;
        std::cout << control.input({buf, static_cast<std::size_t>(n)}, quit) << std::flush;
        if (quit) return;
    }
}

} // namespace

int main(int argc, char** argv) {
    zrsim::ProgramOptions options;
    std::string error;
    if (!zrsim::parseOptions(argc, argv, options, error)) {
        std::cerr << "zr464-sim: " << error << "\n" << zrsim::usageText();
        return 2;
    }
    if (options.help) {
        std::cout << zrsim::usageText();
        return 0;
    }
    if (options.version) {
        std::cout << "zr464-sim " ZR464_VERSION "\n";
        return 0;
    }
    zrsim::Simulator sim(options.sim);
    if (!sim.stateError().empty()) {
        std::cerr << "zr464-sim: " << sim.stateError() << "\n";
        return 1;
    }
    sim.setStateErrorReport(
        [](const std::string& e) { std::cerr << "zr464-sim: " << e << std::endl; });
    if (options.pattern)
        for (std::size_t i = 0; i < sim.moduleCount(); ++i)
            sim.setInputPattern(i, *options.pattern, options.patternMs);
    if (!installSignals()) {
        std::cerr << "zr464-sim: cannot install signal handlers\n";
        return 1;
    }
    zrsim::UdpEndpoint udp(sim, options.udp);
    if (!udp.start(error)) {
        std::cerr << "zr464-sim: " << error << "\n";
        return 1;
    }
    std::cout << "zr464-sim udp " << udp.address() << ":" << udp.port() << std::endl;
    // The serial endpoint (--pty, --pty-link, --line-time).
    zrsim::PtyEndpoint pty(sim, options.ptyConfig);
    if (options.pty && !pty.start(error)) {
        std::cerr << "zr464-sim: " << error << "\n";
        return 1;
    }
    if (options.pty)
        std::cout << "zr464-sim pty " << pty.path()
                  << (pty.linkPath().empty() ? "" : " link " + pty.linkPath()) << std::endl;
    zrsim::Control control(sim, &udp.converter());
    controlLoop(control, options.quitOnEof);
    pty.stop();
    udp.stop();
    return 0;
}
