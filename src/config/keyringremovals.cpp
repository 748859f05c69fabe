#include "config/keyringremovals.h"

#include "config/settings.h"

#include <QTimer>
#include <memory>
#include <qt6keychain/keychain.h>

namespace {

constexpr const char* removalsSection = "KeyringRemovals";
// what is written over an entry before it goes: it reads as no credentials
constexpr const char* emptyValue = "{}";

} // namespace

CredentialStore::Outcome KeyringOutcome(int error, const QString& text) {
    if (error == QKeychain::OtherError &&
        (text.contains("does not exist at path") || text.contains("org.freedesktop.DBus.Error") ||
         text.contains("No such secret collection") || text.contains("autolaunch D-Bus")))
        return CredentialStore::Outcome::NoKeyring;
    switch (error) {
    case QKeychain::NoError:
    case QKeychain::EntryNotFound:
        return CredentialStore::Outcome::Done;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        return CredentialStore::Outcome::NoKeyring;
    default:
        return CredentialStore::Outcome::Failed;
    }
}

KeyringRemovals::KeyringRemovals(QString service, SettingsStore& settings, QString productName,
                                 QObject* parent)
    : QObject(parent), m_service(std::move(service)), m_settings(settings),
      m_product(std::move(productName)) {
    // those a keyring kept last time go now
    if (!m_settings.UserKeys(m_product, removalsSection).isEmpty())
        QTimer::singleShot(0, this, &KeyringRemovals::retry);
}

bool KeyringRemovals::pending(const QString& key) const {
    return m_settings.ReadUserSetting(m_product, removalsSection, key, {}) == "1";
}

void KeyringRemovals::note(const QString& key, bool noted) {
    if (noted)
        m_settings.WriteUserSetting(m_product, removalsSection, key, "1");
    else
        m_settings.RemoveUserSetting(m_product, removalsSection, key);
}

void KeyringRemovals::remove(const QString& key, std::function<void(const QString&)> refused) {
    note(key, true);
    start(key, std::move(refused));
}

void KeyringRemovals::replaced(const QString& key) {
    note(key, false);
}

void KeyringRemovals::release(const QString& key) {
    if (--m_held[key] <= 0)
        m_held.remove(key);
}

void KeyringRemovals::retry() {
    for (const QString& key : m_settings.UserKeys(m_product, removalsSection))
        if (!m_running.contains(key) && !m_held.contains(key))
            start(key, {});
}

// The keyring runs its jobs one after the other, in the order they were started: both jobs
// start together, so nothing written to the entry later is removed by them. The jobs are
// nobody's children: they end on their own when the keyring answers.
void KeyringRemovals::start(const QString& key, std::function<void(const QString&)> refused) {
    ++m_running[key];
    auto overwritten = std::make_shared<bool>(false);
    auto* over = new QKeychain::WritePasswordJob(m_service);
    over->setAutoDelete(true);
    over->setKey(key);
    over->setBinaryData(emptyValue);
    connect(over, &QKeychain::Job::finished, this, [over, overwritten, refused] {
        *overwritten = over->error() == QKeychain::NoError;
        if (!*overwritten && refused &&
            KeyringOutcome(over->error(), over->errorString()) == CredentialStore::Outcome::Failed)
            refused(over->errorString());
    });
    auto* drop = new QKeychain::DeletePasswordJob(m_service);
    drop->setAutoDelete(true);
    drop->setKey(key);
    connect(drop, &QKeychain::Job::finished, this, [this, key, drop, overwritten] {
        if (--m_running[key] <= 0)
            m_running.remove(key);
        const bool gone = *overwritten && (drop->error() == QKeychain::NoError ||
                                           drop->error() == QKeychain::EntryNotFound);
        note(key, !gone);
    });
    over->start();
    drop->start();
}
