#pragma once

#include <QColor>

// The colour motion is shown in: a panel's mark, the history's event band.
inline QColor MotionColour() {
    return QColor(196, 60, 200);
}
