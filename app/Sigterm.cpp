#include "Sigterm.h"

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The signal handler only writes a byte here; the event loop reads it.
int Roura[2] = {-1, -1};

// How often closing looks again while a dialog's own event loop unwinds.
constexpr int IntervalZavirani = 20;

extern "C" void PriSigterm(int) {
    const char c = 't';
    [[maybe_unused]] const auto n = ::write(Roura[1], &c, 1);
}

// A modal dialog runs its own event loop inside a handler of the main
// window: it is closed first, and the main window once that loop has ended.
void Zavri(const QPointer<QWidget>& okno) {
    if (okno.isNull()) return;
    QWidget* modalni = QApplication::activeModalWidget();
    if (modalni == nullptr || modalni == okno) {
        okno->close();
        return;
    }
    modalni->close();
    QTimer::singleShot(IntervalZavirani, okno, [okno] { Zavri(okno); });
}

} // namespace

bool ZachytSigterm() {
    if (::pipe2(Roura, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction sa {};
    sa.sa_handler = PriSigterm;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &sa, nullptr) == 0;
}

void ZavriPriSigterm(QWidget& okno, std::function<void()> predZavrenim) {
    if (Roura[0] < 0) return;
    auto* oznameni = new QSocketNotifier(Roura[0], QSocketNotifier::Read, &okno);
    QObject::connect(oznameni, &QSocketNotifier::activated, &okno,
                     [cil = QPointer<QWidget>(&okno), predZavrenim = std::move(predZavrenim)] {
                         char c = 0;
                         while (::read(Roura[0], &c, 1) > 0) {
                         }
                         if (predZavrenim && !cil.isNull()) predZavrenim();
                         Zavri(cil);
                     });
}
