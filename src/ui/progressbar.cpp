#include "ui/progressbar.h"

#include <cmath>

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
    // it fills its own background, so a new value repaints the bar alone and not the frame of
    // the panel behind it
    setAutoFillBackground(true);
}

void ProgressBar::setExactValue(float value) {
    if (!(value >= 0 && value <= 100))
        return; // a value out of range is refused: the bar keeps its last one
    current = value;
    if (int(value) == QProgressBar::value())
        return;
    // QProgressBar paints a new value at once, for programs whose event loop is busy; with a
    // dozen batches a second from each of 24 cams that is a paint of the bar, and of the frame
    // behind it, for every batch. Here the new value is painted with the window's next update.
    setUpdatesEnabled(false);
    setValue(int(value));
    setUpdatesEnabled(true);
}
