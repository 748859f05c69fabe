#pragma once

#include <QString>

class QWidget;
class SettingsStore;

// The main window's size, position and maximised state, kept in the user's settings at the end
// of a run and given back at the next start. Nothing is kept before the first end, and the
// window then opens maximised.
void SaveWindowPlace(SettingsStore& settings, const QString& productName, const QWidget& window);
// False when nothing usable was kept: the window stays as it is.
bool RestoreWindowPlace(const SettingsStore& settings, const QString& productName, QWidget& window);
