#include "panels/certificatepins.h"

#include "ui/settings.h"

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

QString CertificatePins::readable(const QByteArray& fingerprint) {
    QStringList pairs;
    for (qsizetype at = 0; at + 1 < fingerprint.size(); at += 2)
        pairs << QString::fromLatin1(fingerprint.mid(at, 2)).toUpper();
    return pairs.join(':');
}
