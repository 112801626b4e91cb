// A simulated bus for the end-to-end tests of the bus windows.
#pragma once

#include "Otevreni.h"
#include "Simulator.h"
#include "SimulatorLAN.h"
#include "UdpEndpoint.h"

#include <gtest/gtest.h>
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

// That bus behind a loopback LAN converter, the record connected to module 1
// at 9600 Bd through the build's LAN library.
class TTriModulyE2E : public ::testing::Test {
protected:
    void SetUp() override {
        std::string chyba;
        ASSERT_TRUE(udp.start(chyba)) << chyba;
        DataProSimulator(data, udp.port());
        data.UDPTimeout = 20;
        ASSERT_TRUE(ParametryLAN(data));
        ASSERT_TRUE(OtevriPripojeni(data, 9600, 1).Ok());
        data.Adresa = 1;
        data.Rychlost = 9600;
    }
    void TearDown() override {
        if (PripojeniPouzitelne(&data)) KonecRozhrani(data.Rozhrani, data.Spojeni);
        udp.stop();
        NastavAdresarKnihoven(QString());
    }

    zrsim::Simulator sim{TriModuly()};
    zrsim::UdpEndpoint udp{sim, {"127.0.0.1", 0}};
    TData data;
};
