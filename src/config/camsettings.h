#pragma once

#include "config/camalerts.h"
#include "config/camcredentials.h"
#include "config/certificatepins.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

class SettingsStore;

// One of a cam's own settings, kept in the user's settings under `section` by the cam's name:
// `read` makes a value of its text (nothing for a damaged text, which then reads as
// `fallback`), `write` the text of a value.
template <typename T> struct CamKey {
    const char* section;
    T fallback;
    std::optional<T> (*read)(const QString& text);
    QString (*write)(const T& value);
};

// Everything a cam keeps besides its record, in one place: its settings by typed key, its
// alerts, the certificates trusted for it (all kept by its name) and its user name and password
// (kept by its id, which a rename keeps). A cam renamed takes all of it along, a cam removed
// leaves none of it behind, each in exactly one step.
class CamSettings : public QObject {
    Q_OBJECT
  public:
    CamSettings(SettingsStore& settings, QString productName, QString keyringService,
                QObject* parent = nullptr);

    template <typename T> T value(const CamKey<T>& key, const QByteArray& cam) const {
        const QString text = readText(key.section, cam);
        if (text.isEmpty())
            return key.fallback;
        return key.read(text).value_or(key.fallback);
    }
    // False when the settings could not be written.
    template <typename T> bool setValue(const CamKey<T>& key, const QByteArray& cam, const T& v) {
        return writeText(key.section, cam, key.write(v));
    }
    template <typename T> void clear(const CamKey<T>& key, const QByteArray& cam) {
        writeText(key.section, cam, {});
    }

    CamAlertSettings& alerts() { return m_alerts; }
    CertificatePins& pins() { return m_pins; }
    CamCredentials& credentials() { return m_credentials; }
    SettingsStore& store() const { return m_settings; }
    const QString& product() const { return m_product; }

    // A renamed cam keeps all it had by its name (copied when another cam still has the old
    // name).
    void rename(const QByteArray& oldName, const QByteArray& newName, bool oldNameRemains);
    // A removed cam's settings by its name go, all of them (its credentials go by its id).
    void remove(const QByteArray& cam);

  signals:
    // A setting of the cam changed (its section says which).
    void changed(const QByteArray& cam, const QString& section);

  private:
    QString readText(const char* section, const QByteArray& cam) const;
    // An empty text removes the setting.
    bool writeText(const char* section, const QByteArray& cam, const QString& text);

    SettingsStore& m_settings;
    const QString m_product;
    CamAlertSettings m_alerts;
    CertificatePins m_pins;
    CamCredentials m_credentials;
};
