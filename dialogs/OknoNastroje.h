// The base of the windows of the "Nástroje" menu: a modal window centred on
// the screen, its status bar with one panel, a progress bar, the connection
// check, and one piece of work at a time (a scan, a read or a write) during
// which the window stays responsive between commands. "Zastavit", Escape and
// the close button end the work after the command in progress; the latter
// two then close the window.
//
// A window either places its controls by coordinates at a fixed size, or
// lays them out in Obsah(): then it resizes, its contents above the progress
// bar and the status bar.
#pragma once

#include "Dekl.h"
#include "Ovladace.h"
#include "RelaceModulu.h"
#include "Sekvence.h"

#include <QDialog>
#include <functional>
#include <tuple>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

// The filter of the open and save dialogs for module configuration files.
extern const QString FiltrKonfiguraceModulu;

// How a window asks for a file (true: to save): the path, or empty when the
// operator cancelled.
using TVolbaSouboru = std::function<QString(QWidget* rodic, bool ulozit)>;
// The open or save dialog with the filter.
QString ZeptejSeNaSoubor(QWidget* rodic, bool ulozit);

class TOknoNastroje : public QDialog {
public:
    TOknoNastroje(TData& data, const char* jmeno, const QString& titulek, QWidget* parent);

    // Whether work is running.
    bool Bezi() const { return Prace.Bezi(); }
    // Ends the running work after the command in progress.
    void Zastav() { Prace.Zastav(); }

    // Where the window gets a file from; the open or save dialog unless
    // replaced (a test answers with a path of its own).
    TVolbaSouboru VolbaSouboru = ZeptejSeNaSoubor;

    QProgressBar* ProgressBar1;

protected:
    void showEvent(QShowEvent* event) override;
    // Closing during work waits for the command in progress.
    void done(int vysledek) override;
    // Called with true as work starts and false as it ends: the window
    // enables the controls that fit.
    virtual void PriPraci(bool bezi) = 0;

    // Runs `prace` unless work runs already; the window closes afterwards
    // when it was asked to meanwhile. False when nothing was run.
    bool Spust(const std::function<void()>& prace);
    // Whether to go on: processes the window's events first.
    bool Pokracovat();
    // Progress through a register sequence: the engine's status texts, one
    // step of the progress bar per register, the pause between commands.
    TPrubehSekvence Prubeh();
    // Zeroes the progress bar for `celkem` steps.
    void ZacniPrubeh(int celkem);
    // One step of the progress bar, shown at once.
    void KrokPrubehu();

    // The layout of a window laid out by Qt: what the window adds goes here,
    // above the progress bar and the status bar. The first call makes it.
    QVBoxLayout* Obsah();
    // Makes the window resizable, first at `prvni` (or the size the operator
    // gave it last), never larger than the screen (widgets/VelikostOkna.h).
    void PrizpusobVelikost(QSize prvni);
    // The record's connection as a module session (not owned).
    TRelaceModulu Relace() const { return TRelaceModulu(Data); }

    // The buttons of a window with one kind of work: Button1 captioned
    // `text`, which the window connects to its work; Button2 "Zastavit",
    // which ends the work; Button3 "Zavřít", which closes the window.
    std::tuple<QPushButton*, QPushButton*, QPushButton*> TlacitkaPrace(const QString& text);

    // The status panel; texts begin with a blank, " " alone is no message.
    void ZobrazStav(const QString& text);
    QString Stav() const;
    // Shows " Připojení k modulu není inicializováno." when the record holds
    // no usable connection.
    bool Pripojeno();
    // The text of a sequence that stopped: the step, the register and the
    // library's text (or the value read back).
    QString TextChyby(const QString& krok, const TVysledekSekvence& v) const;
    // Asks for a configuration file; empty (with a status text) when the
    // operator cancelled.
    QString VyberSoubor(bool ulozit);

    TData& Data;

private:
    QLabel* Panel;
    QVBoxLayout* Rozlozeni = nullptr;
    TPraceOkna Prace;
};

// A push button that is never the window's default (Enter in an edit must
// not start work), named and captioned.
QPushButton* TlacitkoNastroje(QWidget* rodic, const char* jmeno, const QString& text);

// A read-only table with the column captions, rows selected whole.
QTableWidget* TabulkaNastroje(QWidget* rodic, const char* jmeno, const QStringList& sloupce);
// Appends one row of texts.
void PridejRadek(QTableWidget* tabulka, const QStringList& texty);
