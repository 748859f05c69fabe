#pragma once

#include "common/credentials.h"
#include "config/keyringremovals.h"

#include <QHash>
#include <QObject>
#include <vector>

class SettingsStore;

// Credentials as the keyring and the settings keep them: with the origin they were given for.
struct StoredCredentials {
    Credentials credentials;
    QByteArray origin; // empty in what was kept before credentials had one
};

// The cams' user names and passwords, by cam id, each given for the origin of the address the
// cam had when they were saved: a cam whose address leads elsewhere now has none until they are
// given again for it. Kept in the desktop's keyring (the Secret Service, through QtKeychain);
// for this run only, when the user chose that because no keyring answers; in the user's
// settings in plain text only when the user asked for that, warned. Reading looks in this
// run's, then the keyring, then the plain-text ones.
class CamCredentials : public QObject, public CredentialStore {
    Q_OBJECT
  public:
    CamCredentials(QString service, SettingsStore& settings, QString productName,
                   QObject* parent = nullptr);

    void read(const CredentialCam& cam, Read done) override;
    void write(const CredentialCam& cam, const Credentials& credentials, Written done) override;
    // When the keyring refuses to let them go, the user is told, and they go when it next
    // answers.
    void remove(const CredentialCam& cam) override;
    // Kept in memory until the program ends.
    void keepForThisRun(const CredentialCam& cam, const Credentials& credentials);
    // Whether a keyring answers at all (one read of an entry nobody has: not found), so that a
    // dialog can ask where to keep a password before it saves anything.
    void askKeyring(std::function<void(bool answers)> done);
    // Kept in the user's settings in plain text; false when they cannot be written.
    bool keepInPlainText(const CredentialCam& cam, const Credentials& credentials);
    // Credentials were kept under the cams' names before cams had ids. Once, the cams listed
    // then take theirs, given for the address each has then; a cam added later takes none.
    void moveNameKeyed(const std::vector<CredentialCam>& listed);
    // Whether that is still to come.
    bool keptByName() const;

    // Whether the user agreed that the cam's password may travel over plain HTTP (Basic),
    // where anyone on the way can read it; kept in the user's settings by the cam's name.
    bool mayGoUnencrypted(const QByteArray& cam) const;
    bool allowUnencrypted(const QByteArray& cam);

  signals:
    // A cam's credentials changed: a place running it takes them.
    void changed(CamId cam);
    // Something the user should know (a removal the keyring refused).
    void statusText(const QString& text);

  private:
    using Found =
        std::function<void(Outcome, std::optional<StoredCredentials>, const QString& error)>;
    void noteChange(CamId cam) { ++m_changes[cam]; }
    void readKeyring(const CredentialCam& cam, Found done);
    void readNameKeyed(const CredentialCam& cam, Found done);
    void moveToId(CamId cam, const StoredCredentials& stored, const QString& from);
    // The cam's entry under its name, if it still has one to move: it goes.
    void dropNameKeyed(CamId cam);
    std::optional<StoredCredentials> plainText(const QString& key) const;

    const QString m_service;
    SettingsStore& m_settings;
    const QString m_product;
    KeyringRemovals m_removals;
    QHash<CamId, StoredCredentials> m_thisRun;
    // counts the changes of each cam's credentials: a move from its name, which comes later,
    // never overwrites what it was given meanwhile
    QHash<CamId, quint64> m_changes;
};

QByteArray EncodeCredentials(const Credentials& credentials, const QByteArray& origin);
std::optional<StoredCredentials> DecodeCredentials(const QByteArray& bytes);
