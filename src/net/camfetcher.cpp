#include "net/camfetcher.h"

#include "common/datetimetext.h"
#include "common/localtext.h"
#include "common/numbertext.h"
#include "net/backoff.h"
#include "net/judgement.h"
#include "net/location.h"

#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int defaultStallMs = 30000;

QString hostPortOf(const CamAddress& target) {
    return QString("%1:%2").arg(localText(target.connectTo)).arg(target.port);
}

} // namespace

CamFetcher::CamFetcher(QObject* parent) : QObject(parent) {
    m_jitter = [] { return 0.8 + 0.4 * QRandomGenerator::global()->generateDouble(); };
    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    m_stall = new QTimer(this);
    m_stall->setSingleShot(true);
    m_stall->setInterval(defaultStallMs);
    m_socket = new CamSocket(this);
    connect(m_timer, &QTimer::timeout, this, &CamFetcher::timRefresh_Timer);
    connect(m_stall, &QTimer::timeout, this, [this] {
        const bool handshaking = m_target.secure && m_socket->State() != 0;
        fail(handshaking && !m_socket->isEncrypted() ? "the TLS handshake timed out"
                                                     : "the server stopped answering",
             FetchFailure::Timeout);
    });
    connect(m_socket, &CamSocket::Connected, this, &CamFetcher::wsCam_Connect);
    connect(m_socket, &CamSocket::DataArrival, this, &CamFetcher::wsCam_DataArrival);
    connect(m_socket, &CamSocket::CloseEvent, this, &CamFetcher::wsCam_Close);
    connect(m_socket, &CamSocket::Failed, this, [this](const QString& reason, SocketFailure kind) {
        switch (kind) {
        case SocketFailure::Certificate:
            m_troubleHostPort = hostPortOf(m_target);
            fail(reason, FetchFailure::Certificate);
            break;
        case SocketFailure::Tls:
            fail(reason, FetchFailure::Protocol);
            break;
        default:
            fail(reason, FetchFailure::Connection);
            break;
        }
    });
}

CamFetcher::~CamFetcher() = default;

void CamFetcher::setStallTimeout(int milliseconds) {
    m_stall->setInterval(milliseconds);
}

void CamFetcher::setRecord(const QByteArray& name, const QByteArray& address,
                           const QByteArray& refresh) {
    if (address != m_address) {
        // another server: its validators and its failures are not this one's
        m_validatorsFor.clear();
        m_failures = 0;
    }
    m_name = name;
    m_address = address;
    m_refreshText = refresh;
}

CamDetails CamFetcher::details() const {
    return {QString::fromLocal8Bit(m_name),
            QString::fromLocal8Bit(m_refreshText),
            QString::fromLocal8Bit(m_lastChanged),
            m_lastRefreshed,
            m_source,
            QString(),
            QString()};
}

bool CamFetcher::isCounting() const {
    return m_timer->isActive();
}

int CamFetcher::socketState() const {
    return m_socket->State();
}

void CamFetcher::cmdStart_Click() {
    // A refresh text that is not a number (an edit of a running cam can bring one) starts no
    // cycle: the panel stops cleanly and says why, instead of waiting for a tick that never
    // comes.
    const std::optional<int32_t> seconds = parseLong(m_refreshText.toStdString());
    if (!seconds) {
        stop();
        m_halted = true;
        emit halted(
            QString("%1 has an invalid refresh interval: \"%2\"")
                .arg(QString::fromLocal8Bit(m_name), QString::fromLocal8Bit(m_refreshText)));
        return;
    }
    m_halted = false;
    emit fetchStarted();
    m_refreshSecs = *seconds;
    m_waitSecs = m_refreshSecs; // a refresh always tries at once
    m_elapsedSecs = 0;
    m_timer->start(); // also restarts the one-second period of a running timer
    m_stall->stop();
    m_socket->Close();
    m_fetching = false;

    const std::string address = m_address.toStdString();
    const std::optional<CamAddress> target = SplitCamAddress(address);
    if (!target) {
        // no connection is made; the next expiry tries again
        emit problem(quoted(localText(AddressProblem(address))));
        return;
    }
    m_visited = {target->text()};
    connectTo(*target);
}

void CamFetcher::connectTo(const CamAddress& target) {
    m_target = target;
    // the last answer's storage is kept for later; the next is received into storage no one
    // holds any more
    m_bodies.keep(std::exchange(m_response.responseBuffer, QByteArray()));
    m_response.reset();
    m_response.receiveInto(m_bodies.spare());
    m_fetching = true;
    if (target.secure)
        m_socket->ConnectEncrypted(localText(target.connectTo), target.port,
                                   m_pins ? m_pins(hostPortOf(target)) : QByteArray());
    else
        m_socket->Connect(localText(target.connectTo), target.port);
    m_stall->start();
}

