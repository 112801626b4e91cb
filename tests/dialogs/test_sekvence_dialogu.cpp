// Where the two dialogs let window messages in during their sequences, and
// how "Cancel" meets a running read.
#include "CasovacWD.h"
#include "FakeModul.h"
#include "NastavDIO.h"

#include <functional>
#include <memory>
#include <numeric>

namespace {

using SekvenceDialogu = SFakeModulem;

// A call that queues itself again: it runs once each time the window
// messages are processed, so it counts the pauses of a running sequence.
class Pauzy : public QObject {
public:
    explicit Pauzy(std::function<void()> priPauze) : PriPauze(std::move(priPauze)) { Dalsi(); }

private:
    void Dalsi() {
        QMetaObject::invokeMethod(
            this,
            [this] {
                PriPauze();
                Dalsi();
            },
            Qt::QueuedConnection);
    }
    std::function<void()> PriPauze;
};

// The digital I/O dialog pauses after every command, the last one included,
// before its closing text; the watchdog dialog never pauses.
TEST_F(SekvenceDialogu, PauzyMeziPrikazy) {
    const struct {
        const char* nazev;
        std::function<std::unique_ptr<TKonfiguracniDialog>(TData*)> vytvor;
        const char* tlacitko;
        std::size_t prikazu;
        std::size_t pauz; // one after each command
        QString posledni; // the status text at the last pause
    } radky[] = {
        {"digital I/O read", [](TData* d) { return std::make_unique<TForm14>(d); }, "Button2", 12,
         12, QStringLiteral(" Probíhá čtení konfigurace z modulu (100 %)")},
        {"digital I/O write", [](TData* d) { return std::make_unique<TForm14>(d); }, "Button1", 24,
         24, QStringLiteral(" Probíhá zápis konfigurace do modulu (100 %)")},
        {"watchdog read",
         [](TData* d) { return std::make_unique<TForm4>(d); },
         "Button2",
         5,
         0,
         {}},
        {"watchdog write",
         [](TData* d) { return std::make_unique<TForm4>(d); },
         "Button1",
         10,
         0,
         {}},
    };
    for (const auto& r : radky) {
        SCOPED_TRACE(r.nazev);
        fake.Reset();
        // Read-backs of the default record.
        for (std::uint32_t reg : {33, 36, 39, 42, 34, 37, 40, 43})
            Registr(reg, 255);
        Registr(0, 60);
        Registr(3, 10);
        Registr(1, 1);
        auto okno = r.vytvor(&data);
        okno->show();
        QApplication::processEvents();
        std::vector<std::size_t> odeslanoPriPauze;
        QString posledni;
        {
            Pauzy pauzy([&] {
                odeslanoPriPauze.push_back(fake.Volani(FakeSend).size());
                posledni = Text(okno.get(), "StatusBar1Panel0");
            });
            Klikni(okno.get(), r.tlacitko);
        }
        std::vector<std::size_t> ocekavano(r.pauz);
        std::iota(ocekavano.begin(), ocekavano.end(), 1u);
        EXPECT_EQ(odeslanoPriPauze, ocekavano);
        EXPECT_EQ(posledni, r.posledni);
        EXPECT_EQ(Odeslane().size(), r.prikazu);
    }
}

// "Cancel" pressed while a read runs: the digital I/O dialog processes it at
// its first pause and stops after the command in progress; the watchdog
// dialog processes nothing until its five commands are done.
TEST_F(SekvenceDialogu, ZruseniBehemCteni) {
    const struct {
        const char* nazev;
        std::function<std::unique_ptr<TKonfiguracniDialog>(TData*)> vytvor;
        std::size_t odeslano;
    } radky[] = {
        {"digital I/O", [](TData* d) { return std::make_unique<TForm14>(d); }, 1},
        {"watchdog", [](TData* d) { return std::make_unique<TForm4>(d); }, 5},
    };
    for (const auto& r : radky) {
        SCOPED_TRACE(r.nazev);
        fake.Reset();
        auto okno = r.vytvor(&data);
        okno->show();
        QTimer::singleShot(0, okno.get(), [&okno] { Klikni(okno.get(), "Button4"); });
        Klikni(okno.get(), "Button2");
        EXPECT_EQ(Odeslane().size(), r.odeslano);
        QApplication::processEvents();
        EXPECT_FALSE(okno->isVisible());
        EXPECT_EQ(Odeslane().size(), r.odeslano) << "nothing after closing";
    }
}

} // namespace
