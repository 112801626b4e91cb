// The serial endpoint: the bus offered on a pseudo-terminal, so the serial
// libraries (XCOM683, XKC683, XKC1683, XKU1683) reach the simulated modules
// through a real terminal device. The libraries open the slave side
// (path(), or the symbolic link made at linkPath); the endpoint reads and
// writes the master side on its own thread.
//
// The line's rate is the one the library set on the terminal: the endpoint
// keeps a descriptor of the slave open and reads its termios for every
// request, and a module answers only at its own rate. That descriptor also
// keeps the master usable when the library closes the line, so the next
// open of the same path works.
//
// With line-time emulation an answer comes when it would on a real line:
// after the request's characters (10 bits each at the line's rate), the line
// silence between frames and the answer's characters; its first character
// comes on its own as soon as it has arrived, as a probe expects it.
#pragma once

#include "DelayQueue.h"
#include "Frame.h"
#include "Simulator.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace zrsim {

struct PtyEndpointConfig {
    std::string linkPath; // symbolic link to the slave made at start; empty: none
    bool lineTime = false;
};

class PtyEndpoint {
public:
    PtyEndpoint(Simulator& sim, PtyEndpointConfig config);
    ~PtyEndpoint();
    PtyEndpoint(const PtyEndpoint&) = delete;
    PtyEndpoint& operator=(const PtyEndpoint&) = delete;

    // Opens the pseudo-terminal, makes the link (replacing a symbolic link
    // or nothing at that path, never another file) and starts the thread;
    // false with a message otherwise.
    bool start(std::string& error);
    // Stops the thread, closes the pseudo-terminal (the library side sees the
    // line hang up) and removes the link if it still points to it.
    void stop();

    // The slave's path, e.g. /dev/pts/3; empty before start.
    std::string path() const { return path_; }
    const std::string& linkPath() const { return config_.linkPath; }
    // The rate of the line as the last request found it, in Bd (0: none yet).
    std::uint32_t lineBaud() const { return lineBaud_.load(); }
    // Request frames taken from the line.
    std::uint64_t requests() const { return requests_.load(); }
    // Answers dropped because kMaxHeldAnswers were already held back.
    std::uint64_t droppedAnswers() const { return dropped_.load(); }

private:
    struct Pending;
    void run();
    void readLine(DelayQueue<Pending>& pending);
    void answer(const zrbus::Frame& frame, DelayQueue<Pending>& pending);
    std::chrono::steady_clock::time_point queueOnLine(std::vector<std::uint8_t> bytes,
                                                      std::chrono::steady_clock::time_point start,
                                                      std::uint32_t baud,
                                                      DelayQueue<Pending>& pending);
    // Writes what is due; returns the time until the next is (negative: none).
    std::chrono::nanoseconds writeDue(DelayQueue<Pending>& pending);
    std::uint32_t currentBaud() const;
    bool makeLink(std::string& error);

    Simulator& sim_;
    PtyEndpointConfig config_;
    std::string path_;
    int master_ = -1;
    bool linked_ = false;    // the link at linkPath is ours
    int slave_ = -1;         // kept open: rate of the line, master stays usable
    int wake_[2] = {-1, -1}; // self-pipe that ends the thread's wait
    zrbus::StreamDecoder decoder_;
    std::chrono::steady_clock::time_point lastByte_{};
    std::atomic<std::uint32_t> lineBaud_{0};
    std::atomic<std::uint64_t> requests_{0};
    std::atomic<std::uint64_t> dropped_{0};
    std::thread thread_;
};

// The rate of a terminal speed constant in Bd, 0 for one outside the bus's
// nine rates.
std::uint32_t baudOfTerminal(int fd);

} // namespace zrsim
