#include "net/camfetcher.h"

#include "common/datetimetext.h"
#include "common/localtext.h"
#include "common/numbertext.h"
#include "net/judgement.h"
#include "source/backoff.h"

#include <QHash>
#include <QRandomGenerator>

#include <array>
#include <utility>

namespace {

// How long the answer to a login may take, whatever the interval.
constexpr int32_t loginAnswerSecs = 10;

} // namespace

CamFetcher::CamFetcher(QObject* parent, const TickerMaker& tickers) : PictureSource(parent) {
    m_jitter = [] { return 0.8 + 0.4 * QRandomGenerator::global()->generateDouble(); };
    m_timer = MakeSecondTicker(tickers, this);
    m_exchange = new Exchange(this);
    connect(m_timer, &Ticker::tick, this, &CamFetcher::countSecond);
    connect(m_exchange, &Exchange::serverReached, this, &CamFetcher::serverReached);
    connect(m_exchange, &Exchange::progressed, this, &CamFetcher::progressed);
    connect(m_exchange, &Exchange::finished, this, &CamFetcher::exchangeFinished);
    connect(m_exchange, &Exchange::streamStarted, this, &CamFetcher::streamBegan);
    m_exchange->setStreamPartHandler(
        [this](std::string_view headers, std::string_view body) { streamPart(headers, body); });
}

CamFetcher::~CamFetcher() = default;

void CamFetcher::setRecord(const QByteArray& name, const QByteArray& address,
                           const QByteArray& refresh) {
    if (address != m_address) {
        // another server: its validators and its failures are not this one's
        m_validators = {};
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
            QString(),
            QString()};
}

bool CamFetcher::isCounting() const {
    return m_timer->isActive();
}

void CamFetcher::beginCycle() {
    // A refresh text that is not a number (an edit of a running cam can bring one) starts no
    // cycle: the panel stops cleanly and says why, instead of waiting for a tick that never
    // comes.
    const std::optional<int32_t> seconds = parseLong(m_refreshText.toStdString());
    if (!seconds) {
        stop();
        m_halted = true;
        emit halted(
            tr("%1 has an invalid refresh interval: \"%2\"")
                .arg(QString::fromLocal8Bit(m_name), QString::fromLocal8Bit(m_refreshText)));
        return;
    }
    m_halted = false;
    emit fetchStarted();
    m_refreshSecs = *seconds;
    m_waitSecs = m_refreshSecs; // a refresh always tries at once
    m_elapsedSecs = 0;
    m_timer->start(); // also restarts the one-second period of a running timer
    m_fetching = false;
    m_streaming = false;
    m_waitingForCredentials = false;
    ExchangeRequest request;
    request.address = m_address;
    request.validators = m_validators;
    request.pins = m_pins;
    request.credentials = m_credentials;
    if (!request.credentials)
        if (const auto split = SplitCamAddress(m_address.toStdString());
            split && split->hasUserInfo)
            request.credentials = Credentials{QString::fromStdString(split->user),
                                              QString::fromStdString(split->password)};
    request.auth = m_auth;
    request.plainBasicAllowed = m_plainPasswordAllowed;
    request.pictureTest = m_isWholePicture;
    // a server that is silent for a while is given at least the interval
    m_exchange->setStallTimeout(std::max<int64_t>(m_stallMs, int64_t(m_refreshSecs) * 1000));
    std::string why;
    if (!m_exchange->start(request, &why)) {
        // no connection is made: the mark says why, and the next expiry tries again
        fail(localText(why), FetchFailure::Address);
        return;
    }
    m_fetching = true;
}

void CamFetcher::countSecond() {
    if (m_streaming) {
        emit ticked(); // a stream has no next fetch: its pictures grow old only
        return;
    }
    ++m_elapsedSecs;
    emit ticked();
    if (m_elapsedSecs < m_waitSecs)
        return;
    // the answer to a login, and a stream's head, are given their own time whatever the
    // interval: a server that waits before it refuses a password must not be asked again
    if (m_fetching && m_elapsedSecs < loginAnswerSecs &&
        (m_exchange->awaitsLoginAnswer() || (m_lastWasStream && m_exchange->awaitsHead())))
        return;
    if (m_fetching) {
        // the fetch is abandoned; after a failure the next attempt may be due later
        fail(tr("no whole answer within the refresh interval"), FetchFailure::Timeout);
        if (m_elapsedSecs < m_waitSecs)
            return;
    }
    m_timer->stop();
    beginCycle();
}

