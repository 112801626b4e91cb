// zr464-cli: process set-up around SpustCli.
#include "Cli.h"

#include "Umisteni.h"

#include <QGuiApplication>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace {

extern "C" void PriSigint(int) {
    PozadavekPreruseni().store(true);
}

// Ctrl-C sets the request; the transaction in progress still ends normally
// (the libraries go on after an interrupted wait). Any other wait of a system
// call ends with EINTR instead of being restarted, so nothing outside a
// module transaction outlasts Ctrl-C.
void ZachytSigint() {
    struct sigaction sa {};
    sa.sa_handler = PriSigint;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;
    sigaction(SIGINT, &sa, nullptr);
}

// Qt's own notes (such as a missing XDG_RUNTIME_DIR) are not the program's
// output; what it reports goes through TVystup.
void BezZprav(QtMsgType typ, const QMessageLogContext&, const QString&) {
    if (typ == QtFatalMsg) std::abort();
}

} // namespace

int main(int argc, char** argv) {
    ZachytSigint();
    const std::vector<std::string> argumenty(argv + 1, argv + argc);
    // The report's PDF needs Qt's fonts, and so a QGuiApplication; the
    // offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(BezZprav);
    QGuiApplication app(argc, argv);
    TProstredi prostredi;
    prostredi.Nastaveni = CestaNastaveni();
    prostredi.ChybovyTerminal = ::isatty(STDERR_FILENO) == 1;
    const int kod = SpustCli(argumenty, std::cout, std::cerr, prostredi);
    std::cout.flush();
    return kod;
}
