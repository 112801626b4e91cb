// Command-line options of zr464-sim.
#pragma once

#include "PtyEndpoint.h"
#include "Simulator.h"
#include "UdpEndpoint.h"

#include <optional>
#include <string>

namespace zrsim {

struct ProgramOptions {
    SimulatorConfig sim;
    UdpEndpointConfig udp;
    std::optional<InputPattern> pattern; // for every module
    std::uint32_t patternMs = 500;
    bool quitOnEof = false; // --stdin-control
    bool help = false;
    bool version = false;
    // Serial endpoint: --pty, --pty-link PATH, --line-time.
    bool pty = false;
    PtyEndpointConfig ptyConfig;
};

// Parses argv[1..]; false with a message for a bad option.
bool parseOptions(int argc, const char* const* argv, ProgramOptions& out, std::string& error);
std::string usageText();

} // namespace zrsim
