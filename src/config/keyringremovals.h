#pragma once

#include "common/credentials.h"

#include <QHash>
#include <QObject>
#include <functional>

class SettingsStore;

// What a keyring job's error means to the user: a keyring service that answers but has no
// collection to keep entries in is no keyring either.
CredentialStore::Outcome KeyringOutcome(int error, const QString& text);

// Keyring entries on their way out. Each is noted in the user's settings until the keyring has
// removed it, so one the keyring kept is removed at the next start or when the keyring next
// answers, and is never read back meanwhile. A locked keyring says it removed an entry it kept:
// the entry is written over first, which a locked keyring refuses.
class KeyringRemovals : public QObject {
    Q_OBJECT
  public:
    KeyringRemovals(QString service, SettingsStore& settings, QString productName,
                    QObject* parent = nullptr);

    bool pending(const QString& key) const;
    // `refused` hears why when the keyring refused (not when there is no keyring at all).
    void remove(const QString& key, std::function<void(const QString& error)> refused = {});
    // A new value was written over the entry: nothing of the old one is left to remove.
    void replaced(const QString& key);
    // While a new value is on its way to the entry, a retry leaves it alone.
    void hold(const QString& key) { ++m_held[key]; }
    void release(const QString& key);
    // Every entry still to go, except those on their way out or held.
    void retry();

  private:
    void note(const QString& key, bool noted);
    void start(const QString& key, std::function<void(const QString& error)> refused);

    const QString m_service;
    SettingsStore& m_settings;
    const QString m_product;
    QHash<QString, int> m_running; // removals under way, by entry
    QHash<QString, int> m_held;
};
