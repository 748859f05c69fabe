#pragma once

class CamListPane;
class QWidget;
class ViewerPane;

// The keys of the viewer, for the whole main window: Ctrl+S saves the viewed picture, F11
// shows it full screen, Ctrl++ and Ctrl+- zoom; and the order in which Tab walks the controls.
// The menus carry their own keys.
void InstallShortcuts(QWidget& window, CamListPane& camList, ViewerPane& viewer);
