#include "app/startupservices.h"

#include "common/numbertext.h"
#include "config/settings.h"

bool storedAutoSave(const SettingsStore& settings, const QString& productName) {
    const SettingRead stored = settings.ReadSetting(productName, "Settings", "autoSave", "0");
    return stored.ok() && parseLong(stored.value.toStdString()).value_or(0) == 1;
}

bool helpAtStartup(const SettingsStore& settings, const QString& productName) {
    return settings.ReadUserSetting(productName, "Settings", "showHelp", "1") == "1";
}
