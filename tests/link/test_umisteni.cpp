// Where the program finds its driver libraries and its settings file, for a
// portable and an installed copy, and that the settings land there and
// nowhere else.
#include "Dekl.h"
#include "Umisteni.h"
#include "zr464_build.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// One layout: the tree made in a temporary root before the rule is asked
// ("name/" a folder, "A -> B" a symbolic link A to B, else an empty file),
// XDG_CONFIG_HOME relative to the root ("" unset, "!cfg" given as it is),
// the settings file the rule gives, whether the copy is portable, and the
// regular file that holds the settings after saving (null: saving fails).
struct TRadek {
    const char* Nazev;
    std::vector<const char*> Strom;
    const char *XdgConfigHome, *Nastaveni;
    bool Prenosna;
    const char* Zapsano;
};

// clang-format off
const TRadek Radky[] = {
    {"portable", {"usr/bin/XKU1683.so"}, "cfg", "usr/bin/W_zr464.ini", true, "usr/bin/W_zr464.ini"},
    {"portable through a linked library", {"lib/XZR1683.so", "usr/bin/XZR1683.so -> ../../lib/XZR1683.so"},
     "cfg", "usr/bin/W_zr464.ini", true, "usr/bin/W_zr464.ini"},
    {"installed", {"usr/bin/", "usr/bin/W_zr464.ini -> ../../old.ini", "old.ini"},
     "cfg", "cfg/zr464/W_zr464.ini", false, "cfg/zr464/W_zr464.ini"},
    {"installed without XDG_CONFIG_HOME", {"usr/bin/", "home/"},
     "", "home/.config/zr464/W_zr464.ini", false, "home/.config/zr464/W_zr464.ini"},
    {"installed with a relative XDG_CONFIG_HOME", {"usr/bin/", "home/"},
     "!cfg", "home/.config/zr464/W_zr464.ini", false, "home/.config/zr464/W_zr464.ini"},
    {"unwritable configuration folder", {"usr/bin/", "cfg"}, "cfg", "cfg/zr464/W_zr464.ini", false, nullptr},
    {"linked settings file", {"usr/bin/", "cfg/zr464/", "jinde.ini", "cfg/zr464/W_zr464.ini -> ../../jinde.ini"},
     "cfg", "cfg/zr464/W_zr464.ini", false, "jinde.ini"},
    {"linked configuration folder", {"usr/bin/", "cfg/", "sdilene/", "cfg/zr464 -> ../sdilene"},
     "cfg", "cfg/zr464/W_zr464.ini", false, "sdilene/W_zr464.ini"},
};
// clang-format on

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
                if (QFile g(f.filePath());
                    g.open(QIODevice::ReadOnly) && g.readAll().contains("KU-1683"))
                    nalezene << predpona + f.fileName();
        }
        return nalezene.join(u' ').toStdString();
    }

    QTemporaryDir koren_;
};

TEST_P(Umisteni, KnihovnyANastaveniLeziKdeRikaPravidlo) {
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
    const std::string knihovny =
        r.Prenosna ? "usr/bin" : std::string("usr/") + ZR464_PRIVATE_LIBDIR;
    EXPECT_EQ(u.Knihovny.toStdString(), Cesta(knihovny.c_str()).toStdString());
    EXPECT_EQ(u.Prenosna, r.Prenosna);

    const QString slozka = QFileInfo(u.Nastaveni).absolutePath();
    const bool byla = QFileInfo::exists(slozka);
    const bool ulozi = r.Zapsano != nullptr;
    EXPECT_EQ(PripravSlozkuNastaveni(u), ulozi);
    TData d;
    VychoziData(&d);
    d.Rozhrani = 3;
    QString chyba;
    EXPECT_EQ(UlozNastaveni(&d, u.Nastaveni, &chyba), ulozi);
    EXPECT_EQ(SNastavenim(), ulozi ? r.Zapsano : "");
    if (!ulozi) {
        EXPECT_TRUE(chyba.contains(u.Nastaveni)) << chyba.toStdString();
        return;
    }
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

INSTANTIATE_TEST_SUITE_P(Pravidlo, Umisteni, ::testing::ValuesIn(Radky), [](const auto& info) {
    std::string jmeno;
    for (const char* c = info.param.Nazev; *c != '\0'; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c))) jmeno += *c;
    return jmeno;
});

} // namespace

TEST(UmisteniQt, HistorieDialoguLeziUNastaveni) {
    for (const char* nastaveni : {"/x/bin/W_zr464.ini", "/home/u/.config/zr464/W_zr464.ini"}) {
        NastavSlozkuNastaveniQt({true, QString(), QLatin1String(nastaveni)});
        const QSettings qt(QSettings::UserScope, QStringLiteral("QtProject")); // file dialogs
        EXPECT_EQ(QFileInfo(qt.fileName()).absoluteFilePath(),
                  QFileInfo(QLatin1String(nastaveni)).absolutePath() + "/QtProject.conf");
    }
}
