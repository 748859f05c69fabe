#pragma once

#include "common/credentials.h"

#include <QHash>
#include <QObject>

class SettingsStore;

// The cams' user names and passwords. Kept in the desktop's keyring (the Secret Service,
// through QtKeychain) under the cam's name; for this run only, when the user chose that because
// no keyring answers; in the user's settings in plain text only when the user asked for that,
// warned. Reading looks in this run's, then the keyring, then the plain-text ones.
class CamCredentials : public QObject, public CredentialStore {
    Q_OBJECT
  public:
    CamCredentials(QString service, SettingsStore& settings, QString productName,
                   QObject* parent = nullptr);

    void read(const QByteArray& cam, Read done) override;
    void write(const QByteArray& cam, const Credentials& credentials, Written done) override;
    void remove(const QByteArray& cam) override;
    // Kept in memory until the program ends.
    void keepForThisRun(const QByteArray& cam, const Credentials& credentials);
    // Kept in the user's settings in plain text; false when they cannot be written.
    bool keepInPlainText(const QByteArray& cam, const Credentials& credentials);
    // A renamed cam keeps its credentials (copied when another cam still has the old name).
    void rename(const QByteArray& oldName, const QByteArray& newName, bool oldNameRemains);

    // Whether the user agreed that the cam's password may travel over plain HTTP (Basic),
    // where anyone on the way can read it; kept in the user's settings.
    bool mayGoUnencrypted(const QByteArray& cam) const;
    bool allowUnencrypted(const QByteArray& cam);

  signals:
    // A cam's credentials changed: a panel running it takes them.
    void changed(const QByteArray& cam);

  private:
    QString keyOf(const QByteArray& cam) const;
    void noteChange(const QByteArray& cam) { ++m_changes[cam]; }

    void readKeyring(const QByteArray& cam, Read done);
    void removeFromKeyring(const QByteArray& cam);
    std::optional<Credentials> plainText(const QByteArray& cam) const;

    const QString m_service;
    SettingsStore& m_settings;
    const QString m_product;
    QHash<QByteArray, Credentials> m_thisRun;
    // counts the changes of each cam's credentials: a rename's copy, which comes later, never
    // overwrites what was kept under the new name meanwhile
    QHash<QByteArray, quint64> m_changes;
};

// Credentials as the keyring and the settings keep them, and back.
QByteArray EncodeCredentials(const Credentials& credentials);
std::optional<Credentials> DecodeCredentials(const QByteArray& bytes);
