#pragma once

#include "source/picturesource.h"

#include <QByteArray>
#include <functional>

class CamSettings;

// What a place's source keeps for its cam, in the cam's own settings: the cam is the one the
// place runs when the source asks.
class PlaceKeeping : public SourceKeeping {
  public:
    PlaceKeeping(CamSettings& settings, std::function<QByteArray()> cam)
        : m_settings(settings), m_cam(std::move(cam)) {}

    QByteArray trustedCertificate(const QString& hostPort) const override;
    bool trustCertificate(const QString& hostPort, const QByteArray& fingerprint) override;
    bool mayGoUnencrypted() const override;
    bool allowUnencrypted() override;

  private:
    CamSettings& m_settings;
    std::function<QByteArray()> m_cam;
};