void CamFetcher::timRefresh_Timer() {
    ++m_elapsedSecs;
    emit ticked();
    if (m_elapsedSecs < m_waitSecs)
        return;
    if (m_fetching) {
        // the fetch is abandoned; after a failure the next attempt may be due later
        fail("no whole answer within the refresh interval", FetchFailure::Timeout);
        if (m_elapsedSecs < m_waitSecs)
            return;
    }
    m_timer->stop();
    cmdStart_Click();
}

void CamFetcher::stop() {
    m_bodies = RecycledBodies(); // a stopped cam keeps no spare storage
    m_socket->Close();
    m_timer->stop();
    m_stall->stop();
    m_fetching = false;
}

void CamFetcher::wsCam_Connect() {
    m_stall->start();
    m_lastSecure = m_socket->isEncrypted();
    m_lastPinned = m_socket->acceptedByPin();
    emit serverReached();
    m_target.camPath = EscapeRequestPath(m_target.camPath);
    const std::string request =
        BuildRequest(m_target.camPath, m_target.camHost, conditionalHeaders());
    m_socket->SendData(QByteArray(request.data(), qsizetype(request.size())));
}

void CamFetcher::wsCam_DataArrival(qint64) {
    m_stall->start();
    const std::string fileName = RequestFileName(m_target.camPath);
    const QByteArray bytes = m_socket->GetData();
    const DataOutcome outcome =
        ReceiveResponseData(m_response, std::string_view(bytes.constData(), size_t(bytes.size())));
    if (outcome.abort) {
        // Over the bounds: give up this fetch, keep the picture, try again later.
        m_response.reset();
        fail("the server's answer is too large", FetchFailure::Protocol);
        return;
    }
    if (!outcome.error.empty()) {
        fail(localText(outcome.error), FetchFailure::Protocol);
        return;
    }
    if (outcome.percent)
        emit progressed(*outcome.percent, localText(fileName));
    if (outcome.complete && m_fetching)
        finish(); // a whole body needs no close from the server
}

void CamFetcher::wsCam_Close() {
    finish();
}

void CamFetcher::finish() {
    m_stall->stop();
    m_socket->Close();
    m_fetching = false;
    const CompletedResponse split = SplitResponse(m_response.received());
    const std::string headers(split.headers);
    const int status = m_response.headerDone ? m_response.head.status : 0;
    if (IsRedirectStatus(status) && m_response.head.value("Location")) {
        followRedirect();
        return;
    }
    if (status == 304) {
        // unchanged: Last Refreshed moves on, the picture and Last Changed stay
        m_response.responseBuffer.resize(0);
        m_pictureChanged = false;
        const QDateTime now = m_now();
        m_lastRefreshed = shortDateText(now.date()) + " " + longTimeText(now.time());
        succeeded();
        emit unchanged(details());
        return;
    }
    const ReceivedBody body =
        m_response.headerDone ? BodyOf(m_response) : ReceivedBody{split.body, true};
    if (!body.whole && m_response.framing.kind == BodyFraming::Chunked) {
        fail("the picture was cut short before its last chunk", FetchFailure::Protocol);
        return;
    }
    // from here on the buffer holds the body
    keepOnlyBody(body.bytes);
    judge(headers, m_response.received());
}

void CamFetcher::keepOnlyBody(std::string_view body) {
    QByteArray& buffer = m_response.responseBuffer;
    if (m_response.headerDone && m_response.framing.kind == BodyFraming::Chunked) {
        // the decoded chunks are the body, in storage of their own size: the chunks' framing
        // can be far larger than what it carries
        buffer = QByteArray(body.data(), qsizetype(body.size()));
        m_response.decoded.clear();
        return;
    }
    if (!body.empty()) {
        // the body is a part of the buffer: moved to its front within the same storage (which
        // then starts at its front again when it receives the next answer)
        const auto offset = size_t(body.data() - buffer.constData());
        char* bytes = buffer.data();
        std::memmove(bytes, bytes + offset, body.size());
    }
    buffer.truncate(qsizetype(body.size())); // nothing at all for an answer without a body
    // storage reserved for a length the server announced but did not send is not held on to
    if (buffer.capacity() > 2 * buffer.size() + 64 * 1024)
        buffer.squeeze();
}

