#include "config/camcredentials.h"

#include "config/settings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <qt6keychain/keychain.h>

namespace {

constexpr const char* plainTextSection = "PlainTextPasswords";
constexpr const char* unencryptedSection = "UnencryptedPasswords";

// A keyring service that answers but has no collection to keep them in (none made, or the
// login one missing) is no keyring to the user: its D-Bus error text means nothing to them.
CredentialStore::Outcome outcomeOf(QKeychain::Error error, const QString& text) {
    if (error == QKeychain::OtherError &&
        (text.contains("does not exist at path") || text.contains("org.freedesktop.DBus.Error") ||
         text.contains("No such secret collection")))
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

} // namespace

QByteArray EncodeCredentials(const Credentials& credentials) {
    return QJsonDocument(
               QJsonObject{{"user", credentials.user}, {"password", credentials.password}})
        .toJson(QJsonDocument::Compact);
}

std::optional<Credentials> DecodeCredentials(const QByteArray& bytes) {
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    if (!object.contains("user") && !object.contains("password"))
        return std::nullopt;
    return Credentials{object.value("user").toString(), object.value("password").toString()};
}

CamCredentials::CamCredentials(QString service, SettingsStore& settings, QString productName,
                               QObject* parent)
    : QObject(parent), m_service(std::move(service)), m_settings(settings),
      m_product(std::move(productName)) {}

QString CamCredentials::keyOf(const QByteArray& cam) const {
    // names may hold any bytes; hex keeps the keys plain
    return CamSettingKey(cam);
}

std::optional<Credentials> CamCredentials::plainText(const QByteArray& cam) const {
    const QString stored = m_settings.ReadUserSetting(m_product, plainTextSection, keyOf(cam), {});
    return stored.isEmpty() ? std::nullopt : DecodeCredentials(stored.toUtf8());
}

void CamCredentials::read(const QByteArray& cam, Read done) {
    if (const auto kept = m_thisRun.constFind(cam); kept != m_thisRun.constEnd()) {
        done(Outcome::Done, *kept, {});
        return;
    }
    readKeyring(cam, std::move(done));
}

// The keyring's jobs are nobody's children: one ends on its own when the keyring answers, which
// may be after the store is gone (its answer then goes nowhere).
void CamCredentials::readKeyring(const QByteArray& cam, Read done) {

    auto* job = new QKeychain::ReadPasswordJob(m_service);
    job->setAutoDelete(true);
    job->setKey(keyOf(cam));
    connect(job, &QKeychain::Job::finished, this, [this, cam, job, done = std::move(done)] {
        std::optional<Credentials> found;
        if (job->error() == QKeychain::NoError)
            found = DecodeCredentials(job->binaryData());
        if (!found) // kept in plain text at the user's word
            found = plainText(cam);
        const Outcome outcome = found ? Outcome::Done : outcomeOf(job->error(), job->errorString());
        done(outcome, found, outcome == Outcome::Failed ? job->errorString() : QString());
    });
    job->start();
}

void CamCredentials::write(const QByteArray& cam, const Credentials& credentials, Written done) {
    noteChange(cam);
    m_thisRun.remove(cam);
    m_settings.RemoveUserSetting(m_product, plainTextSection, keyOf(cam));
    if (credentials.isEmpty()) {
        remove(cam);
        done(Outcome::Done, {});
        return;
    }
    auto* job = new QKeychain::WritePasswordJob(m_service);
    job->setAutoDelete(true);
    job->setKey(keyOf(cam));
    job->setBinaryData(EncodeCredentials(credentials));
    connect(job, &QKeychain::Job::finished, this, [this, cam, job, done = std::move(done)] {
        const Outcome outcome = outcomeOf(job->error(), job->errorString());
        if (outcome == Outcome::Done)
            emit changed(cam);
        done(outcome, outcome == Outcome::Done ? QString() : job->errorString());
    });
    job->start();
}

void CamCredentials::keepForThisRun(const QByteArray& cam, const Credentials& credentials) {
    noteChange(cam);
    m_thisRun.insert(cam, credentials);
    emit changed(cam);
}

bool CamCredentials::keepInPlainText(const QByteArray& cam, const Credentials& credentials) {
    noteChange(cam);
    if (!m_settings.WriteUserSetting(m_product, plainTextSection, keyOf(cam),
                                     QString::fromUtf8(EncodeCredentials(credentials))))
        return false;
    emit changed(cam);
    return true;
}

void CamCredentials::removeFromKeyring(const QByteArray& cam) {
    auto* job = new QKeychain::DeletePasswordJob(m_service);
    job->setAutoDelete(true);
    job->setKey(keyOf(cam));
    job->start();
}

bool CamCredentials::mayGoUnencrypted(const QByteArray& cam) const {
    return m_settings.ReadUserSetting(m_product, unencryptedSection, keyOf(cam), {}) == "1";
}

bool CamCredentials::allowUnencrypted(const QByteArray& cam) {
    return m_settings.WriteUserSetting(m_product, unencryptedSection, keyOf(cam), "1");
}

void CamCredentials::remove(const QByteArray& cam) {
    noteChange(cam);
    m_thisRun.remove(cam);
    m_settings.RemoveUserSetting(m_product, plainTextSection, keyOf(cam));
    m_settings.RemoveUserSetting(m_product, unencryptedSection, keyOf(cam));
    removeFromKeyring(cam);
    emit changed(cam);
}

void CamCredentials::rename(const QByteArray& oldName, const QByteArray& newName,
                            bool oldNameRemains) {
    const quint64 changesBefore = m_changes.value(newName);
    read(oldName, [this, oldName, newName, oldNameRemains,
                   changesBefore](Outcome, std::optional<Credentials> found, const QString&) {
        if (!found)
            return;
        if (m_changes.value(newName) != changesBefore) {
            // the new name was given its own since: the old ones only go
            if (!oldNameRemains)
                remove(oldName);
            return;
        }
        const bool thisRun = m_thisRun.contains(oldName);
        const bool plain = plainText(oldName).has_value();
        if (mayGoUnencrypted(oldName))
            allowUnencrypted(newName);
        if (thisRun)
            keepForThisRun(newName, *found);
        else if (plain)
            keepInPlainText(newName, *found);
        else
            write(newName, *found, [](Outcome, const QString&) {});
        if (!oldNameRemains)
            remove(oldName);
    });
}
