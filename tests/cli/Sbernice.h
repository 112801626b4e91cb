// A simulated bus of several modules behind a loopback UDP endpoint, and
// zr464-cli run against it in-process through SpustCli.
#pragma once

#include "Simulator.h"
#include "UdpEndpoint.h"

#include <QTemporaryDir>
#include <string>
#include <vector>

// A module the simulated bus plays: its address, rate and identification.
struct TSimulovanyModul {
    std::uint8_t Adresa;
    std::int32_t Rychlost;
    std::string Verze = "1.04";
    std::string Doplnek = "SIM-0001";
    std::string Nazev = "ZR-464";
};

struct TBeh {
    int Kod = -1;
    std::string Out;
    std::string Err;
};

class TSbernice {
public:
    // With `propojeni` every module's outputs are wired to its inputs; with
    // `casLinky` the converter's answers take as long as on its line.
    explicit TSbernice(const std::vector<TSimulovanyModul>& moduly, bool propojeni = false,
                       bool casLinky = false);
    ~TSbernice();

    // The options that reach this bus over the LAN library.
    std::vector<std::string> Pripojeni() const;
    // SpustCli with the arguments and the connection options.
    TBeh Spust(std::vector<std::string> argumenty) const;
    // A path in the test's temporary directory.
    std::string Cesta(const std::string& nazev) const;

    zrsim::Simulator Sim;
    zrsim::UdpEndpoint Udp;
    QTemporaryDir Adresar;
};
