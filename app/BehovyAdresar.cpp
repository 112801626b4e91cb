#include "BehovyAdresar.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The directory itself, never what a link points to: owned by `uid`, and
// its mode made 0700.
bool JeVlastniSoukromy(const QByteArray& cesta, uid_t uid) {
    const int fd = ::open(cesta.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool vlastni = ::fstat(fd, &info) == 0 && info.st_uid == uid &&
                         ((info.st_mode & 07777) == 0700 || ::fchmod(fd, 0700) == 0);
    ::close(fd);
    return vlastni;
}

} // namespace

bool PripravBehovyAdresar(const QString& zaklad) {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return true;
    const uid_t uid = ::getuid();
    const QByteArray cesta =
        QFile::encodeName(zaklad + QStringLiteral("/zr464-runtime-%1").arg(uid));
    if (::mkdir(cesta.constData(), 0700) != 0 && errno != EEXIST) return false;
    if (!JeVlastniSoukromy(cesta, uid)) return false;
    return qputenv("XDG_RUNTIME_DIR", cesta);
}
