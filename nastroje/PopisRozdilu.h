// The differences between a file's and a module's configuration as an
// operator reads them: each setting under the words of its configuration
// window (the times in seconds, the activation as its choice), a mask as the
// channels that differ. The compare and load windows and `zr464-cli config
// diff` show these; the JSON output keeps the file's keys.
#pragma once

#include "Dekl.h"

#include <QString>
#include <vector>

struct TPopisRozdilu {
    QString Co;       // "Inicializační čas", "Negace DIN: DIN3, DIN7"
    QString VSouboru; // "300 s", "1"
    QString VModulu;
};

// The settings that differ, in the file's order; a mask gives one row for
// the channels the file sets and the module not, one for the reverse. The
// address and the rate only with `sAdresou`.
std::vector<TPopisRozdilu> PopisRozdilu(const TKonfigurace& soubor, const TKonfigurace& modul,
                                        bool sAdresou);

// One row as a line: "Negace DIN: DIN3, DIN7: soubor 1, modul 0".
QString TextRozdilu(const TPopisRozdilu& rozdil);