void CamFetcher::refreshNow() {
    if (m_proxies)
        m_proxies->forgiveAll();
    beginCycle();
}

void CamFetcher::stop() {
    m_exchange->release();
    m_timer->stop();
    m_fetching = false;
    m_streaming = false;
}

void CamFetcher::exchangeFinished(const ExchangeResult& result) {
    m_fetching = false;
    m_lastStatus = 0;
    m_visited = result.visited;

    m_lastSecure = result.secure;
    m_lastPinned = result.pinned;
    m_lastProxy = result.proxy;
    if (!result.answered) {
        if (result.failure == FetchFailure::Certificate) {
            m_trouble = result.trouble;
            m_troubleHostPort = result.troubleHostPort;
        }
        fail(result.reason, result.failure);
        return;
    }
    m_lastStatus = result.status;
    if (result.status == 304) {
        // unchanged: the picture, Last Changed and Last Refreshed (when the picture's time was
        // first seen) stay, as for the same picture sent again
        m_pictureChanged = false;
        succeeded();
        emit unchanged(details());
        return;
    }
    judge(result);
}

void CamFetcher::judge(const ExchangeResult& result) {
    const int status = result.status;
    const std::string_view body(result.body.constData(), size_t(result.body.size()));
    const bool successful = status >= 200 && status < 300;
    // "image/" anywhere in the headers makes a picture; a successful answer whose
    // bytes are a whole picture of a known kind is one too, whatever its type says
    const bool picture = IsImageResponse(result.headers) || (successful && result.bodyIsPicture);
    const QString code = tr("HTTP %1").arg(status);
    std::optional<int64_t> retryAfter;
    if (status == 429 || status == 503)
        if (const auto value = result.head.value("Retry-After"))
            retryAfter = ParseRetryAfter(*value, m_now().toSecsSinceEpoch(), maxRetryAfterSecs);
    m_lastWasStream = false;
    if (const auto type = result.head.value("Content-Type");
        successful && m_otherKind &&
        m_otherKind(type ? QByteArray(type->data(), qsizetype(type->size())) : QByteArray(),
                    body.substr(0, 512))) {
        // a cam of another kind at this address: its own source takes over
        stop();
        emit otherKind(type ? QByteArray(type->data(), qsizetype(type->size())) : QByteArray(),
                       result.body.left(512));
        return;
    }
    if (!picture) {
        emit notAPicture();
        // a cam asking for a password it was not given says what to do
        const auto split = SplitCamAddress(m_address.toStdString());
        const bool wantsLogin = status == 401 && !m_credentials && !(split && split->hasUserInfo);
        fail(status == 0 || successful ? tr("not a picture")
             : wantsLogin
                 ? tr("%1 (the cam needs a user name and password: give them in Edit)").arg(code)
                 : code,
             FetchFailure::NotPicture, retryAfter);
        return;
    }
    // what this picture changes is kept until the picture is shown: a picture that cannot be
    // shown takes it back
    m_beforeLastPicture = {m_lastModified, m_changeKey,     m_acceptedDigest,
                           m_lastChanged,  m_lastRefreshed, m_validators};
    noteLastModified(result.headers);
    if (!LastModifiedLine(result.headers))
        noteChangeWithoutDate(result.head.value("ETag"), result.body);
    if (successful)
        noteValidators(result);
    m_source = localText(result.answeredBy.text());
    FetchedPicture fetched;
    fetched.body = result.body; // shared: the exchange's storage serves again once it is let go
    fetched.announcedLength = result.announcedLength;
    fetched.pictureChanged = m_pictureChanged;
    if (const auto modified = result.head.value("Last-Modified"))
        fetched.lastModifiedTime = ParseHttpDate(*modified);
    fetched.details = details();
    fetched.judged = ++m_judged;
    if (status == 0 || successful)
        succeeded();
    emit pictureArrived(fetched);
    if (status != 0 && !successful)
        fail(code, FetchFailure::NotPicture, retryAfter); // a picture, but from an error
}

void CamFetcher::fail(const QString& reason, FetchFailure kind, std::optional<int64_t> retryAfter) {
    m_exchange->abort();
    m_fetching = false;
    if (std::exchange(m_streaming, false)) {
        // a stream is asked again soon after it ends, counted from its end, a little later
        // each time it ends without a picture
        ++m_failures;
        m_elapsedSecs = 0;
        m_waitSecs = NextAttemptSeconds(m_failures, 0, m_jitter());
        noteOutcome(kind);
        emit failed(reason, kind);
        return;
    }

    noteOutcome(kind);
    if (kind == FetchFailure::Refused || kind == FetchFailure::PlainPassword ||
        kind == FetchFailure::ProxyRefused) {
        // no second try with what the cam refused: cams lock an address out after a few
        m_timer->stop();
        m_waitingForCredentials = true;
        emit failed(reason, kind);
        return;
    }

    ++m_failures;
    m_waitSecs = NextAttemptSeconds(m_failures, m_refreshSecs, m_jitter(), retryAfter);
    emit failed(reason, kind);
}

