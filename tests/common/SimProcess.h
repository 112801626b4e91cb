// zr464-sim started as a program, with its standard input and output on
// pipes, for the tests that need the real process rather than the library.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class SimProcess {
public:
    // Starts build/bin/zr464-sim with the given options.
    explicit SimProcess(std::vector<std::string> args);
    // Stops it (SIGTERM) if it still runs.
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // The next line of its output, or an empty text when none came within
    // `within` or the output ended.
    std::string line(std::chrono::milliseconds within = std::chrono::seconds(5));
    void write(const std::string& text);
    void closeInput();
    // Waits until it has ended by itself and returns its wait status.
    int wait();

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    std::string buffer_;
};

// The UDP port of its start line "zr464-sim udp 127.0.0.1:PORT", 0 if none.
std::uint16_t UdpPortOf(const std::string& startLine);
