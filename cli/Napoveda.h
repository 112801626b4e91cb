// The option parser (CLI11) in Czech: the help's labels and columns, and
// the parser's own error messages.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

// Gives the app (and the subcommands added after it) the Czech help: its
// labels, placeholders, and columns aligned by characters, not bytes.
void CeskaNapoveda(CLI::App& app);

// The message of a usage error in Czech. `app` is the whole command line,
// parsed as far as it went.
std::string ZpravaPouziti(const CLI::ParseError& chyba, const CLI::App& app);
