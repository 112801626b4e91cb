#include "ObycejnySoubor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a path that is no regular file and no directory is.
QString DruhSouboru(mode_t druh) {
    if (S_ISFIFO(druh)) return QStringLiteral("roura (FIFO)");
    if (S_ISCHR(druh) || S_ISBLK(druh)) return QStringLiteral("zařízení");
    if (S_ISSOCK(druh)) return QStringLiteral("soket");
    if (S_ISDIR(druh)) return QStringLiteral("složka");
    return QStringLiteral("zvláštní soubor");
}

// The user's name, or the number when the system has no name for it.
QString JmenoUzivatele(uid_t uid) {
    struct passwd zaznam {};
    struct passwd* nalezeno = nullptr;
    char buffer[1024];
    if (::getpwuid_r(uid, &zaznam, buffer, sizeof buffer, &nalezeno) == 0 && nalezeno != nullptr)
        return QString::fromLocal8Bit(zaznam.pw_name);
    return QString::number(uid);
}

// Whether the kernel's rule lets the caller follow the link `odkaz` in the
// directory `slozka`.
bool SmiNasledovat(const struct stat& odkaz, const struct stat& slozka) {
    const bool sdilena = (slozka.st_mode & S_ISVTX) != 0 && (slozka.st_mode & S_IWOTH) != 0;
    return !sdilena || odkaz.st_uid == ::geteuid() || odkaz.st_uid == slozka.st_uid;
}

// How many links are followed before giving up, as the kernel does.
constexpr int NejvicOdkazu = 40;

} // namespace

QString OdkazCiziho(const QString& cesta) {
    QString dalsi = QFileInfo(cesta).absoluteFilePath();
    for (int i = 0; i < NejvicOdkazu; ++i) {
        const QFileInfo info(dalsi);
        struct stat odkaz {
        }, slozka{};
        if (::lstat(QFile::encodeName(dalsi).constData(), &odkaz) != 0 || !S_ISLNK(odkaz.st_mode))
            return {};
        if (::stat(QFile::encodeName(info.absolutePath()).constData(), &slozka) != 0) return {};
        if (!SmiNasledovat(odkaz, slozka))
            return QStringLiteral("symbolický odkaz %1 patří uživateli %2 ve sdílené složce %3; "
                                  "takovému odkazu se nenásleduje")
                .arg(QDir::toNativeSeparators(dalsi), JmenoUzivatele(odkaz.st_uid),
                     QDir::toNativeSeparators(info.absolutePath()));
        const QString cil = info.symLinkTarget();
        if (cil.isEmpty()) return {};
        dalsi = QDir(info.absolutePath()).absoluteFilePath(cil);
    }
    return {};
}

QString CilZapisu(const QString& cesta) {
    const QFileInfo info(cesta);
    if (!info.isSymLink()) return cesta;
    const QString cil = info.canonicalFilePath();
    return cil.isEmpty() ? cesta : cil;
}

QString NeniSouborem(const QString& cesta) {
    if (QString cizi = OdkazCiziho(cesta); !cizi.isEmpty()) return cizi;
    const QFileInfo info(cesta);
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("symbolický odkaz vede na neexistující soubor");
    if (!info.exists() || info.isFile()) return {};
    struct stat st {};
    const bool znamo = ::stat(QFile::encodeName(cesta).constData(), &st) == 0;
    const QString druh = znamo ? DruhSouboru(st.st_mode) : QString();
    if (info.isSymLink())
        return QStringLiteral("symbolický odkaz nevede na obyčejný soubor") +
               (znamo ? QStringLiteral(", ale na: ") + druh : QString());
    if (info.isDir()) return QStringLiteral("je to složka, ne soubor");
    return QStringLiteral("není to obyčejný soubor") +
           (znamo ? QStringLiteral(", ale ") + druh : QString());
}

QString DuvodUlozeni(const QString& cesta, const QSaveFile& f) {
    const QFileInfo slozka(QFileInfo(cesta).absolutePath());
    const QString nazev = QDir::toNativeSeparators(slozka.filePath());
    if (!slozka.exists()) return QStringLiteral("složka %1 neexistuje").arg(nazev);
    if (!slozka.isDir()) return QStringLiteral("%1 není složka").arg(nazev);
    if (!slozka.isWritable()) return QStringLiteral("do složky %1 nelze zapisovat").arg(nazev);
    switch (f.error()) {
    case QFileDevice::OpenError:
        return QStringLiteral("soubor nelze vytvořit");
    case QFileDevice::WriteError:
        return QStringLiteral("zápis se nezdařil (není na disku místo?)");
    case QFileDevice::RenameError:
        return QStringLiteral("původní soubor nelze nahradit");
    default:
        return QStringLiteral("soubor nelze zapsat");
    }
}

bool ZapisObycejnySoubor(const QString& cesta, const QByteArray& obsah, QString& duvod) {
    duvod = NeniSouborem(cesta);
    if (!duvod.isEmpty()) return false;
    QSaveFile f(CilZapisu(cesta));
    if (f.open(QIODevice::WriteOnly) && f.write(obsah) == obsah.size() && f.commit()) return true;
    duvod = DuvodUlozeni(cesta, f);
    return false;
}

QString TextChybySouboru(int cislo) {
    static const struct {
        int Cislo;
        const char* Text;
    } Texty[] = {
        {ENOENT, "soubor neexistuje"},
        {EACCES, "přístup odepřen"},
        {EPERM, "operace není dovolena"},
        {EISDIR, "je to složka, ne soubor"},
        {ENOTDIR, "část cesty není složka"},
        {ELOOP, "příliš mnoho symbolických odkazů"},
        {ENAMETOOLONG, "cesta je příliš dlouhá"},
        {EMFILE, "příliš mnoho otevřených souborů"},
        {EIO, "chyba vstupu/výstupu"},
        {ENXIO, "zařízení neexistuje"},
        {ENODEV, "zařízení neexistuje"},
    };
    for (const auto& t : Texty)
        if (t.Cislo == cislo) return QString::fromUtf8(t.Text);
    return QStringLiteral("chyba systému číslo %1").arg(cislo);
}

std::optional<QByteArray> PrectiObycejnySoubor(const QString& cesta, qint64 nejvic,
                                               QString& duvod) {
    duvod = NeniSouborem(cesta);
    if (!duvod.isEmpty()) return std::nullopt;
    const int fd = ::open(QFile::encodeName(cesta).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return (duvod = TextChybySouboru(errno)), std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        duvod = QStringLiteral("není to obyčejný soubor, ale ") + DruhSouboru(st.st_mode);
        ::close(fd);
        return std::nullopt;
    }
    QByteArray obsah;
    char blok[4096];
    while (obsah.size() < nejvic) {
        const ssize_t n = ::read(fd, blok, sizeof blok);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) duvod = TextChybySouboru(errno);
        if (n <= 0) break;
        obsah.append(blok, static_cast<qsizetype>(n));
    }
    ::close(fd);
    if (!duvod.isEmpty()) return std::nullopt;
    return obsah.left(nejvic);
}
