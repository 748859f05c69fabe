#pragma once

#include <QPointer>

class QWidget;

// The window drawing lock: suspends drawing of `window` while a group of control changes is
// made, and resumes it afterwards. It does nothing while the full-screen view is showing or
// the main window is minimised. `fullScreenView` may be null (not open).
void SetWindowLock(QWidget* window, bool lock, const QWidget* mainWindow,
                   const QWidget* fullScreenView);

// The lock of one main window, handed to the parts that change its controls in groups.
class WindowLock {
  public:
    explicit WindowLock(QWidget* mainWindow) : m_mainWindow(mainWindow) {}

    // The full-screen view while it exists; the lock stands aside while it shows.
    void setFullScreenView(QWidget* view) { m_fullScreenView = view; }
    void lock(bool on);

  private:
    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_fullScreenView;
};
