// Files the program reads and replaces whole (the settings file, a module's
// configuration file, a CSV export): only a regular file, or a path where
// nothing is yet, is ever read or replaced, and nothing waits on a FIFO or a
// device. A symbolic link is followed only where the kernel's protected
// symlinks rule would follow it, so that a link planted by another user in a
// shared directory such as /tmp never redirects a write. The reasons are in
// words for the operator.
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <optional>

// Why the path cannot be read or replaced as a file, empty when it can: it
// must be a regular file, or nothing yet. A symbolic link is followed to a
// regular file only; a link to nothing, to a directory, a device, a FIFO or a
// socket is refused, and the text says what the path is. So is a link that
// OdkazCiziho refuses.
QString NeniSouborem(const QString& cesta);

// Why a symbolic link at the path (or a link it leads to) must not be
// followed, empty when it may or there is none: it lies in a sticky
// world-writable directory, and neither the caller nor the directory's owner
// owns it. The text names the link and its owner.
QString OdkazCiziho(const QString& cesta);

// The file a write to the path replaces: the path itself, or the regular
// file its symbolic links lead to. The question before replacing names it.
QString CilZapisu(const QString& cesta);

// Why saving `f` to `cesta` failed.
QString DuvodUlozeni(const QString& cesta, const QSaveFile& f);

// The text of an errno value met while opening or reading a file.
QString TextChybySouboru(int cislo);

// Writes the bytes to the path atomically (a new file renamed over the old):
// only a regular file (a link to one is followed and stays a link) or a path
// where nothing is yet is written. False with the reason in `duvod`.
bool ZapisObycejnySoubor(const QString& cesta, const QByteArray& obsah, QString& duvod);

// The bytes of the regular file at the path, at most `nejvic`; the file is
// opened without waiting (a FIFO or a device that takes the path's place
// between check and open is refused too). Empty with `duvod` set on a fault.
std::optional<QByteArray> PrectiObycejnySoubor(const QString& cesta, qint64 nejvic, QString& duvod);
