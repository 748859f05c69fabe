#pragma once

#include <QProgressBar>

// A 0 to 100 progress bar that holds a fractional value, and keeps its last value when given
// one out of its range.
class ProgressBar : public QProgressBar {
    Q_OBJECT
  public:
    explicit ProgressBar(QWidget* parent = nullptr);

    void setExactValue(float value);
    float exactValue() const { return current; }

  private:
    float current = 0;
};
