#pragma once

class CamListPane;
class QWidget;
class ViewerPane;

// The keys of the viewer, for the whole main window: Ctrl+S saves the viewed picture, Ctrl+Shift+S
// where the user chooses; and the
// order in which Tab walks the controls. The menus carry their own keys (the View menu: zoom,
// Fit, full screen, the next cam).
void InstallShortcuts(QWidget& window, CamListPane& camList, ViewerPane& viewer);
