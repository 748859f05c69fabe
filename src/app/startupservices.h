#pragma once

#include <QString>

class SettingsStore;

// What start-up reads from the settings.

// The stored "autoSave" as the box's state: ticked only for a readable 1; an unreadable or
// non-numeric value leaves the box clear and start-up goes on.
bool storedAutoSave(const SettingsStore& settings, const QString& productName);
// Whether the help window opens at start-up: "showHelp" is exactly "1" (the default).
bool helpAtStartup(const SettingsStore& settings, const QString& productName);
