// A simulated bus of several modules behind a loopback UDP endpoint, and
// zr464-cli run against it: in-process through SpustCli, or as a program.
#pragma once

#include "Simulator.h"
#include "UdpEndpoint.h"

#include <QTemporaryDir>
#include <chrono>
#include <string>
#include <vector>

struct TModulSbernice {
    std::uint8_t Adresa;
    std::int32_t Rychlost;
    std::string Verze = "1.04";
    std::string Doplnek = "SIM-0001";
};

struct TBeh {
    int Kod = -1;
    std::string Out;
    std::string Err;
};

class TSbernice {
public:
    explicit TSbernice(const std::vector<TModulSbernice>& moduly);
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

// zr464-cli as a program with its standard output and error on pipes.
class TProcesCli {
public:
    explicit TProcesCli(std::vector<std::string> argumenty);
    ~TProcesCli();
    bool Bezi() const { return Pid > 0; }
    // Reads standard error until a line containing `text` arrived (true) or
    // the deadline passed or the output ended (false).
    bool CekejNaErr(const std::string& text, std::chrono::milliseconds limit);
    void Signal(int signal) const;
    // Reads both outputs to their end and waits for the exit, within the
    // limit; the exit code, or -1 when the process did not end by itself.
    int Dokonci(std::chrono::milliseconds limit);

    std::string Out;
    std::string Err;

private:
    bool Cti(std::chrono::steady_clock::time_point konec);
    int Pid = -1;
    int OutFd = -1;
    int ErrFd = -1;
};
