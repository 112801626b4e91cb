// Status texts in panels of fixed width: the panel shows what fits, and its
// tooltip carries the whole text, so that a cut-off message can still be read.
#pragma once

#include <QLabel>

inline void NastavTextPanelu(QLabel* panel, const QString& text) {
    panel->setText(text);
    panel->setToolTip(text);
}
