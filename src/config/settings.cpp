#include "config/settings.h"

#include "common/prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

QString machineFolder() {
    const QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    const QString first = dirs.section(':', 0, 0);
    return first.isEmpty() ? QStringLiteral("/etc/xdg") : first;
}

QString userFolder() {
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    return home.isEmpty() ? QDir::homePath() + "/.config" : home;
}

QString settingsFile(const QString& folder, const QString& company, const QString& app) {
    return folder + "/" + company.trimmed() + "/" + app.trimmed() + ".ini";
}

std::optional<SettingError> checkNames(const QString& app, const QString& section,
                                       const QString& key) {
    if (app.trimmed().isEmpty())
        return SettingError{objectErrorBase + 1000, "AppName may not be empty"};
    if (section.trimmed().isEmpty())
        return SettingError{objectErrorBase + 1001, "Section may not be empty"};
    if (key.trimmed().isEmpty())
        return SettingError{objectErrorBase + 1002, "Key may not be empty"};
    return std::nullopt;
}

// The system error codes the messages carry, as the registry gave them.
constexpr long accessDenied = 5, invalidData = 13;
constexpr long multiStringType = 7, binaryType = 3;

SettingRead stringValue(const QVariant& value) {
    if (value.typeId() == QMetaType::QString)
        return {value.toString(), std::nullopt};
    const long type = value.typeId() == QMetaType::QStringList ? multiStringType : binaryType;
    return {QString(), SettingError{objectErrorBase + 2000 + type, "Registry data not a string"}};
}

} // namespace

SettingsStore::SettingsStore(const QString& companyName, const QString& productName,
                             Prompter& prompts)
    : company(companyName), product(productName), prompter(prompts) {}

QString SettingsStore::machineFile(const QString& appName) const {
    return settingsFile(machineFolder(), company, appName);
}

QString SettingsStore::userFile(const QString& appName) const {
    return settingsFile(userFolder(), company, appName);
}

SettingRead SettingsStore::ReadSetting(const QString& appName, const QString& section,
                                       const QString& key, const QString& defaultValue) const {
    if (auto error = checkNames(appName, section, key))
        return {QString(), error};
    // the user's own value first
    if (QFileInfo::exists(userFile(appName))) {
        QSettings own(userFile(appName), QSettings::IniFormat);
        own.beginGroup(section.trimmed());
        if (own.status() == QSettings::NoError && own.contains(key))
            return stringValue(own.value(key));
    }
    const QString file = machineFile(appName);
    if (!QFileInfo::exists(file))
        return {defaultValue, std::nullopt};
    if (QFile probe(file); !probe.open(QIODevice::ReadOnly))
        return {QString(), SettingError{objectErrorBase + 2000 + accessDenied,
                                        "Could not open registry section"}};
    QSettings store(file, QSettings::IniFormat);
    if (store.status() == QSettings::AccessError)
        return {QString(), SettingError{objectErrorBase + 2000 + accessDenied,
                                        "Could not open registry section"}};
    if (store.status() == QSettings::FormatError)
        return {QString(), SettingError{objectErrorBase + 2000 + invalidData,
                                        "Could not open registry section"}};
    store.beginGroup(section.trimmed());
    if (!store.contains(key))
        return {defaultValue, std::nullopt};
    return stringValue(store.value(key));
}

bool SettingsStore::tryWrite(const QString& file, const QString& section, const QString& key,
                             const QString& value) const {
    // QSettings makes the folder when it can; a folder it cannot make shows in its status
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings store(file, QSettings::IniFormat);
    store.beginGroup(section.trimmed());
    store.setValue(key, value);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

void SettingsStore::WriteSetting(const QString& appName, const QString& section, const QString& key,
                                 const QString& value) {
    if (checkNames(appName, section, key))
        return;
    for (;;) {
        if (tryWrite(machineFile(appName), section, key, value)) {
            // an older value of the user's own would hide the new machine-wide one
            removeUserValue(appName, section, key);
            return;
        }
        if (tryWrite(userFile(appName), section, key, value))
            return;
        if (ignoring ||
            ReadUserSetting(product, "Settings", "IgnorePermissionDeniedError", "0") == "1")
            return;
        const PromptAnswer answer =
            prompter.ask(nullptr, tr("Permission Denied"), permissionDeniedText(product),
                         PromptButtons::AbortRetryIgnore);
        if (answer == PromptAnswer::Retry)
            continue;
        if (answer == PromptAnswer::Ignore) {
            ignoring = true; // for this run even when it cannot be stored
            WriteUserSetting(product, "Settings", "IgnorePermissionDeniedError", "1");
        }
        return;
    }
}

void SettingsStore::removeUserValue(const QString& appName, const QString& section,
                                    const QString& key) {
    if (!QFileInfo::exists(userFile(appName)))
        return;
    QSettings own(userFile(appName), QSettings::IniFormat);
    own.beginGroup(section.trimmed());
    if (own.contains(key)) {
        own.remove(key);
        own.endGroup();
        own.sync();
    }
}

QString SettingsStore::ReadUserSetting(const QString& appName, const QString& section,
                                       const QString& key, const QString& defaultValue) const {
    if (checkNames(appName, section, key))
        return defaultValue;
    QSettings store(userFile(appName), QSettings::IniFormat);
    store.beginGroup(section.trimmed());
    const QVariant value = store.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : defaultValue;
}

bool SettingsStore::WriteUserSetting(const QString& appName, const QString& section,
                                     const QString& key, const QString& value) {
    if (checkNames(appName, section, key))
        return false;
    return tryWrite(userFile(appName), section, key, value);
}

QStringList SettingsStore::UserKeys(const QString& appName, const QString& section) const {
    if (!QFileInfo::exists(userFile(appName)))
        return {};
    QSettings store(userFile(appName), QSettings::IniFormat);
    store.beginGroup(section.trimmed());
    return store.childKeys();
}

QString SettingsStore::permissionDeniedText(const QString& productName) {
    return tr("%1 requires read/write access to the system registry and hard drive in order to run "
              "properly.  This user account does not have the proper permissions set.  As a result "
              "some or all of your settings may not be properly saved.  Please contact your system "
              "administrator or change the permission settings for this account.\n\nIf you would "
              "like to prevent this error message from being displayed again, please press "
              "'Ignore'.")
        .arg(productName);
}
