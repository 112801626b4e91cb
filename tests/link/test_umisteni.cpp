// Where the program finds its driver libraries and its settings file, for a
// portable and an installed copy, and that the settings land there and
// nowhere else.
#include "Dekl.h"
#include "Umisteni.h"
#include "zr464_build.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TRadek {
    const char* Nazev;
    // Made in the temporary root before the rule is asked; names ending in
    // "/" are folders, "A -> B" a symbolic link A to B.
    std::vector<const char*> Strom;
    const char* XdgConfigHome; // relative to the root; "" unset, "!cfg" as given
    const char* Nastaveni;     // the settings file the rule gives, relative
    const char* Knihovny;      // the library folder the rule gives, relative
    bool Ulozeno;              // whether saving succeeds
    const char* Zapsano;       // the regular file that then holds the settings
};

const std::string Instalovane = std::string("usr/") + ZR464_PRIVATE_LIBDIR;

const TRadek Radky[] = {
    {"portable",
     {"usr/bin/XKU1683.so"},
     "cfg",
     "usr/bin/W_zr464.ini",
     "usr/bin",
     true,
     "usr/bin/W_zr464.ini"},
    {"portable through a linked library",
     {"lib/XZR1683.so", "usr/bin/XZR1683.so -> ../../lib/XZR1683.so"},
     "cfg",
     "usr/bin/W_zr464.ini",
     "usr/bin",
     true,
     "usr/bin/W_zr464.ini"},
    {"installed",
     {"usr/bin/", "usr/bin/W_zr464.ini -> ../../old.ini", "old.ini"},
     "cfg",
     "cfg/zr464/W_zr464.ini",
     Instalovane.c_str(),
     true,
     "cfg/zr464/W_zr464.ini"},
    {"installed without XDG_CONFIG_HOME",
     {"usr/bin/", "home/"},
     "",
     "home/.config/zr464/W_zr464.ini",
     Instalovane.c_str(),
     true,
     "home/.config/zr464/W_zr464.ini"},
    {"installed with a relative XDG_CONFIG_HOME",
     {"usr/bin/", "home/"},
     "!cfg",
     "home/.config/zr464/W_zr464.ini",
     Instalovane.c_str(),
     true,
     "home/.config/zr464/W_zr464.ini"},
    {"unwritable configuration folder",
     {"usr/bin/", "cfg"},
     "cfg",
     "cfg/zr464/W_zr464.ini",
     Instalovane.c_str(),
     false,
     nullptr},
    {"linked settings file",
     {"usr/bin/", "cfg/zr464/", "jinde.ini", "cfg/zr464/W_zr464.ini -> ../../jinde.ini"},
     "cfg",
     "cfg/zr464/W_zr464.ini",
     Instalovane.c_str(),
     true,
     "jinde.ini"},
    {"linked configuration folder",
     {"usr/bin/", "cfg/", "sdilene/", "cfg/zr464 -> ../sdilene"},
     "cfg",
     "cfg/zr464/W_zr464.ini",
     Instalovane.c_str(),
     true,
     "sdilene/W_zr464.ini"},
};

class Umisteni : public ::testing::TestWithParam<TRadek> {
protected:
    QString Cesta(const char* relativni) const {
        return koren_.filePath(QString::fromUtf8(relativni));
    }
    void Postav(const std::vector<const char*>& strom) const {
        for (const char* polozka : strom) {
            const QString p = QString::fromUtf8(polozka);
            const qsizetype sipka = p.indexOf(QStringLiteral(" -> "));
            const QString cesta = koren_.filePath(sipka < 0 ? p : p.left(sipka));
            ASSERT_TRUE(QDir().mkpath(QFileInfo(cesta).absolutePath()));
            if (sipka >= 0)
                ASSERT_TRUE(QFile::link(p.mid(sipka + 4), cesta)) << polozka;
            else if (p.endsWith(u'/'))
                ASSERT_TRUE(QDir().mkpath(cesta));
            else
                ASSERT_TRUE(QFile(cesta).open(QIODevice::WriteOnly)) << polozka;
        }
    }
    // The regular files that hold saved settings, in the root and in the
    // folders the rows use (a linked folder counts where it leads).
    std::string SNastavenim() const {
        QStringList nalezene;
        for (const char* slozka : {"", "usr/bin", "cfg/zr464", "home/.config/zr464", "sdilene"}) {
            if (QFileInfo(Cesta(slozka)).isSymLink()) continue;
            const QString predpona = *slozka == '\0' ? QString() : QString::fromUtf8(slozka) + u'/';
            for (const QFileInfo& f :
                 QDir(Cesta(slozka)).entryInfoList(QDir::Files | QDir::NoSymLinks))
                if (ObsahujeNastaveni(f.filePath())) nalezene << predpona + f.fileName();
        }
        return nalezene.join(u' ').toStdString();
    }
    static bool ObsahujeNastaveni(const QString& cesta) {
        QFile f(cesta);
        return f.open(QIODevice::ReadOnly) && f.readAll().contains("KU-1683");
    }

    QTemporaryDir koren_;
};

TEST_P(Umisteni, LibrariesAndSettingsLieWhereTheRuleSays) {
    const TRadek& r = GetParam();
    ASSERT_TRUE(koren_.isValid());
    Postav(r.Strom);
    const QString xdg = QString::fromUtf8(r.XdgConfigHome);
    const TUmisteni u = UrciUmisteni(Cesta("usr/bin"),
                                     xdg.startsWith(u'!') ? xdg.mid(1)
                                     : xdg.isEmpty()      ? xdg
                                                          : Cesta(r.XdgConfigHome),
                                     Cesta("home"));
    EXPECT_EQ(u.Nastaveni.toStdString(), Cesta(r.Nastaveni).toStdString());
    EXPECT_EQ(u.Knihovny.toStdString(), Cesta(r.Knihovny).toStdString());
    EXPECT_EQ(u.Prenosna, std::string(r.Knihovny) == "usr/bin");

    const QString slozka = QFileInfo(u.Nastaveni).absolutePath();
    const bool byla = QFileInfo::exists(slozka);
    EXPECT_EQ(PripravSlozkuNastaveni(u), r.Ulozeno);
    TData d;
    VychoziData(&d);
    d.Rozhrani = 3;
    QString chyba;
    EXPECT_EQ(UlozNastaveni(&d, u.Nastaveni, &chyba), r.Ulozeno);
    if (!r.Ulozeno) {
        EXPECT_TRUE(chyba.contains(u.Nastaveni)) << chyba.toStdString();
        EXPECT_EQ(SNastavenim(), "");
        return;
    }
    EXPECT_EQ(SNastavenim(), r.Zapsano);
    TData zpet;
    VychoziData(&zpet);
    EXPECT_TRUE(NactiNastaveni(&zpet, u.Nastaveni));
    EXPECT_EQ(zpet.Rozhrani, 3);
    // A folder the rule made is the user's alone.
    if (!byla) {
        EXPECT_EQ(QFileInfo(slozka).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
    }
}

void PrintTo(const TRadek& r, std::ostream* os) {
    *os << r.Nazev;
}

INSTANTIATE_TEST_SUITE_P(Rule, Umisteni, ::testing::ValuesIn(Radky), [](const auto& info) {
    std::string jmeno;
    for (const char* c = info.param.Nazev; *c != '\0'; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) jmeno += *c;
    return jmeno;
});

} // namespace