void CamFetcher::judge(const std::string& headers, std::string_view body) {
    const int status = m_response.head.status;
    const bool successful = status >= 200 && status < 300;
    // "image/" in the headers makes a picture, as it always did; a successful answer whose
    // bytes are a whole picture of a known kind is one too, whatever its type says
    const bool picture =
        IsImageResponse(headers) || (successful && m_isWholePicture && m_isWholePicture(body));
    const QString code = QString("HTTP %1").arg(status);
    std::optional<int64_t> retryAfter;
    if (status == 429 || status == 503)
        if (const auto value = m_response.head.value("Retry-After"))
            retryAfter = ParseRetryAfter(*value, m_now().toSecsSinceEpoch(), maxRetryAfterSecs);
    if (!picture) {
        emit notAPicture();
        fail(status == 0 || successful ? QString("not a picture") : code, FetchFailure::NotPicture,
             retryAfter);
        return;
    }
    noteLastModified(headers);
    if (successful)
        noteValidators();
    m_source = localText(m_target.text());
    FetchedPicture fetched;
    // the picture shares the buffer's bytes; the buffer's storage serves again once the
    // picture is let go
    fetched.body = m_response.responseBuffer;
    fetched.announcedLength = ContentLengthOf(headers);
    fetched.pictureChanged = m_pictureChanged;
    if (const auto modified = m_response.head.value("Last-Modified"))
        fetched.lastModifiedTime = ParseHttpDate(*modified);
    fetched.details = details();
    if (status == 0 || successful)
        succeeded();
    emit pictureArrived(fetched);
    if (status != 0 && !successful)
        fail(code, FetchFailure::NotPicture, retryAfter); // a picture, but from an error
}

bool CamFetcher::followRedirect() {
    // at most five hops in one cycle, within the cycle's time and each answer's size bound
    if (m_visited.size() > 5) {
        fail("more than 5 redirects", FetchFailure::Protocol);
        return false;
    }
    const LocationResult next = ResolveLocation(m_target, *m_response.head.value("Location"));
    if (!next.ok) {
        fail(localText(next.error), FetchFailure::Protocol);
        return false;
    }
    const std::string text = next.target.text();
    if (std::find(m_visited.begin(), m_visited.end(), text) != m_visited.end()) {
        fail("a redirect loop", FetchFailure::Protocol);
        return false;
    }
    m_visited.push_back(text);
    connectTo(next.target);
    return true;
}

void CamFetcher::fail(const QString& reason, FetchFailure kind, std::optional<int64_t> retryAfter) {
    m_stall->stop();
    m_socket->Close();
    m_fetching = false;
    ++m_failures;
    m_waitSecs = NextAttemptSeconds(m_failures, m_refreshSecs, m_jitter(), retryAfter);
    emit failed(reason, kind);
}

void CamFetcher::succeeded() {
    m_failures = 0;
    m_waitSecs = m_refreshSecs;
}

void CamFetcher::noteLastModified(std::string_view headers) {
    const std::optional<std::string> line = LastModifiedLine(headers);
    if (!line) {
        m_pictureChanged = false;
        return;
    }
    m_lastChanged = QByteArray::fromStdString(LastChangedText(*line));
    const PictureNews news = CompareLastModified(m_lastModified, *line);
    m_pictureChanged = news == PictureNews::Changed;
    if (news == PictureNews::Unchanged)
        return;
    m_lastModified = *line;
    const QDateTime now = m_now();
    m_lastRefreshed = shortDateText(now.date()) + " " + longTimeText(now.time());
}

void CamFetcher::noteValidators() {
    const auto etag = m_response.head.value("ETag");
    const auto modified = m_response.head.value("Last-Modified");
    m_etag = etag && IsSendableValidator(*etag) ? std::string(*etag) : std::string();
    m_lastModifiedValue =
        modified && IsSendableValidator(*modified) ? std::string(*modified) : std::string();
    m_validatorsFor = m_etag.empty() && m_lastModifiedValue.empty() ? "" : m_target.text();
}

std::optional<int64_t> CamFetcher::lastModifiedTime() const {
    if (m_lastModifiedValue.empty())
        return std::nullopt;
    return ParseHttpDate(m_lastModifiedValue);
}

void CamFetcher::forgetValidators() {
    m_validatorsFor.clear();
}

std::string CamFetcher::conditionalHeaders() const {
    if (m_validatorsFor.empty() || m_validatorsFor != m_target.text())
        return {};
    std::string lines;
    if (!m_lastModifiedValue.empty())
        lines += "If-Modified-Since: " + m_lastModifiedValue + "\r\n";
    if (!m_etag.empty())
        lines += "If-None-Match: " + m_etag + "\r\n";
    return lines;
}
