// The size of the windows added beside the module's own (the "Nástroje"
// windows): resizable, never asking for more than a 1024x768 screen with a
// taskbar holds, a first size that fits the screen they open on (in its
// logical pixels, so at any scale factor), and the last size the operator
// gave each one kept in the program's data record, which the settings file
// saves in a section of its own. The module's own windows keep their fixed
// geometry and do not use this.
#pragma once

#include <QSize>

class QLabel;
class QVBoxLayout;
class QWidget;
struct TData;

// The least screen every such window fits on; what a window's frame and
// title bar take; what they and a taskbar take of that screen.
inline constexpr QSize NejmensiObrazovka{1024, 768};
inline constexpr QSize RezervaRamu{24, 40};
inline constexpr QSize RezervaObrazovky = RezervaRamu + QSize(0, 48);
// The most a window's minimum may be: what is left of that screen.
inline constexpr QSize NejvetsiMinimum = NejmensiObrazovka - RezervaObrazovky;

// Makes a dialog resizable. At every show (not a spontaneous one) its
// minimum becomes its layout's, at most NejvetsiMinimum; its size the one
// remembered for its object name in `data`, else `prvni`; both at most the
// screen's available area less the frame. Every later resize is remembered
// in `data`; without a record nothing is.
void PrizpusobivaVelikost(QWidget* okno, QSize prvni, TData* data);

// The layout of a dialog's contents above the status bar StavovyRadekDialogu
// made (Ovladace.h), with the usual margins. The status panel then takes
// the width it is given, so that a long text never widens the window.
QVBoxLayout* RozlozeniObsahu(QWidget* okno);

// A label whose text changes (a path, a count) asks for no width of its
// own: it shows what fits of the width the layout gives it.
void PruznyPopisek(QLabel* popisek);
