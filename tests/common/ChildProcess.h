// A program of the build (zr464-sim, zr464-cli) started as a child process
// with its standard input, output and error on pipes, for the tests that
// need the real process rather than the library it is built from.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class ChildProcess {
public:
    enum class Input { Pipe, Null };

    // Starts build/bin/PROGRAM with the arguments. With Input::Null the
    // child reads /dev/null.
    ChildProcess(const std::string& program, std::vector<std::string> args,
                 Input input = Input::Pipe);
    // Ends it with SIGTERM (both programs end cleanly on it) if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // The next line of its standard output, or an empty text when none came
    // within `within` or the output ended.
    std::string line(std::chrono::milliseconds within = std::chrono::seconds(5));
    // Reads until standard error holds `text` (true), or the time passed or
    // the outputs ended (false).
    bool waitForError(const std::string& text, std::chrono::milliseconds within);
    void write(const std::string& text) const;
    void closeInput();
    void signal(int number) const;
    // Waits until it has ended by itself and returns its wait status.
    int wait();
    // Reads both outputs to their end and waits for the exit, within the
    // limit; the exit code, or -1 when it did not exit by itself in time.
    int finish(std::chrono::milliseconds within);

    // Everything read so far from standard output and standard error.
    std::string out;
    std::string err;

private:
    bool readSome(std::chrono::steady_clock::time_point deadline);

    pid_t pid_ = -1;
    int stdin_ = -1;
    int stdout_ = -1;
    int stderr_ = -1;
    std::size_t lineStart_ = 0;
};

// The UDP port of zr464-sim's start line "zr464-sim udp 127.0.0.1:PORT", 0
// if the line is not one.
std::uint16_t udpPortOf(const std::string& startLine);
