#include "BehovyAdresar.h"
#include "Hlavni.h"
#include "Pismo.h"
#include "PrekladQt.h"
#include "Sigterm.h"
#include "Umisteni.h"
#include "zr464_build.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QDir>
#include <cstdio>

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
// neither is given, otherwise the exit code. Every other argument is the
// toolkit's (-platform, -style, ...).
int VolbaBezOkna(int argc, char** argv) {
    CLI::App volby;
    volby.set_help_flag();
    volby.allow_extras();
    bool verze = false, napoveda = false;
    volby.add_flag("--version", verze);
    volby.add_flag("--help", napoveda);
    try {
        volby.parse(argc, argv);
    } catch (const CLI::ParseError&) {
        return -1;
    }
    if (verze)
        std::printf("zr464 %s\n", ZR464_VERSION);
    else if (napoveda)
        std::fputs(Napoveda, stdout);
    return verze || napoveda ? 0 : -1;
}

} // namespace

int main(int argc, char** argv) {
    ZachytSigterm();
    if (const int kod = VolbaBezOkna(argc, argv); kod >= 0) return kod;
    // Where that fails, the toolkit falls back to its own choice.
    PripravBehovyAdresar(QDir::tempPath());
    QApplication aplikace(argc, argv);
    NastavPismoProgramu();
    if (!NactiPrekladQt(aplikace))
        std::fprintf(stderr,
                     "zr464: chybí český překlad Qt (%s.qm, balík "
                     "qt6-translations-l10n); jeho vlastní dialogy budou anglicky\n",
                     PrekladQtCesky);
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
