#include "config/camalerts.h"

#include "config/settings.h"

#include <QStringList>

namespace {

constexpr const char* section = "Alerts";

} // namespace

CamAlertSettings::CamAlertSettings(SettingsStore& settings, QString productName, QObject* parent)
    : QObject(parent), m_settings(settings), m_product(std::move(productName)) {}

CamAlerts CamAlertSettings::read(const QByteArray& cam) const {
    // "on minutes hours", as "1 10 0"
    const QStringList parts =
        m_settings.ReadUserSetting(m_product, section, CamSettingKey(cam), {}).split(' ');
    CamAlerts alerts;
    bool fine[3] = {};
    const int values[3] = {parts.value(0).toInt(&fine[0]), parts.value(1).toInt(&fine[1]),
                           parts.value(2).toInt(&fine[2])};
    if (parts.size() != 3 || !fine[0] || !fine[1] || !fine[2] || values[1] < 1 ||
        values[1] > CamAlerts::mostMinutes || values[2] < 0 || values[2] > CamAlerts::mostHours)
        return alerts;
    return {values[0] == 1, values[1], values[2]};
}

bool CamAlertSettings::write(const QByteArray& cam, const CamAlerts& alerts) {
    if (alerts == read(cam))
        return true;
    const bool written = m_settings.WriteUserSetting(m_product, section, CamSettingKey(cam),
                                                     QString("%1 %2 %3")
                                                         .arg(int(alerts.on))
                                                         .arg(alerts.minutesWithoutPicture)
                                                         .arg(alerts.hoursUnchanged));
    emit changed(cam);
    return written;
}
