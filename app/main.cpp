#include "Hlavni.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication aplikace(argc, argv);
    TForm1 okno;
    okno.show();
    return aplikace.exec();
}
