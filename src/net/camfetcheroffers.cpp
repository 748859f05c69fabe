// What an HTTP cam offers its user (trusting a certificate it presented, sending its password
// unencrypted) and what its last answer said, in words.
#include "net/camfetcher.h"

#include "common/localtext.h"

#include <QLocale>

namespace {

const QString trustId = QStringLiteral("trustCertificate");
const QString unencryptedId = QStringLiteral("sendPasswordUnencrypted");

QString sentOrNot(const ResponseHead& head, const char* field) {
    const auto value = head.value(field);
    return value ? CamFetcher::tr("%1: sent (%2)").arg(QString(field), localText(*value))
                 : CamFetcher::tr("%1: not sent").arg(QString(field));
}

} // namespace

void CamFetcher::setKeeping(SourceKeeping* keeping) {
    m_keeping = keeping;
    m_pins = keeping ? std::function<QByteArray(const QString&)>(
                           [keeping](const QString& at) { return keeping->trustedCertificate(at); })
                     : nullptr;
    m_plainPasswordAllowed = keeping && keeping->mayGoUnencrypted();
}

void CamFetcher::noteOutcome(std::optional<FetchFailure> failure) {
    const QList<SourceAction> before = actions();
    m_lastFailure = failure;
    if (actions() != before)
        emit actionsChanged();
}

QList<SourceAction> CamFetcher::actions() const {
    QList<SourceAction> offered;
    const QString name = QString::fromLocal8Bit(m_name);
    if (m_lastFailure == FetchFailure::Certificate && !m_trouble.fingerprint.isEmpty() &&
        !m_troubleHostPort.isEmpty()) {
        SourceAction trust;
        trust.id = trustId;
        trust.label = tr("Trust This Certificate...");
        trust.title = tr("Trust this certificate");
        trust.question =
            tr("The certificate that %1 presented for %2 is not trusted (%3).\n\n"
               "Issued to: %4\nSHA-256 fingerprint:\n%5\n\n"
               "Trust exactly this certificate for %2 from now on? A different certificate "
               "will be refused again.")
                .arg(m_troubleHostPort, name, m_trouble.reason, m_trouble.subject,
                     ReadableFingerprint(m_trouble.fingerprint));
        trust.buttons = PromptButtons::TrustCancel;
        trust.cam = m_name;
        // what the question shows is what is trusted, whatever the server presents meanwhile
        trust.data = m_troubleHostPort.toUtf8() + ' ' + m_trouble.fingerprint;
        trust.failedText = tr("The trusted certificate could not be stored in your settings.");
        offered << trust;
    }
    if (m_lastFailure == FetchFailure::PlainPassword) {
        SourceAction unencrypted;
        unencrypted.id = unencryptedId;
        unencrypted.label = tr("Send Password Unencrypted...");
        unencrypted.title = tr("Send the password unencrypted");
        unencrypted.question =
            tr("%1 asks for its user name and password over plain HTTP. They would travel "
               "unencrypted: anyone on the network between could read them.\n\nSend them to %1 "
               "anyway from now on?")
                .arg(name);
        unencrypted.cam = m_name;
        offered << unencrypted;
    }
    return offered;
}

bool CamFetcher::perform(const SourceAction& action) {
    if (action.cam != m_name || !m_keeping)
        return false;
    const QString name = QString::fromLocal8Bit(m_name);
    if (action.id == trustId) {
        const qsizetype space = action.data.indexOf(' ');
        const QString hostPort = QString::fromUtf8(action.data.left(space));
        if (space < 0 || !m_keeping->trustCertificate(hostPort, action.data.mid(space + 1)))
            return false;
        emit problem(tr("%1: the certificate of %2 is trusted").arg(name, hostPort));
        noteOutcome(std::nullopt);
        beginCycle();
        return true;
    }
    if (action.id == unencryptedId) {
        if (!m_keeping->allowUnencrypted())
            return false;
        emit problem(tr("%1: the password travels unencrypted").arg(name));
        noteOutcome(std::nullopt);
        setPlainPasswordAllowed(true);
        return true;
    }
    return false;
}

QStringList CamFetcher::facts() const {
    const ResponseHead& head = response().head;
    QStringList facts;
    facts << (head.status ? tr("Status: HTTP %1").arg(head.status)
                          : tr("Status: none (the server sent no status line)"));
    facts << (m_visited.size() > 1 ? tr("Redirects followed: %1, to %2")
                                         .arg(m_visited.size() - 1)
                                         .arg(localText(m_visited.back()))
                                   : tr("Redirects followed: none"));
    facts << (!m_lastSecure  ? tr("Connection: plain HTTP, not encrypted")
              : m_lastPinned ? tr("Connection: TLS, with the certificate you trust for this cam")
                             : tr("Connection: TLS, certificate verified"));
    facts << tr("Proxy: %1").arg(m_lastProxy.empty() ? tr("none") : localText(m_lastProxy));
    const auto type = head.value("Content-Type");
    facts << tr("Content type: %1").arg(type ? localText(*type) : tr("not sent"));
    facts << sentOrNot(head, "Last-Modified") << sentOrNot(head, "ETag");
    return facts;
}

QString CamFetcher::streamText(double seconds) const {
    if (!m_streaming)
        return {};
    const double pace = m_streamPictures / std::max(seconds, 0.001);
    return tr("An MJPEG stream: %1 pictures a second")
        .arg(QLocale().toString(pace, 'f', pace < 2 ? 1 : 0));
}

PictureSource::FailureReport CamFetcher::describeFailure(const QString& reason,
                                                         FetchFailure kind) const {
    FailureReport report = PictureSource::describeFailure(reason, kind);
    switch (kind) {
    case FetchFailure::Certificate:
        report.headline = tr("The certificate is not trusted: %1").arg(m_trouble.reason);
        if (!m_trouble.subject.isEmpty())
            report.facts << tr("Issued to: %1").arg(m_trouble.subject);
        if (!m_trouble.fingerprint.isEmpty())
            report.facts
                << tr("SHA-256 fingerprint:\n%1").arg(ReadableFingerprint(m_trouble.fingerprint));
        report.facts << tr("If this is your own camera, start the cam and choose \"Trust This "
                           "Certificate...\" on its panel.");
        break;
    case FetchFailure::NotPicture:
        report.facts = facts();
        if (const auto size = qsizetype(response().responseBuffer.size()); size > 0)
            report.facts << tr("Size: %1 bytes").arg(QLocale().toString(size));
        return report;
    case FetchFailure::Protocol:
        // what the answer's head said, when there was one
        report.withTime = response().head.status != 0;
        if (report.withTime)
            report.facts = facts();
        return report;
    default:
        break;
    }
    if (!m_lastProxy.empty())
        report.facts << tr("Proxy: %1").arg(localText(m_lastProxy));
    return report;
}

QString CamFetcher::pictureTrouble() const {
    const int status = response().head.status;
    return status == 0 || (status >= 200 && status < 300) ? QString() : tr("HTTP %1").arg(status);
}
