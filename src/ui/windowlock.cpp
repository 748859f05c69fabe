#include "ui/windowlock.h"

#include <QWidget>

void SetWindowLock(QWidget* window, bool lock, const QWidget* mainWindow,
                   const QWidget* fullScreenView) {
    if (fullScreenView && fullScreenView->isVisible())
        return;
    if (mainWindow && mainWindow->isMinimized())
        return;
    if (window)
        window->setUpdatesEnabled(!lock);
}

void WindowLock::lock(bool on) {
    SetWindowLock(m_mainWindow, on, m_mainWindow, m_fullScreenView);
}
