#include "config/camsettings.h"

#include "config/settings.h"

namespace {

// Every section where a cam keeps settings under its name's key: a rename or a removal goes
// through all of them. A new per-cam setting's section is added here.
constexpr const char* camSections[] = {
    "Alerts", "KeepPictures", "DailyFilms",          "DailyFilmsMade",
    "Motion", "CamChoices",   "UnencryptedPasswords"};

} // namespace

CamSettings::CamSettings(SettingsStore& settings, QString productName, QString keyringService,
                         QObject* parent)
    : QObject(parent), m_settings(settings), m_product(std::move(productName)),
      m_alerts(settings, m_product), m_pins(settings, m_product),
      m_credentials(std::move(keyringService), settings, m_product) {
    connect(&m_alerts, &CamAlertSettings::changed, this,
            [this](const QByteArray& cam) { emit changed(cam, "Alerts"); });
}

QString CamSettings::readText(const char* section, const QByteArray& cam) const {
    return m_settings.ReadUserSetting(m_product, section, CamSettingKey(cam), {});
}

bool CamSettings::writeText(const char* section, const QByteArray& cam, const QString& text) {
    bool written = true;
    if (text.isEmpty())
        m_settings.RemoveUserSetting(m_product, section, CamSettingKey(cam));
    else
        written = m_settings.WriteUserSetting(m_product, section, CamSettingKey(cam), text);
    emit changed(cam, section);
    return written;
}

void CamSettings::rename(const QByteArray& oldName, const QByteArray& newName,
                         bool oldNameRemains) {
    if (oldName == newName)
        return;
    for (const char* section : camSections) {
        const QString text = readText(section, oldName);
        if (text.isEmpty())
            continue;
        if (!oldNameRemains)
            writeText(section, oldName, {});
        writeText(section, newName, text);
    }
    m_pins.rename(oldName, newName, oldNameRemains);
}

void CamSettings::remove(const QByteArray& cam) {
    for (const char* section : camSections)
        if (!readText(section, cam).isEmpty())
            writeText(section, cam, {});
    m_pins.forget(cam);
}
