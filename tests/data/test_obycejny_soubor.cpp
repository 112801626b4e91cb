// The rule for symbolic links of files the program reads and replaces: a
// link is followed only where the kernel's protected-symlinks rule would
// follow it. Links owned by other users can only be made by root; as a normal
// user the table runs in a child process switched to the user "nobody".
#include "ObycejnySoubor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Who owns what, relative to the caller.
enum class TKdo { Volajici, Jiny, Treti };

struct TOdkaz {
    const char* Nazev;
    TKdo VlastnikOdkazu;
    TKdo VlastnikSlozky;
    mode_t ModSlozky;
    bool Nasleduje;
};

const TOdkaz Odkazy[] = {
    {"vlastni_ve_sdilene", TKdo::Volajici, TKdo::Jiny, 01777, true},
    {"cizi_ve_sdilene", TKdo::Jiny, TKdo::Treti, 01777, false},
    {"cizi_ve_sdilene_slozce_volajiciho", TKdo::Jiny, TKdo::Volajici, 01777, false},
    {"cizi_vlastnika_sdilene_slozky", TKdo::Jiny, TKdo::Jiny, 01777, true},
    {"cizi_bez_sticky_bitu", TKdo::Jiny, TKdo::Treti, 0777, true},
    {"cizi_ve_sticky_nezapisovatelne", TKdo::Jiny, TKdo::Treti, 01755, true},
    {"cizi_v_obycejne", TKdo::Jiny, TKdo::Treti, 0755, true},
};

struct TUzivatele {
    uid_t Volajici, Jiny, Treti;
    uid_t Kdo(TKdo k) const {
        return k == TKdo::Volajici ? Volajici : k == TKdo::Jiny ? Jiny : Treti;
    }
};

// Makes the row's directory and link (to a file of the caller's) under
// `koren`; the path of the link.
QString Zaloz(const QString& koren, const TOdkaz& r, const TUzivatele& u) {
    const QString slozka = koren + u'/' + QLatin1String(r.Nazev);
    const QString cil = slozka + QStringLiteral(".cil");
    const QString odkaz = slozka + QStringLiteral("/modul.cfm");
    QDir().mkdir(slozka);
    QFile f(cil);
    if (f.open(QIODevice::WriteOnly)) f.write("puvodni\n");
    f.close();
    QFile::link(cil, odkaz);
    const QByteArray s = QFile::encodeName(slozka), o = QFile::encodeName(odkaz);
    const QByteArray c = QFile::encodeName(cil);
    EXPECT_EQ(::chown(c.constData(), u.Volajici, u.Volajici), 0);
    EXPECT_EQ(::lchown(o.constData(), u.Kdo(r.VlastnikOdkazu), u.Kdo(r.VlastnikOdkazu)), 0);
    EXPECT_EQ(::chown(s.constData(), u.Kdo(r.VlastnikSlozky), u.Kdo(r.VlastnikSlozky)), 0);
    EXPECT_EQ(::chmod(s.constData(), r.ModSlozky), 0);
    return odkaz;
}

// The rows whose outcome differs from the table's; each refusal names the
// link and its owner.
int Odchylky(const std::vector<QString>& odkazy) {
    int spatne = 0;
    for (std::size_t i = 0; i < odkazy.size(); ++i) {
        const QString proc = NeniSouborem(odkazy[i]);
        const bool ok = Odkazy[i].Nasleduje ? proc.isEmpty()
                                            : proc.contains(odkazy[i]) &&
                                                  proc.contains(QStringLiteral("patří uživateli"));
        if (!ok) spatne |= 1 << i;
    }
    return spatne;
}

class Odkaz : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "links of other users can only be made by root";
        ASSERT_TRUE(dir_.isValid());
        ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
    }
    std::vector<QString> ZalozVse(const TUzivatele& u) {
        std::vector<QString> odkazy;
        for (const TOdkaz& r : Odkazy)
            odkazy.push_back(Zaloz(dir_.path(), r, u));
        return odkazy;
    }
    QTemporaryDir dir_;
};

} // namespace

TEST_F(Odkaz, JakoRootNasledujeJenDovolenymOdkazum) {
    const auto odkazy = ZalozVse({0, 1234, 4321});
    EXPECT_EQ(Odchylky(odkazy), 0);
    for (std::size_t i = 0; i < odkazy.size(); ++i)
        EXPECT_EQ(NeniSouborem(odkazy[i]).isEmpty(), Odkazy[i].Nasleduje) << Odkazy[i].Nazev;
    // A refused link is not followed for reading either, and the question
    // before replacing a followed one names the file replaced.
    QString duvod;
    EXPECT_FALSE(PrectiObycejnySoubor(odkazy[1], 100, duvod));
    EXPECT_TRUE(duvod.contains(QStringLiteral("patří uživateli 1234"))) << duvod.toStdString();
    EXPECT_EQ(CilZapisu(odkazy[0]), dir_.filePath(QStringLiteral("vlastni_ve_sdilene.cil")));
}

TEST_F(Odkaz, JakoObycejnyUzivatelNasledujeJenDovolenymOdkazum) {
    constexpr uid_t nikdo = 65534;
    const auto odkazy = ZalozVse({nikdo, 0, 4321});
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::setgid(nikdo) != 0 || ::setuid(nikdo) != 0) ::_exit(255);
        ::_exit(Odchylky(odkazy));
    }
    int stav = 0;
    ASSERT_EQ(::waitpid(pid, &stav, 0), pid);
    ASSERT_TRUE(WIFEXITED(stav));
    if (WEXITSTATUS(stav) == 255) GTEST_SKIP() << "cannot switch to the user nobody";
    EXPECT_EQ(WEXITSTATUS(stav), 0) << "rows that differ (bit per row of the table)";
}
