#include "ui/windowlock.h"

#include <QWidget>

bool SetWindowLock(QWidget* window, bool, const QWidget* mainWindow,
                   const QWidget* fullScreenView) {
    if (fullScreenView && fullScreenView->isVisible())
        return false;
    if (mainWindow && mainWindow->isMinimized())
        return false;
    return window != nullptr;
}

void WindowLock::lock(bool on) {
    if (SetWindowLock(m_mainWindow, on, m_mainWindow, m_fullScreenView))
        m_locked = on;
}
