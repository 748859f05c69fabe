#pragma once

#include <QObject>

class SettingsStore;

// Whether the owner of a cam wants to be told it went dark: after some minutes without a
// picture, or some hours with the same picture.
struct CamAlerts {
    bool on = false;
    int minutesWithoutPicture = 10;
    int hoursUnchanged = 0; // 0: not watched

    static constexpr int mostMinutes = 7 * 24 * 60, mostHours = 30 * 24;
    bool operator==(const CamAlerts&) const = default;
};

// Each cam's alerts, kept in the user's settings under the cam's name (a rename or a removal
// goes through CamSettings); a damaged value reads as the defaults.
class CamAlertSettings : public QObject {
    Q_OBJECT
  public:
    CamAlertSettings(SettingsStore& settings, QString productName, QObject* parent = nullptr);

    CamAlerts read(const QByteArray& cam) const;
    // False when the settings could not be written.
    bool write(const QByteArray& cam, const CamAlerts& alerts);

  signals:
    void changed(const QByteArray& cam);

  private:
    SettingsStore& m_settings;
    const QString m_product;
};
