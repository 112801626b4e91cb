// The symbolic-link rule as a table of owners and directory modes, run as
// root and, in a child switched to the user "nobody", as a normal user.
#include "ObycejnySoubor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TOdkaz {
    int Odkaz, Slozka; // owners: 0 the caller, 1 another user, 2 a third
    mode_t Mod;
    bool Nasleduje;
} const Odkazy[] = {{0, 1, 01777, true}, {1, 2, 01777, false}, {1, 0, 01777, false},
                    {1, 1, 01777, true}, {1, 2, 0777, true},   {1, 2, 01755, true}};

QString Odkaz(const QString& koren, int i) {
    return koren + QStringLiteral("/%1/a.cfm").arg(i);
}

// The table's directories and links (to a file of the caller's) under `koren`.
bool Zaloz(const QString& koren, const std::array<uid_t, 3>& uid) {
    bool ok = true;
    for (int i = 0; i < static_cast<int>(std::size(Odkazy)); ++i) {
        const TOdkaz& r = Odkazy[i];
        const QString cil = koren + QStringLiteral("/%1.cil").arg(i);
        const QByteArray s = QFile::encodeName(QFileInfo(Odkaz(koren, i)).path());
        ok = ok && QDir().mkdir(QString::fromUtf8(s)) && QFile(cil).open(QIODevice::WriteOnly) &&
             QFile::link(cil, Odkaz(koren, i)) &&
             ::chown(QFile::encodeName(cil), uid[0], uid[0]) == 0 &&
             ::lchown(QFile::encodeName(Odkaz(koren, i)), uid[r.Odkaz], uid[r.Odkaz]) == 0 &&
             ::chown(s, uid[r.Slozka], uid[r.Slozka]) == 0 && ::chmod(s, r.Mod) == 0;
    }
    return ok;
}

// A bit for each row that comes out otherwise; a refusal names the link.
int Odchylky(const QString& koren) {
    int spatne = 0;
    for (int i = 0; i < static_cast<int>(std::size(Odkazy)); ++i) {
        const QString proc = NeniSouborem(Odkaz(koren, i));
        if (Odkazy[i].Nasleduje ? !proc.isEmpty() : !proc.contains(Odkaz(koren, i) + " patří"))
            spatne |= 1 << i;
    }
    return spatne;
}

} // namespace

TEST(Odkaz, JakRootTakObycejnyUzivatel) {
    if (::geteuid() != 0) GTEST_SKIP() << "links of other users can be made by root only";
    QTemporaryDir root, nikdo;
    ASSERT_TRUE(Zaloz(root.path(), {0, 1234, 4321}) && Zaloz(nikdo.path(), {65534, 0, 4321}));
    EXPECT_EQ(Odchylky(root.path()), 0) << "a bit per row";
    ::chmod(QFile::encodeName(nikdo.path()), 0755);
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(::setgid(65534) || ::setuid(65534) ? 255 : Odchylky(nikdo.path()));
    int stav = 0;
    ASSERT_EQ(::waitpid(pid, &stav, 0), pid);
    if (WEXITSTATUS(stav) == 255) GTEST_SKIP() << "cannot switch to the user nobody";
    EXPECT_EQ(WEXITSTATUS(stav), 0) << "as nobody: a bit per row";
}
