// Widget helpers shared by the main window, the configuration dialogs and the
// live windows: controls created under their designer names, status-bar
// panels from a table, and the one way a status text is shown.
#pragma once

#include <QLabel>
#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

class QStatusBar;
class QWidget;

// A control of class T, child of `rodic`, named `jmeno` (its designer name,
// by which the tests find it). The arguments before the parent are T's own:
// Vytvor<QLabel>(this, "Label1", text), Vytvor<QLineEdit>(this, "Edit1").
template <class T, class... A> T* Vytvor(QWidget* rodic, const char* jmeno, A&&... argumenty) {
    auto* ovladac = new T(std::forward<A>(argumenty)..., rodic);
    ovladac->setObjectName(QLatin1String(jmeno));
    return ovladac;
}

// One status-bar panel: its width in pixels (0: it takes the rest of the
// bar) and its first text.
struct TPanelNavrh {
    int Sirka;
    const char* Text;
};

// Adds the panels to the status bar, named StatusBar1Panel0, 1, ...
std::vector<QLabel*> VytvorPanely(QStatusBar* lista, std::span<const TPanelNavrh> navrh);

// A dialog's status bar `StatusBar1` with one panel over its whole width,
// kept along the dialog's bottom edge. Returns the panel.
QLabel* StavovyRadekDialogu(QWidget* dialog);

// Sets a status text. A panel of fixed width shows what fits; its tooltip
// carries the whole text, so that a cut-off message can still be read.
inline void NastavTextPanelu(QLabel* panel, const QString& text) {
    panel->setText(text);
    panel->setToolTip(text);
}

// Shows the text and repaints the panel at once: during a command sequence
// the message loop does not run.
void ZobrazHned(QLabel* panel, const QString& text);

// Moves a shown window to the centre of its screen, frame included.
void NaStredObrazovky(QWidget* okno);

// The pause between two commands of a sequence: the window's pending
// messages are handled (a click on "Zastavit", a close), then the thread
// sleeps 1 ms, so that a repeated click does not spin the processor.
void PauzaMeziPrikazy();

// One piece of work at a time in a window (a command sequence, a scan), and
// its closing deferred while the work runs: the work stops after the command
// in progress and the window closes when it has returned.
class TPraceOkna {
public:
    bool Bezi() const { return Prace; }
    // Whether the work was asked to stop (Zastav or a deferred close).
    bool Zastaveno() const { return Zastavit; }
    void Zastav() { Zastavit = true; }
    // Runs `prace` unless work runs already (false then); afterwards calls
    // `zavrit` with the result of a close asked for meanwhile.
    bool Spust(const std::function<void()>& prace, const std::function<void(int)>& zavrit);
    // A close asked for: false when nothing runs (close now); otherwise the
    // work is stopped and the close waits for it.
    bool OdlozZavreni(int vysledek);

private:
    bool Prace = false;
    bool Zastavit = false;
    bool ZavritPoPraci = false;
    int VysledekZavreni = 0;
};

// Asks before a save replaces an existing file, naming the file that is
// replaced: the target of a symbolic link, not the link. True when nothing
// is there yet, when the writer will refuse the path anyway (it names the
// reason then), or when the operator agrees. For save dialogs told not to
// ask themselves (QFileDialog::DontConfirmOverwrite).
bool PotvrdNahrazeni(QWidget* rodic, const QString& cesta);
