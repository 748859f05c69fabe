#include "config/camcredentials.h"

#include "config/settings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <qt6keychain/keychain.h>

namespace {

constexpr const char* plainTextSection = "PlainTextPasswords";
constexpr const char* unencryptedSection = "UnencryptedPasswords";
// a cam listed when credentials came to be kept by id: the entry under its name it still takes
constexpr const char* movesSection = "CredentialsToMove";
constexpr const char* keysSection = "Credentials";
constexpr const char* keptByIdKey = "KeptByCamId";

// ids are numbers; names may hold any bytes and are kept in hexadecimal ("cam-...")
QString idKey(CamId cam) {
    return "camid-" + QString::number(cam);
}

} // namespace

QByteArray EncodeCredentials(const Credentials& credentials, const QByteArray& origin) {
    QJsonObject object{{"user", credentials.user}, {"password", credentials.password}};
    if (!origin.isEmpty())
        object.insert("origin", QString::fromLatin1(origin));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<StoredCredentials> DecodeCredentials(const QByteArray& bytes) {
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    if (!object.contains("user") && !object.contains("password"))
        return std::nullopt;
    return StoredCredentials{{object.value("user").toString(), object.value("password").toString()},
                             object.value("origin").toString().toLatin1()};
}

CamCredentials::CamCredentials(QString service, SettingsStore& settings, QString productName,
                               QObject* parent)
    : QObject(parent), m_service(std::move(service)), m_settings(settings),
      m_product(std::move(productName)), m_removals(m_service, settings, m_product) {}

std::optional<StoredCredentials> CamCredentials::plainText(const QString& key) const {
    const QString stored = m_settings.ReadUserSetting(m_product, plainTextSection, key, {});
    return stored.isEmpty() ? std::nullopt : DecodeCredentials(stored.toUtf8());
}

void CamCredentials::read(const CredentialCam& cam, Read done) {
    // only what was given for where the cam's address leads now
    const QByteArray origin = CredentialOrigin(cam.address.toStdString());
    const auto forHere = [origin](const std::optional<StoredCredentials>& stored) {
        return stored && !origin.isEmpty() && stored->origin == origin
                   ? std::optional(stored->credentials)
                   : std::nullopt;
    };
    if (const auto kept = m_thisRun.constFind(cam.id); kept != m_thisRun.constEnd()) {
        done(Outcome::Done, forHere(*kept), {});
        return;
    }
    if (cam.id == 0) {
        done(Outcome::Done, std::nullopt, {});
        return;
    }
    readKeyring(cam, [forHere, done = std::move(done)](
                         Outcome outcome, std::optional<StoredCredentials> found,
                         const QString& error) { done(outcome, forHere(found), error); });
}

// The keyring's jobs are nobody's children: one ends on its own when the keyring answers, which
// may be after the store is gone (its answer then goes nowhere).
void CamCredentials::readKeyring(const CredentialCam& cam, Found done) {
    const QString key = idKey(cam.id);
    if (m_removals.pending(key)) { // an entry on its way out is never read back
        done(Outcome::Done, plainText(key), {});
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(m_service);
    job->setAutoDelete(true);
    job->setKey(key);
    connect(job, &QKeychain::Job::finished, this, [this, cam, job, key, done = std::move(done)] {
        std::optional<StoredCredentials> found;
        if (job->error() == QKeychain::NoError) {
            found = DecodeCredentials(job->binaryData());
            m_removals.retry(); // the keyring answers: what it kept of removed cams goes now
        }
        if (!found) // kept in plain text at the user's word
            found = plainText(key);
        if (!found && job->error() == QKeychain::EntryNotFound &&
            !m_settings.ReadUserSetting(m_product, movesSection, key, {}).isEmpty())
            return readNameKeyed(cam, done);
        const Outcome outcome =
            found ? Outcome::Done : KeyringOutcome(job->error(), job->errorString());
        done(outcome, found, outcome == Outcome::Failed ? job->errorString() : QString());
    });
    job->start();
}

// Kept under the cam's name before cams had ids: taken once, given for the origin the cam's
// address had when cams came to have ids.
void CamCredentials::readNameKeyed(const CredentialCam& cam, Found done) {
    const QString move = m_settings.ReadUserSetting(m_product, movesSection, idKey(cam.id), {});
    const QString from = move.section(' ', 0, 0);
    const QByteArray origin = move.section(' ', 1).toLatin1();
    const quint64 changesBefore = m_changes.value(cam.id);
    auto* job = new QKeychain::ReadPasswordJob(m_service);
    job->setAutoDelete(true);
    job->setKey(from);
    connect(job, &QKeychain::Job::finished, this,
            [this, id = cam.id, job, from, origin, changesBefore, done = std::move(done)] {
                std::optional<StoredCredentials> found;
                // the cam was given others meanwhile: those are read again
                if (job->error() == QKeychain::NoError && m_changes.value(id) == changesBefore)
                    found = DecodeCredentials(job->binaryData());
                if (found) {
                    found->origin = origin;
                    moveToId(id, *found, from);
                }
                const Outcome outcome =
                    found ? Outcome::Done : KeyringOutcome(job->error(), job->errorString());
                done(outcome, found, outcome == Outcome::Failed ? job->errorString() : QString());
            });
    job->start();
}

void CamCredentials::moveToId(CamId cam, const StoredCredentials& stored, const QString& from) {
    auto* job = new QKeychain::WritePasswordJob(m_service);
    job->setAutoDelete(true);
    job->setKey(idKey(cam));
    job->setBinaryData(EncodeCredentials(stored.credentials, stored.origin));
    connect(job, &QKeychain::Job::finished, this, [this, cam, job, from] {
        if (job->error() != QKeychain::NoError)
            return; // taken at a later read
        m_settings.RemoveUserSetting(m_product, movesSection, idKey(cam));
        m_removals.remove(from);
    });
    job->start();
}

void CamCredentials::dropNameKeyed(CamId cam) {
    const QString move = m_settings.ReadUserSetting(m_product, movesSection, idKey(cam), {});
    if (move.isEmpty())
        return;
    m_settings.RemoveUserSetting(m_product, movesSection, idKey(cam));
    m_removals.remove(move.section(' ', 0, 0));
}

bool CamCredentials::keptByName() const {
    return m_settings.ReadUserSetting(m_product, keysSection, keptByIdKey, {}) != "1";
}

void CamCredentials::moveNameKeyed(const std::vector<CredentialCam>& listed) {
    if (!keptByName())
        return;
    for (const CredentialCam& cam : listed) {
        if (cam.id == 0)
            continue;
        const QString from = CamSettingKey(cam.name);
        const QByteArray origin = CredentialOrigin(cam.address.toStdString());
        m_settings.WriteUserSetting(m_product, movesSection, idKey(cam.id),
                                    from + ' ' + QString::fromLatin1(origin));
        if (const std::optional<StoredCredentials> plain = plainText(from))
            m_settings.WriteUserSetting(
                m_product, plainTextSection, idKey(cam.id),
                QString::fromUtf8(EncodeCredentials(plain->credentials, origin)));
    }
    // what is left in plain text under names belongs to no listed cam
    for (const QString& key : m_settings.UserKeys(m_product, plainTextSection))
        if (key.startsWith("cam-"))
            m_settings.RemoveUserSetting(m_product, plainTextSection, key);
    m_settings.WriteUserSetting(m_product, keysSection, keptByIdKey, "1");
}

void CamCredentials::write(const CredentialCam& cam, const Credentials& credentials, Written done) {
    noteChange(cam.id);
    m_thisRun.remove(cam.id);
    const QString key = idKey(cam.id);
    m_settings.RemoveUserSetting(m_product, plainTextSection, key);
    if (credentials.isEmpty() || cam.id == 0) {
        remove(cam);
        done(Outcome::Done, {});
        return;
    }
    m_removals.hold(key);
    auto* job = new QKeychain::WritePasswordJob(m_service);
    job->setAutoDelete(true);
    job->setKey(key);
    job->setBinaryData(EncodeCredentials(credentials, CredentialOrigin(cam.address.toStdString())));
    connect(job, &QKeychain::Job::finished, this, [this, cam, job, key, done = std::move(done)] {
        m_removals.release(key);
        const Outcome outcome = KeyringOutcome(job->error(), job->errorString());
        if (outcome == Outcome::Done) {
            m_removals.replaced(key);
            dropNameKeyed(cam.id); // it has its own now
            m_removals.retry();
            emit changed(cam.id);
        }
        done(outcome, outcome == Outcome::Done ? QString() : job->errorString());
    });
    job->start();
}

void CamCredentials::keepForThisRun(const CredentialCam& cam, const Credentials& credentials) {
    noteChange(cam.id);
    m_thisRun.insert(cam.id, {credentials, CredentialOrigin(cam.address.toStdString())});
    emit changed(cam.id);
}

bool CamCredentials::keepInPlainText(const CredentialCam& cam, const Credentials& credentials) {
    noteChange(cam.id);
    const QByteArray origin = CredentialOrigin(cam.address.toStdString());
    if (cam.id == 0 ||
        !m_settings.WriteUserSetting(m_product, plainTextSection, idKey(cam.id),
                                     QString::fromUtf8(EncodeCredentials(credentials, origin))))
        return false;
    emit changed(cam.id);
    return true;
}

bool CamCredentials::mayGoUnencrypted(const QByteArray& cam) const {
    return m_settings.ReadUserSetting(m_product, unencryptedSection, CamSettingKey(cam), {}) == "1";
}

bool CamCredentials::allowUnencrypted(const QByteArray& cam) {
    return m_settings.WriteUserSetting(m_product, unencryptedSection, CamSettingKey(cam), "1");
}

void CamCredentials::remove(const CredentialCam& cam) {
    if (cam.id == 0)
        return;
    noteChange(cam.id);
    m_thisRun.remove(cam.id);
    m_settings.RemoveUserSetting(m_product, plainTextSection, idKey(cam.id));
    dropNameKeyed(cam.id);
    const QString name = QString::fromLocal8Bit(cam.name);
    m_removals.remove(idKey(cam.id), [this, name](const QString& error) {
        //: %1 names the cam, %2 says why the keyring refused
        emit statusText(tr("The keyring kept the user name and password of %1 (%2): they are "
                           "removed when it next answers.")
                            .arg(name, error));
    });
    emit changed(cam.id);
}

void CamCredentials::askKeyring(std::function<void(bool answers)> done) {
    auto* job = new QKeychain::ReadPasswordJob(m_service);
    job->setAutoDelete(true);
    job->setKey("keyring-check");
    connect(job, &QKeychain::Job::finished, this, [job, done = std::move(done)] {
        // an entry nobody has is not found where a keyring answers; anything else (no
        // session bus, no service, no collection, a refusal) is no keyring to keep it in
        done(job->error() == QKeychain::NoError || job->error() == QKeychain::EntryNotFound);
    });
    job->start();
}
