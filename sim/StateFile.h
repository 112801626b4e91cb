// The state file keeps the configuration registers of every simulated module
// across runs of the simulator, as a real module keeps them across power
// cycles. One line per module:
//   module <index> <register>=<value> <register>=<value> ...
// Lines starting with '#' and empty lines are ignored.
#pragma once

#include "Module.h"

#include <map>
#include <string>

namespace zrsim {

using StoredRegisters = std::map<std::size_t, Module::Registers>;

// Reads the file into `out`. A missing file is no error (nothing stored yet).
// Returns false with a message for a file that cannot be read or parsed, or
// that is no regular file (a directory, a FIFO, a device: never waited on).
bool loadStateFile(const std::string& path, StoredRegisters& out, std::string& error);
// Replaces the file as a whole (written beside it, then renamed); false
// with a message when that fails or the path holds something else than a
// regular file.
bool saveStateFile(const std::string& path, const StoredRegisters& regs, std::string& error);

} // namespace zrsim
