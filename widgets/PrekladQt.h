// Qt's own texts (the file dialogs' "Look in", "Save", "Cancel", the context
// menus of edits) in Czech, as every other text of the program, whatever
// locale the session runs in.
#pragma once

class QCoreApplication;

// The file of Qt's Czech translation, in Qt's translations folder (Debian
// package qt6-translations-l10n).
inline constexpr const char* PrekladQtCesky = "qtbase_cs";

// Loads the translation into the application, right after it is created;
// false when the file is missing or unreadable (Qt then speaks English).
bool NactiPrekladQt(QCoreApplication& aplikace);
