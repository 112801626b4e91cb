#include "Umisteni.h"

#include "Xxxx683.h"
#include "zr464_build.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString SouborNastaveni = QStringLiteral("W_zr464.ini");

bool KnihovnaVedle(const QDir& adresar) {
    for (std::uint8_t typ = 0; !SouborKnihovny(typ).isEmpty(); ++typ)
        if (QFileInfo::exists(adresar.filePath(SouborKnihovny(typ)))) return true;
    return false;
}

// $XDG_CONFIG_HOME when it is an absolute path; otherwise, as the XDG base
// directory rules say, $HOME/.config.
QString SlozkaKonfigurace(const QString& xdgConfigHome, const QString& domov) {
    if (QDir::isAbsolutePath(xdgConfigHome)) return QDir::cleanPath(xdgConfigHome);
    return QDir::cleanPath(domov + QStringLiteral("/.config"));
}

} // namespace

TUmisteni UrciUmisteni(const QString& adresarProgramu, const QString& xdgConfigHome,
                       const QString& domov) {
    const QDir program(adresarProgramu);
    TUmisteni u;
    u.Prenosna = KnihovnaVedle(program);
    if (u.Prenosna) {
        u.Knihovny = program.absolutePath();
        u.Nastaveni = program.absoluteFilePath(SouborNastaveni);
        return u;
    }
    u.Knihovny =
        QDir::cleanPath(program.absoluteFilePath(QStringLiteral(ZR464_LIBDIR_FROM_BINDIR)));
    u.Nastaveni =
        SlozkaKonfigurace(xdgConfigHome, domov) + QStringLiteral("/zr464/") + SouborNastaveni;
    return u;
}

TUmisteni Umisteni() {
    return UrciUmisteni(QCoreApplication::applicationDirPath(),
                        qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
}

bool PripravSlozkuNastaveni(const TUmisteni& umisteni) {
    if (umisteni.Prenosna) return true;
    const QString slozka = QFileInfo(umisteni.Nastaveni).absolutePath();
    // The missing folders from the outermost in, each private to the user.
    QStringList chybi;
    for (QString s = slozka; !QFileInfo::exists(s) && !QDir(s).isRoot();
         s = QFileInfo(s).absolutePath())
        chybi.prepend(s);
    const auto soukroma = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    for (const QString& s : chybi)
        if (!QDir().mkdir(s, soukroma)) return false;
    return QFileInfo(slozka).isDir();
}

void NastavSlozkuNastaveniQt(const TUmisteni& umisteni) {
    const QString slozka = QFileInfo(umisteni.Nastaveni).absolutePath();
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, slozka);
}

QString CestaNastaveni() {
    return Umisteni().Nastaveni;
}
