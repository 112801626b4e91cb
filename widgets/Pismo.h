// The program's interface font, one for every window: the fixed geometry of
// the windows (status-bar panels, labels, buttons) is laid out for it.
#pragma once

#include <QFont>

// Liberation Sans (Debian package fonts-liberation2, metric-compatible with
// Arial) at 11 pixels, the size of an 8-point interface font at 96 dpi: at
// that size its widths stay within about 1 % of the classic Windows dialog
// font's. Given in pixels, as the geometry is, so that text and controls
// scale together whatever dots per inch the screen reports.
inline constexpr const char* RodinaPisma = "Liberation Sans";
inline constexpr int VelikostPismaPx = 11;

QFont PismoProgramu();

// Makes it the font of every widget of the application; called once, right
// after the QApplication is created (by the program, the GUI tests and the
// tool that renders the windows).
void NastavPismoProgramu();
