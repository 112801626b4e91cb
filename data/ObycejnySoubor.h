// Files the program reads and replaces whole (the settings file, a module's
// configuration file): only a regular file, or a path where nothing is yet,
// is ever read or replaced, and nothing waits on a FIFO or a device. The
// reasons are in words for the operator.
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <optional>

// Why the path cannot be read or replaced as a file, empty when it can: it
// must be a regular file, or nothing yet. A symbolic link is followed to a
// regular file only; a link to nothing, to a directory, a device, a FIFO or a
// socket is refused, and the text says what the path is.
QString NeniSouborem(const QString& cesta);

// Why saving `f` to `cesta` failed.
QString DuvodUlozeni(const QString& cesta, const QSaveFile& f);

// The text of an errno value met while opening or reading a file.
QString TextChybySouboru(int cislo);

// The bytes of the regular file at the path, at most `nejvic`; the file is
// opened without waiting (a FIFO or a device that takes the path's place
// between check and open is refused too). Empty with `duvod` set on a fault.
std::optional<QByteArray> PrectiObycejnySoubor(const QString& cesta, qint64 nejvic, QString& duvod);
