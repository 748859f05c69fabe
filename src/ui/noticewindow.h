#pragma once

#include <QDialog>

class QLabel;

// The small "Oops!" notice shown when a cam command needs a selected cam and there is none;
// Escape closes it.
class NoticeWindow : public QDialog {
    Q_OBJECT
  public:
    explicit NoticeWindow(QWidget* parent = nullptr);
};
