// The runtime directory the windowing toolkit expects from the session.
#pragma once

#include <QString>

// When XDG_RUNTIME_DIR is unset or empty, sets it to `zaklad`/zr464-runtime-UID,
// a directory of the user's own with mode 0700, made when missing (otherwise
// the toolkit picks one itself and says so at every start). Returns false and
// leaves the environment as it was when that path is not such a directory
// (a file, a symbolic link, another user's directory) or cannot be made.
bool PripravBehovyAdresar(const QString& zaklad);
