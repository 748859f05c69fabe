#include "fetch/camfetcher.h"

#include "common/datetimetext.h"
#include "common/localtext.h"
#include "common/numbertext.h"
#include "fetch/camaddress.h"
#include "fetch/camsocket.h"
#include "fetch/judgement.h"

#include <QDateTime>
#include <QTimer>

CamFetcher::CamFetcher(QObject* parent) : QObject(parent) {
    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    m_socket = new CamSocket(this);
    connect(m_timer, &QTimer::timeout, this, &CamFetcher::timRefresh_Timer);
    connect(m_socket, &CamSocket::Connected, this, &CamFetcher::wsCam_Connect);
    connect(m_socket, &CamSocket::DataArrival, this, &CamFetcher::wsCam_DataArrival);
    connect(m_socket, &CamSocket::CloseEvent, this, &CamFetcher::wsCam_Close);
}

CamFetcher::~CamFetcher() = default;

void CamFetcher::setRecord(const QByteArray& name, const QByteArray& address,
                           const QByteArray& refresh) {
    m_name = name;
    m_address = address;
    m_refreshText = refresh;
}

CamDetails CamFetcher::details() const {
    return {QString::fromLocal8Bit(m_name), QString::fromLocal8Bit(m_refreshText),
            QString::fromLocal8Bit(m_lastChanged), m_lastRefreshed};
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
    m_elapsedSecs = 0;
    m_timer->start(); // also restarts the one-second period of a running timer
    m_socket->Close();

    const std::optional<CamAddress> address = SplitCamAddress(m_address.toStdString());
    if (!address)
        return; // no "/" after the host, or a host that cannot be right: tried again at expiry
    m_host = address->camHost;
    m_path = address->camPath;
    m_response.reset();
    m_socket->Close();
    m_socket->Connect(localText(address->connectTo), address->port);
}

void CamFetcher::timRefresh_Timer() {
    ++m_elapsedSecs;
    emit ticked();
    if (m_elapsedSecs >= m_refreshSecs) {
        m_timer->stop();
        cmdStart_Click();
    }
}

void CamFetcher::stop() {
    m_socket->Close();
    m_timer->stop();
}

void CamFetcher::wsCam_Connect() {
    m_path = EscapeRequestPath(m_path);
    const std::string request = BuildRequest(m_path, m_host);
    m_socket->SendData(QByteArray(request.data(), qsizetype(request.size())));
}

void CamFetcher::wsCam_DataArrival(qint64) {
    const std::string fileName = RequestFileName(m_path);
    const QByteArray bytes = m_socket->GetData();
    const DataOutcome outcome =
        ReceiveResponseData(m_response, std::string_view(bytes.constData(), size_t(bytes.size())));
    if (outcome.abort) {
        // Over the bounds: give up this fetch, keep the picture, try again at the next expiry.
        m_socket->Close();
        m_response.reset();
        emit problem(
            QString("%1: the server's answer is too large").arg(QString::fromLocal8Bit(m_name)));
        return;
    }
    if (outcome.percent)
        emit progressed(*outcome.percent, localText(fileName));
}

void CamFetcher::wsCam_Close() {
    const CompletedResponse split = SplitResponse(m_response.responseBuffer);
    const std::string headers(split.headers);
    m_response.responseBuffer = std::string(split.body); // from here on the buffer holds the body
    if (!IsImageResponse(headers)) {
        emit notAPicture();
        return;
    }
    noteLastModified(headers);
    FetchedPicture picture;
    picture.body =
        QByteArray(m_response.responseBuffer.data(), qsizetype(m_response.responseBuffer.size()));
    picture.announcedLength = ContentLengthOf(headers);
    picture.pictureChanged = m_pictureChanged;
    picture.details = details();
    emit pictureArrived(picture);
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
