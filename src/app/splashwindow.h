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

    void load();
    void countSplashTick();

    // intTemp: 2 for every tick counted; 150 once the main window was shown.
    qint16 intTemp() const { return m_count; }
    bool isCounting() const;

  signals:
    void mainWindowShown(QWidget* mainWindow);

  private:
    MainWindowLoader m_loadMainWindow;
    QTimer* m_timer = nullptr; // Timer2
    qint16 m_count = 0;        // intTemp
};
