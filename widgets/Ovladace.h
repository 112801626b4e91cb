// Widget helpers shared by the main window, the configuration dialogs and the
// live windows: controls created under their designer names, status-bar
// panels from a table, and the one way a status text is shown.
#pragma once

#include <QLabel>
#include <QString>
#include <cstdint>
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
// Shows " " and the text of a result code of the interface type, at once.
void ZobrazKod(QLabel* panel, std::uint8_t typ, std::uint32_t kod);

// Moves a shown window to the centre of its screen, frame included.
void NaStredObrazovky(QWidget* okno);

// Asks before a save replaces an existing file, naming the file that is
// replaced: the target of a symbolic link, not the link. True when nothing
// is there yet, when the writer will refuse the path anyway (it names the
// reason then), or when the operator agrees. For save dialogs told not to
// ask themselves (QFileDialog::DontConfirmOverwrite).
bool PotvrdNahrazeni(QWidget* rodic, const QString& cesta);
