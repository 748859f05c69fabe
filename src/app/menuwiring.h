#pragma once

class MainMenus;
class MainWindow;

// How the parts of the main window talk: what the controls, the list, the engine and its
// sinks, the viewer and the clock tell each other.
void ConnectParts(MainWindow& window);
// What each menu item of the main window does: the parts of `window` that answer them.
void ConnectMenus(const MainMenus& menus, MainWindow& window);
