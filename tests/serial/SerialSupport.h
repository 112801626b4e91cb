// Test helpers for the serial-line libraries: a library copied with its own
// driver configuration file into a temporary directory and loaded from
// there (the libraries read zr683-drivers.conf beside themselves, so a test
// never touches build/bin's file), the simulator on a pseudo-terminal, and
// a scripted line on which the test itself plays the module.
#pragma once

#include "DriverLibrary.h"
#include "Frame.h"
#include "PtyEndpoint.h"
#include "Simulator.h"
#include "zr683.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sertest {

using Ms = std::chrono::milliseconds;

// A fresh directory under /tmp, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& text) const;

private:
    std::string path_;
};

// The directory the build puts the libraries in.
std::string binDir();

// The answer of one _Send.
struct Sent {
    std::uint32_t rc = 0xDEAD, result = 0xDEAD, status = 0xDEAD;
    std::array<std::uint32_t, ZR683_ANSWER_WORDS> answer{};
    std::uint8_t a(int i) const { return static_cast<std::uint8_t>(answer[i - 1]); }
};

// One of the four serial libraries, opened with dlopen from `directory`
// (build/bin, or a temporary copy made by copyTo).
class SerialLib {
public:
    SerialLib(const std::string& name, const std::string& directory);
    SerialLib(const SerialLib&) = delete;
    SerialLib& operator=(const SerialLib&) = delete;

    // Copies NAME.so from build/bin into the directory.
    static void copyTo(const std::string& name, const std::string& directory);

    bool loaded() const { return bound_; }
    const std::string& error() const { return lib_.error(); }
    // Types 0 and 1 take word0, types 2 and 3 ignore it.
    std::uint32_t init(std::uint32_t& handle, std::uint32_t word0 = 0) const;
    std::uint32_t setConfig(std::uint32_t handle, std::uint32_t baud, std::uint32_t wait) const;
    Sent send(std::uint32_t handle, std::uint8_t address, std::uint8_t command,
              std::uint8_t parameter, std::array<std::uint8_t, 5> data = {}) const;
    std::uint32_t done(std::uint32_t& handle) const;
    // _Error's text as the Windows-1250 bytes of the buffer.
    std::string text(std::uint32_t code) const;
    void* symbol(const std::string& entry) const;
    bool takesWord() const;

private:
    DriverLibrary lib_;
    zr683_entry_points e_{};
    bool bound_ = false;
};

// UTF-8 to the Windows-1250 bytes _Error gives.
std::string cp1250(const std::string& utf8);

// The simulator with its pseudo-terminal endpoint, linked at linkPath.
struct SimLine {
    explicit SimLine(const std::string& linkPath, zrsim::SimulatorConfig config = {},
                     bool lineTime = false);
    zrsim::Simulator sim;
    zrsim::PtyEndpoint endpoint;
    std::string startError;
};

// A pseudo-terminal on which the test plays the module: it reads the
// library's request frames from the master and writes whatever bytes it likes.
class ScriptedLine {
public:
    explicit ScriptedLine(const std::string& linkPath);
    ~ScriptedLine();
    ScriptedLine(const ScriptedLine&) = delete;
    ScriptedLine& operator=(const ScriptedLine&) = delete;

    bool ok() const { return master_ >= 0; }
    // The next request frame from the library, waiting at most `within`.
    std::optional<zrbus::Frame> nextRequest(Ms within);
    void write(const std::vector<std::uint8_t>& bytes) const;
    // Closes the pseudo-terminal: the library side sees the line hang up.
    void hangUp();

private:
    std::string link_;
    int master_ = -1;
    int slave_ = -1;
    zrbus::StreamDecoder decoder_;
    std::vector<zrbus::Frame> frames_;
};

// The answer frame to `request` with result 0, status 0x10 and A1..A4.
std::vector<std::uint8_t> answerTo(const zrbus::Frame& request, std::array<std::uint8_t, 4> a,
                                   std::uint8_t tagOffset = 0);

} // namespace sertest
