#pragma once

#include <QByteArray>
#include <QString>

class SettingsStore;

// The certificates a user chose to trust, each for one cam at one "host:port", kept as their
// SHA-256 fingerprints in the user's own settings (section "TrustedCertificates").
class CertificatePins {
  public:
    CertificatePins(SettingsStore& settings, QString productName);

    // The fingerprint trusted for the cam at that place; empty when none.
    QByteArray lookup(const QByteArray& camName, const QString& hostPort) const;
    bool trust(const QByteArray& camName, const QString& hostPort, const QByteArray& fingerprint);
    // A renamed cam keeps what it trusts (copied when another cam still has the old name); a
    // removed one's goes.
    void rename(const QByteArray& oldName, const QByteArray& newName, bool oldNameRemains);
    void forget(const QByteArray& camName);

  private:
    static QString keyOf(const QByteArray& camName, const QString& hostPort);
    // The keys of a cam's pins.
    QStringList keysOf(const QByteArray& camName) const;

    SettingsStore& m_settings;
    const QString m_product;
};
