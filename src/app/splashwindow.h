#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QTimer;

// The start-up window: shows the splash picture for 75 ticks of its timer, then loads and shows
// the main window and hides itself. It stays alive, hidden, until the program ends.
class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    using MainWindowLoader = std::function<QWidget*()>;

    explicit SplashWindow(MainWindowLoader loadMainWindow, QWidget* parent = nullptr);

    void Form_Load();
    void Timer2_Timer();

    QLabel* Image1 = nullptr;
    QTimer* Timer2 = nullptr;
    qint16 intTemp = 0;

  signals:
    void mainWindowShown(QWidget* mainWindow);

  private:
    MainWindowLoader loadMainWindow;
};
