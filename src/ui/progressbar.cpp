#include "ui/progressbar.h"

#include <cmath>

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void ProgressBar::setExactValue(float value) {
    if (!(value >= 0 && value <= 100))
        return; // refused, as a value out of range always was
    current = value;
    setValue(int(value));
}
