#include "Pismo.h"

#include <QApplication>

QFont PismoProgramu() {
    QFont pismo(QString::fromLatin1(RodinaPisma));
    pismo.setPixelSize(VelikostPismaPx);
    pismo.setStyleHint(QFont::SansSerif);
    return pismo;
}

void NastavPismoProgramu() {
    // Without a class name this also replaces the fonts a platform theme set
    // for menus, tool tips and the like.
    QApplication::setFont(PismoProgramu());
}
