#pragma once

#include <QPointer>

class QWidget;

// The window drawing lock: a group of control changes is shown at once, never half made. It
// does nothing while the full-screen view is showing or the main window is minimised; returns
// whether it took effect.
//
// Qt draws only when control returns to the event loop, so the changes one handler makes are
// always drawn together: the lock needs no more than to say it holds. Suspending the window's
// updates instead would make Qt repaint the whole window at every unlock (with 24 cams, two
// dozen full repaints a second) and keep it from drawing while a handler shows a message box.
bool SetWindowLock(QWidget* window, bool lock, const QWidget* mainWindow,
                   const QWidget* fullScreenView);

// The lock of one main window, handed to the parts that change its controls in groups.
class WindowLock {
  public:
    explicit WindowLock(QWidget* mainWindow) : m_mainWindow(mainWindow) {}

    // The full-screen view while it exists; the lock stands aside while it shows.
    void setFullScreenView(QWidget* view) { m_fullScreenView = view; }
    void lock(bool on);
    bool isLocked() const { return m_locked; }

  private:
    QPointer<QWidget> m_mainWindow;
    QPointer<QWidget> m_fullScreenView;
    bool m_locked = false;
};