void CamFetcher::succeeded() {
    m_failures = 0;
    m_waitSecs = m_refreshSecs;
    noteOutcome(std::nullopt);
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

namespace {

// 128 bits of two hashes seeded at random for this run: a server cannot make two pictures look
// alike, and a stream's picture is told from the last in a fraction of what SHA-1 takes (the
// digests are compared within a run only).
std::string pictureDigest(const QByteArray& body) {
    static const std::array<size_t, 2> seeds{size_t(QRandomGenerator::system()->generate64()),
                                             size_t(QRandomGenerator::system()->generate64())};
    std::string digest;
    for (const size_t seed : seeds)
        digest += std::to_string(qHashBits(body.constData(), size_t(body.size()), seed)) + ".";
    return digest;
}

} // namespace

void CamFetcher::noteChangeWithoutDate(std::optional<std::string_view> etag,
                                       const QByteArray& body) {
    const std::string digest = std::to_string(body.size()) + " " + pictureDigest(body);
    const std::string key =
        etag && !etag->empty() ? "etag " + std::string(*etag) : "digest " + digest;
    // the first picture seen is not a change, as with Last-Modified; nor are the bytes of the
    // last picture that was, whatever its new ETag says (some servers change it every time)
    const bool news = key != m_changeKey && digest != m_acceptedDigest;
    m_pictureChanged = news && !m_changeKey.empty();
    m_changeKey = key;
    if (news || m_acceptedDigest.empty())
        m_acceptedDigest = digest;
    if (news) {
        const QDateTime now = m_now();
        m_lastRefreshed = shortDateText(now.date()) + " " + longTimeText(now.time());
    }
}

void CamFetcher::noteValidators(const ExchangeResult& result) {
    const auto etag = result.head.value("ETag");
    const auto modified = result.head.value("Last-Modified");
    m_validators.etag = etag && IsSendableValidator(*etag) ? std::string(*etag) : std::string();
    m_validators.lastModified =
        modified && IsSendableValidator(*modified) ? std::string(*modified) : std::string();
    m_validators.address = m_validators.etag.empty() && m_validators.lastModified.empty()
                               ? std::string()
                               : result.answeredBy.text();
}

std::optional<int64_t> CamFetcher::lastModifiedTime() const {
    if (m_validators.lastModified.empty())
        return std::nullopt;
    return ParseHttpDate(m_validators.lastModified);
}

void CamFetcher::refusePicture(const FetchedPicture& picture) {
    if (picture.judged != m_judged)
        return; // a later picture has been judged since: its news stands
    m_lastModified = m_beforeLastPicture.lastModified;
    m_changeKey = m_beforeLastPicture.changeKey;
    m_acceptedDigest = m_beforeLastPicture.acceptedDigest;
    m_lastChanged = m_beforeLastPicture.lastChanged;
    m_lastRefreshed = m_beforeLastPicture.lastRefreshed;
    m_validators = m_beforeLastPicture.validators;
    m_pictureChanged = false;
}

void CamFetcher::forgetValidators() {
    m_validators.address.clear();
}

void CamFetcher::setCredentials(std::optional<Credentials> credentials) {
    if (credentials && credentials->isEmpty())
        credentials.reset();
    if (credentials == m_credentials)
        return;
    m_credentials = std::move(credentials);
    m_auth = std::make_shared<AuthMemory>(); // what the server said was for the old ones
    // asked again at once when the cam waits for them, when the fetch under way went without
    // them (they came from the keyring a moment after the start), or when the cam just said
    // it wants them
    if (m_waitingForCredentials || m_fetching || m_lastStatus == 401)
        beginCycle();
}

void CamFetcher::setPlainPasswordAllowed(bool allowed) {
    if (allowed == m_plainPasswordAllowed)
        return;
    m_plainPasswordAllowed = allowed;
    if (allowed && m_waitingForCredentials)
        beginCycle();
}

bool CamFetcher::sendsPasswordUnencrypted() const {
    return m_plainPasswordAllowed && !m_lastSecure && m_auth->basic;
}
