#include "video/videosource.h"

#include "common/datetimetext.h"
#include "common/numbertext.h"
#include "source/backoff.h"
#include "video/retiredreaders.h"
#include "video/videoreader.h"

#include <QRandomGenerator>
#include <QTimer>
#include <system_error>

VideoSource::VideoSource(QObject* parent) : PictureSource(parent) {
    m_jitter = [] { return 0.8 + 0.4 * QRandomGenerator::global()->generateDouble(); };
    m_timer = new QTimer(this);
    m_timer->setInterval(m_tickMs);
    connect(m_timer, &QTimer::timeout, this, &VideoSource::countSecond);
}

VideoSource::~VideoSource() {
    if (!m_link)
        return;
    m_link->stop();
    m_link->forget();
    // it ends on its own, touching nothing but its link; nobody waits for it here
    RetireReader(std::move(m_thread), std::move(m_link));
}

bool VideoSource::takesAddress(const QByteArray& address) {
    return IsRtspAddress(std::string_view(address.constData(), size_t(address.size())));
}

bool VideoSource::takesAnswer(const QByteArray& contentType, std::string_view firstBytes) {
    return IsPlaylistAnswer(std::string_view(contentType.constData(), size_t(contentType.size())),
                            firstBytes);
}

void VideoSource::setTickInterval(int milliseconds) {
    m_tickMs = milliseconds;
    if (milliseconds <= 0)
        m_timer->stop();
    else
        m_timer->setInterval(milliseconds);
}

void VideoSource::setRecord(const QByteArray& name, const QByteArray& address,
                            const QByteArray& refresh) {
    if (address != m_address) {
        m_failures = 0; // another cam's failures are not this one's
        m_facts = {};
    }
    m_name = name;
    m_address = address;
    m_refreshText = refresh;
    if (const std::optional<int32_t> seconds = parseLong(refresh.toStdString())) {
        m_refreshSecs = *seconds;
        if (m_link)
            m_link->setInterval(*seconds); // a running stream follows at once
    }
}

void VideoSource::setCredentials(std::optional<Credentials> credentials) {
    if (credentials && credentials->isEmpty())
        credentials.reset();
    if (credentials == m_credentials)
        return;
    m_credentials = std::move(credentials);
    // tried at once when the cam waits for them or a connection is being made without them
    if (m_waitingForCredentials || m_fetching)
        beginCycle();
}

void VideoSource::beginCycle() {
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
    m_refreshSecs = *seconds;
    m_waitingForCredentials = false;
    m_elapsedSecs = 0;
    m_waitSecs = 0;
    if (m_tickMs > 0)
        m_timer->start();
    attempt();
}

void VideoSource::attempt() {
    m_elapsedSecs = 0;
    m_streaming = false;
    m_fetching = false;
    m_pending = MakeVideoAddress(m_address.toStdString(), m_credentials);
    if (!m_pending) {
        emit problem(tr("%1: not an address of a video cam").arg(QString::fromLocal8Bit(m_name)));
        return;
    }
    m_fetching = true;
    emit fetchStarted();
    if (m_link) {
        m_link->stop(); // the new one starts when this one has ended
        return;
    }
    startReader();
}

void VideoSource::startReader() {
    m_reading = std::exchange(m_pending, std::nullopt);
    m_link = std::make_shared<ReaderLink>(this, static_cast<ReaderEvents*>(this), m_refreshSecs);
    m_link->setWantedSize(m_wanted, m_wantedWhole);
    try {
        m_thread = std::thread([link = m_link, address = *m_reading, transport = m_transport] {
            RunVideoReader(*link, address, transport);
        });
    } catch (const std::system_error&) {
        m_link.reset();
        fail({tr("no thread could be started to read the cam"), FetchFailure::Connection});
    }
}

void VideoSource::joinReader() {
    if (m_thread.joinable())
        m_thread.join(); // it has told that it ended: it is leaving
    m_link.reset();
}

void VideoSource::stop() {
    if (m_link)
        m_link->stop();
    m_pending.reset();
    m_timer->stop();
    m_fetching = false;
    m_streaming = false;
}

bool VideoSource::isCurrent(const ReaderLink* link) const {
    return link && link == m_link.get() && !m_link->stopping();
}

void VideoSource::readerConnected(const ReaderLink* link) {
    if (!isCurrent(link))
        return;
    m_fetching = false;
    m_streaming = true;
    m_facts = m_link->facts();
    emit serverReached();
    emit streamStarted();
}

void VideoSource::readerPicture(const ReaderLink* link) {
    if (!isCurrent(link))
        return;
    std::optional<WaitingPicture> picture = m_link->take();
    if (!picture)
        return;
    m_facts = m_link->facts();
    m_failures = 0;
    m_lastFailure.reset();
    const QDateTime now = m_now();
    m_lastRefreshed = shortDateText(now.date()) + " " + longTimeText(now.time());
    FetchedPicture fetched;
    fetched.announcedLength = picture->body.size();
    fetched.body = std::move(picture->body);
    fetched.format = std::move(picture->format);
    fetched.size = picture->size;
    fetched.pictureChanged = m_judged > 0; // the first seen is no change, as for stills
    fetched.details = details();
    fetched.judged = ++m_judged;
    emit pictureArrived(fetched);
}

void VideoSource::readerFinished(const ReaderLink* link, std::optional<ReaderFailure> failure) {
    if (!link || link != m_link.get())
        return;
    const bool stopped = m_link->stopping();
    if (!stopped)
        m_facts = m_link->facts();
    joinReader();
    if (m_pending) {
        startReader();
        return;
    }
    if (stopped)
        return;
    fail(failure.value_or(ReaderFailure{tr("the stream ended"), FetchFailure::StreamEnded}));
}

void VideoSource::fail(const ReaderFailure& failure) {
    m_lastFailure = failure;
    m_fetching = false;
    m_streaming = false;
    if (failure.kind == FetchFailure::Refused) {
        // no second try with what the cam refused: cams lock an address out after a few
        m_timer->stop();
        m_waitingForCredentials = true;
        emit failed(failure.reason, failure.kind);
        return;
    }
    // asked again soon, a little later each time it fails in a row
    ++m_failures;
    m_elapsedSecs = 0;
    m_waitSecs = NextAttemptSeconds(m_failures, 0, m_jitter());
    emit failed(failure.reason, failure.kind);
}

void VideoSource::countSecond() {
    emit ticked();
    if (m_streaming || m_fetching || m_link || m_waitingForCredentials || m_halted)
        return; // a reading thread keeps deadlines of its own
    if (++m_elapsedSecs < m_waitSecs)
        return;
    attempt();
}

void VideoSource::setWantedSize(QSize shown, bool whole) {
    m_wanted = shown;
    m_wantedWhole = whole;
    if (m_link)
        m_link->setWantedSize(shown, whole);
}

CamDetails VideoSource::details() const {
    const QString source = m_reading ? m_reading->shown : QString();
    return {QString::fromLocal8Bit(m_name),
            QString::fromLocal8Bit(m_refreshText),
            QString(),
            m_lastRefreshed,
            source,
            QString(),
            QString(),
            QString()};
}
