// SIGTERM (the session ends, `kill PID`) closes the program as its menu
// "Konec" does: an open dialog is closed first, then the main window, which
// saves the settings and shuts the connection down.
#pragma once

#include <functional>

class QWidget;

// Takes SIGTERM over; called first in main, so that a signal that arrives
// before the window exists waits for it. False when it cannot be taken.
bool ZachytSigterm();

// From now on a SIGTERM, also one caught earlier, closes `okno`;
// `predZavrenim` (if given) runs first, so that the window can set itself up
// for a close that nobody watches (no message box waits for an answer).
void ZavriPriSigterm(QWidget& okno, std::function<void()> predZavrenim = {});
