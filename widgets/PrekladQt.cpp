#include "PrekladQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool NactiPrekladQt(QCoreApplication& aplikace) {
    // Owned by the application, which it translates for as long as it runs.
    auto* preklad = new QTranslator(&aplikace);
    const QString slozka = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!preklad->load(QString::fromLatin1(PrekladQtCesky), slozka) ||
        !QCoreApplication::installTranslator(preklad)) {
        delete preklad;
        return false;
    }
    return true;
}
