#include "BehovyAdresar.h"
#include "Hlavni.h"
#include "Pismo.h"
#include "Sigterm.h"
#include "Umisteni.h"
#include "zr464_build.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* Napoveda =
    "Použití: zr464 [--help | --version]\n"
    "Nastavení a test modulů digitálních vstupů a výstupů ZR-464 přes COM port,\n"
    "kartu KC-683 nebo KC-1683, převodník KU-1683 nebo LAN převodník ZR-1683.\n"
    "\n"
    "  --help     vypíše tuto nápovědu\n"
    "  --version  vypíše verzi programu\n"
    "\n"
    "Bez voleb otevře okno programu. Nastavení připojení je v souboru W_zr464.ini\n"
    "vedle programu (přenosná kopie) nebo v ~/.config/zr464/ (instalace).\n";

// The options answered without a window: --help and --version. -1 when
// neither is given, otherwise the exit code.
int VolbaBezOkna(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zr464 %s\n", ZR464_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(Napoveda, stdout);
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    ZachytSigterm();
    if (const int kod = VolbaBezOkna(argc, argv); kod >= 0) return kod;
    // Where that fails, the toolkit falls back to its own choice.
    PripravBehovyAdresar(QDir::tempPath());
    QApplication aplikace(argc, argv);
    NastavPismoProgramu();
    // An installed copy's settings folder, so that closing can save there.
    PripravSlozkuNastaveni(Umisteni());
    NastavSlozkuNastaveniQt(Umisteni());
    TForm1 okno;
    // At SIGTERM nobody may be there to answer a message box: what closing
    // has to report goes to standard error, and the program ends.
    ZavriPriSigterm(okno, [&okno] {
        okno.ZpravaBezOkna = [](const QString& text) {
            std::fprintf(stderr, "zr464: %s\n", text.toLocal8Bit().constData());
        };
    });
    okno.show();
    return aplikace.exec();
}
