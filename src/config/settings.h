#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

class Prompter;

// The program's two settings stores, INI files addressed by application name, section and key,
// with text values:
// - machine-wide: <first folder of XDG_CONFIG_DIRS, or /etc/xdg>/<company>/<application>.ini;
//   usually only the administrator may write there;
// - per user: <XDG_CONFIG_HOME, or ~/.config>/<company>/<application>.ini.
// Company, application and section are trimmed of blanks at both ends.
//
// A machine-wide setting is read through the user's own store: a value the user stored
// overrides the machine-wide one, which is the default for users who never changed it. It is
// written machine-wide where that is allowed, otherwise into the user's store without a
// question; the permission prompt comes only when neither store can be written.

struct SettingError {
    long number = 0;
    QString message;
};

struct SettingRead {
    QString value;
    std::optional<SettingError> error;
    bool ok() const { return !error.has_value(); }
};

// The key a cam's own setting is kept under: its name's bytes in hexadecimal (names may hold any
// bytes, keys only plain ones).
inline QString CamSettingKey(const QByteArray& cam) {
    return "cam-" + QString::fromLatin1(cam.toHex());
}

inline constexpr long objectErrorBase = long(0x80040000);

class SettingsStore {
    Q_DECLARE_TR_FUNCTIONS(SettingsStore)

  public:
    SettingsStore(const QString& companyName, const QString& productName, Prompter& prompter);

    SettingRead ReadSetting(const QString& appName, const QString& section, const QString& key,
                            const QString& defaultValue) const;
    // When no store takes the value the user is asked (Abort, Retry, Ignore), unless they
    // chose Ignore before.
    void WriteSetting(const QString& appName, const QString& section, const QString& key,
                      const QString& value);
    QString ReadUserSetting(const QString& appName, const QString& section, const QString& key,
                            const QString& defaultValue) const;
    bool WriteUserSetting(const QString& appName, const QString& section, const QString& key,
                          const QString& value);
    // The keys of a section of the user's own store, and the removal of one.
    QStringList UserKeys(const QString& appName, const QString& section) const;
    void RemoveUserSetting(const QString& appName, const QString& section, const QString& key) {
        removeUserValue(appName, section, key);
    }

    QString machineFile(const QString& appName) const;
    QString userFile(const QString& appName) const;
    static QString permissionDeniedText(const QString& productName);

  private:
    bool tryWrite(const QString& file, const QString& section, const QString& key,
                  const QString& value) const;
    void removeUserValue(const QString& appName, const QString& section, const QString& key);

    QString company;
    QString product;
    Prompter& prompter;
    bool ignoring = false; // Ignore was chosen while nothing could be stored
};
