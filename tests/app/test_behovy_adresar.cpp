// The private runtime directory given to the toolkit when the session has none.
#include "BehovyAdresar.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class BehovyAdresar : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(zaklad.isValid());
        puvodni = qgetenv("XDG_RUNTIME_DIR");
        mel = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
    }
    void TearDown() override {
        if (mel)
            qputenv("XDG_RUNTIME_DIR", puvodni);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }
    QString Cesta() const {
        return zaklad.filePath(QStringLiteral("zr464-runtime-%1").arg(::getuid()));
    }
    static mode_t Mod(const QString& cesta) {
        struct stat info {};
        return ::lstat(QFile::encodeName(cesta).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
    }

    QTemporaryDir zaklad;
    QByteArray puvodni;
    bool mel = false;
};

struct Pripad {
    const char* Popis;
    std::function<void(const QString& cesta, const QString& zaklad)> Priprava;
    bool Pouzit; // the directory is used and XDG_RUNTIME_DIR names it
};

TEST_F(BehovyAdresar, VlastniAdresarSModem0700NeboNic) {
    const Pripad pripady[] = {
        {"missing: made", [](const QString&, const QString&) {}, true},
        {"own, mode 0755: mode set to 0700",
         [](const QString& c, const QString&) {
             ASSERT_EQ(::mkdir(QFile::encodeName(c).constData(), 0755), 0);
         },
         true},
        {"a symbolic link to an own directory: refused",
         [](const QString& c, const QString& z) {
             const QString cil = z + QStringLiteral("/jinde");
             ASSERT_TRUE(QDir().mkdir(cil));
             ASSERT_TRUE(QFile::link(cil, c));
         },
         false},
        {"a file: refused",
         [](const QString& c, const QString&) {
             QFile soubor(c);
             ASSERT_TRUE(soubor.open(QIODevice::WriteOnly));
         },
         false},
    };
    for (const Pripad& pripad : pripady) {
        SCOPED_TRACE(pripad.Popis);
        QDir(Cesta()).removeRecursively();
        QFile::remove(Cesta());
        qunsetenv("XDG_RUNTIME_DIR");
        pripad.Priprava(Cesta(), zaklad.path());
        EXPECT_EQ(PripravBehovyAdresar(zaklad.path()), pripad.Pouzit);
        if (pripad.Pouzit) {
            EXPECT_EQ(qgetenv("XDG_RUNTIME_DIR"), QFile::encodeName(Cesta()));
            EXPECT_EQ(Mod(Cesta()), 0700u);
        } else {
            EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"));
        }
    }
}

TEST_F(BehovyAdresar, ZadanyAdresarZustane) {
    for (const char* zadany : {"/run/user/jiny", ""}) {
        SCOPED_TRACE(zadany);
        qputenv("XDG_RUNTIME_DIR", zadany);
        const bool prazdny = *zadany == '\0';
        EXPECT_TRUE(PripravBehovyAdresar(zaklad.path()));
        EXPECT_EQ(qgetenv("XDG_RUNTIME_DIR"),
                  prazdny ? QFile::encodeName(Cesta()) : QByteArray(zadany));
        EXPECT_EQ(QFile::exists(Cesta()), prazdny) << "an empty value counts as none";
    }
}

TEST_F(BehovyAdresar, AdresarJinehoUzivatele) {
    ASSERT_EQ(::mkdir(QFile::encodeName(Cesta()).constData(), 0700), 0);
    if (::chown(QFile::encodeName(Cesta()).constData(), ::getuid() + 1, static_cast<gid_t>(-1)) !=
        0)
        GTEST_SKIP() << "changing the owner needs root";
    EXPECT_FALSE(PripravBehovyAdresar(zaklad.path()));
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"));
}

} // namespace
