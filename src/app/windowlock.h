#pragma once

class QWidget;

// The window drawing lock: suspends drawing of `window` while a group of control changes is
// made, and resumes it afterwards. It does nothing while the full-screen view is showing or
// the main window is minimised. `fullScreenView` may be null (not open).
void SetWindowLock(QWidget* window, bool lock, const QWidget* mainWindow,
                   const QWidget* fullScreenView);
