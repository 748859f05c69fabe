#include "config/certificatepins.h"

#include "config/settings.h"

#include <QStringList>

CertificatePins::CertificatePins(SettingsStore& settings, QString productName)
    : m_settings(settings), m_product(std::move(productName)) {}

QString CertificatePins::keyOf(const QByteArray& camName, const QString& hostPort) {
    // names may hold any bytes; hex keeps the settings file's keys plain
    return QString::fromLatin1(camName.toHex()) + "-" +
           QString::fromLatin1(hostPort.toUtf8().toHex());
}

QByteArray CertificatePins::lookup(const QByteArray& camName, const QString& hostPort) const {
    return m_settings
        .ReadUserSetting(m_product, "TrustedCertificates", keyOf(camName, hostPort), QString())
        .toLatin1();
}

bool CertificatePins::trust(const QByteArray& camName, const QString& hostPort,
                            const QByteArray& fingerprint) {
    return m_settings.WriteUserSetting(m_product, "TrustedCertificates", keyOf(camName, hostPort),
                                       QString::fromLatin1(fingerprint));
}

QStringList CertificatePins::keysOf(const QByteArray& camName) const {
    const QString prefix = QString::fromLatin1(camName.toHex()) + "-";
    QStringList keys;
    for (const QString& key : m_settings.UserKeys(m_product, "TrustedCertificates"))
        if (key.startsWith(prefix))
            keys << key;
    return keys;
}

void CertificatePins::rename(const QByteArray& oldName, const QByteArray& newName,
                             bool oldNameRemains) {
    const QString oldPrefix = QString::fromLatin1(oldName.toHex()) + "-";
    const QString newPrefix = QString::fromLatin1(newName.toHex()) + "-";
    for (const QString& key : keysOf(oldName)) {
        const QString fingerprint =
            m_settings.ReadUserSetting(m_product, "TrustedCertificates", key, QString());
        const QString moved = newPrefix + key.mid(oldPrefix.size());
        if (m_settings.WriteUserSetting(m_product, "TrustedCertificates", moved, fingerprint) &&
            !oldNameRemains)
            m_settings.RemoveUserSetting(m_product, "TrustedCertificates", key);
    }
}

void CertificatePins::forget(const QByteArray& camName) {
    for (const QString& key : keysOf(camName))
        m_settings.RemoveUserSetting(m_product, "TrustedCertificates", key);
}
