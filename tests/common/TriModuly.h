// A simulated bus for the end-to-end tests of the bus windows.
#pragma once

#include "Simulator.h"

#include <string>
#include <utility>

// The bus of `./run --bus`: modules 1 and 5 at 9600 Bd, 9 at 19200 Bd, each
// with its address in its supplementary identification.
inline zrsim::SimulatorConfig TriModuly() {
    zrsim::SimulatorConfig c;
    c.modules.clear();
    for (const auto& [adresa, rychlost] : {std::pair{1, 4}, {5, 4}, {9, 5}}) {
        zrsim::ModuleSetup s;
        s.address = static_cast<std::uint8_t>(adresa);
        s.baudIndex = static_cast<std::uint8_t>(rychlost);
        s.identity.extra = "BUS-000" + std::to_string(adresa);
        c.modules.push_back(s);
    }
    return c;
}
