// zr464-cli: the module from the command line. The whole program lives in
// the library zr_cli; main.cpp only sets up the process (QGuiApplication,
// the SIGINT handler) and calls SpustCli.
#pragma once

#include <QString>
#include <atomic>
#include <ostream>
#include <string>
#include <vector>

// Exit codes of the program.
namespace KodUkonceni {
constexpr int Uspech = 0;
constexpr int ChybaModulu = 1;  // the library, the connection or a command failed
constexpr int ChybaPouziti = 2; // bad options or arguments, an invalid .cfm file
constexpr int Nesouhlas = 3;    // read-back differs from the value written; diff found differences
constexpr int Preruseno = 130;  // ended by Ctrl-C (SIGINT)
} // namespace KodUkonceni

// What the program takes from its surroundings.
struct TProstredi {
    QString Nastaveni;            // the settings file with the default connection
    bool ChybovyTerminal = false; // standard error is a terminal (progress is shown)
};

// Set by the SIGINT handler (or a test); the running subcommand ends after the
// transaction in progress.
std::atomic<bool>& PozadavekPreruseni();

// Runs the program with its arguments (without the program name); everything
// it prints goes to `out` and `err`. Returns the exit code.
int SpustCli(const std::vector<std::string>& argumenty, std::ostream& out, std::ostream& err,
             const TProstredi& prostredi);
