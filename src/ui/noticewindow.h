#pragma once

#include <QWidget>

class QLabel;

// The small "Oops!" notice shown when a cam command needs a selected cam and there is none.
class NoticeWindow : public QWidget {
    Q_OBJECT
  public:
    explicit NoticeWindow(QWidget* parent = nullptr);
};
