// Where the program finds its driver libraries and its settings file: one
// rule for zr464 and zr464-cli alike.
//
// A portable copy (any of the five driver libraries lies beside the
// executable, as in a build tree) keeps the libraries, their configuration
// and W_zr464.ini beside the executable. An installed copy loads the
// libraries from the private folder fixed relative to the executable at
// build time (../lib/<multiarch>/zr464) and keeps W_zr464.ini in
// $XDG_CONFIG_HOME/zr464/ (~/.config/zr464/ when that is unset); its
// libraries read their configuration from /etc/zr464/.
#pragma once

#include <QString>

struct TUmisteni {
    bool Prenosna = false; // a portable copy
    QString Knihovny;      // the folder of the driver libraries
    QString Nastaveni;     // the path of W_zr464.ini
};

// The rule for an executable in `adresarProgramu`, given the values of
// XDG_CONFIG_HOME and HOME (empty when unset).
TUmisteni UrciUmisteni(const QString& adresarProgramu, const QString& xdgConfigHome,
                       const QString& domov);

// The rule for the running program.
TUmisteni Umisteni();

// Makes the folder of an installed copy's settings file when it is missing
// (each new folder with mode 0700); nothing for a portable copy. False when
// it cannot be made; saving then fails and names the file.
bool PripravSlozkuNastaveni(const TUmisteni& umisteni);

// Where the toolkit keeps its own user settings (the file dialogs' history
// of folders, QtProject.conf): the folder of the settings file, beside the
// executable for a portable copy, ~/.config/zr464/ for an installed one,
// never the user's shared ~/.config/.
void NastavSlozkuNastaveniQt(const TUmisteni& umisteni);

// The running program's settings file.
QString CestaNastaveni();
