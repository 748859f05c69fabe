#pragma once

#include <QLabel>

// The status bar's first panel: a label whose size never follows its text. While pictures
// arrive its text changes a dozen times a second; a label that measured each new text would
// have the status bar laid out again every time.
class StatusText : public QLabel {
    Q_OBJECT
  public:
    explicit StatusText(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
