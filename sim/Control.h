// The line-based control interface of zr464-sim: one command per line, one
// reply per command (one or more lines, the first "ok", "error: ..." or the
// state shown). `help` lists the commands; docs/simulator.md describes them.
#pragma once

#include "Simulator.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zrsim {

class LanConverter;

class Control {
public:
    // The converter, if given, adds the LAN line's rate to `show` and can be
    // restarted (`converter restart`).
    explicit Control(Simulator& sim, LanConverter* lan = nullptr) : sim_(sim), lan_(lan) {}

    // The longest command line taken, without its newline.
    static constexpr std::size_t kMaxLineLength = 4096;

    // Carries out one line. quit becomes true for `quit`.
    std::string execute(const std::string& line, bool& quit);
    // Takes the bytes as they come from the control input and carries out
    // every line they complete; returns the replies. Only the new bytes are
    // searched for the end of a line, and a line longer than kMaxLineLength
    // is not kept: it is answered with an error when its newline comes.
    // Stops at `quit`, leaving the rest unread.
    std::string input(std::string_view bytes, bool& quit);
    static std::string help();

private:
    using Args = std::vector<std::string>;
    struct Entry;
    std::string show(const Args& a);
    std::string inputs(const Args& a);
    std::string pattern(const Args& a);
    std::string supply(const Args& a);
    std::string stuck(const Args& a);
    std::string restart(const Args& a);
    std::string silent(const Args& a);
    std::string converter(const Args& a);
    std::string factory(const Args& a);
    std::string fault(const Args& a);
    std::string lineFault(const Args& a);
    std::string commandFault(const Args& a);
    std::string registerFault(const Args& a);
    std::string showModule(std::size_t i);
    bool module(const std::string& text, std::size_t& out) const;

    Simulator& sim_;
    LanConverter* lan_;
    std::string partial_;   // the line begun so far
    bool overlong_ = false; // the line begun is over kMaxLineLength: discarded
};

// Reads a decimal or 0x-prefixed hexadecimal number no larger than max.
bool parseNumber(const std::string& text, unsigned long long max, unsigned long long& out);

} // namespace zrsim
