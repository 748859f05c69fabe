#include "engine/placekeeping.h"

#include "config/camsettings.h"

QByteArray PlaceKeeping::trustedCertificate(const QString& hostPort) const {
    return m_settings.pins().lookup(m_cam(), hostPort);
}

bool PlaceKeeping::trustCertificate(const QString& hostPort, const QByteArray& fingerprint) {
    return m_settings.pins().trust(m_cam(), hostPort, fingerprint);
}

bool PlaceKeeping::mayGoUnencrypted() const {
    return m_settings.credentials().mayGoUnencrypted(m_cam());
}

bool PlaceKeeping::allowUnencrypted() {
    return m_settings.credentials().allowUnencrypted(m_cam());
}
