#include "BehovyAdresar.h"
#include "Hlavni.h"
#include "Pismo.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    // Where that fails, the toolkit falls back to its own choice.
    PripravBehovyAdresar(QDir::tempPath());
    QApplication aplikace(argc, argv);
    NastavPismoProgramu();
    TForm1 okno;
    okno.show();
    return aplikace.exec();
}
