#include "net/networkclock.h"

#include "common/datetimetext.h"
#include "net/camsocket.h"
#include "net/daytime.h"

#include <QDateTime>

namespace {
// Time servers refuse clients that ask more often than this.
constexpr qint64 minimumQueryGapMs = 4000;
} // namespace

NetworkClock::NetworkClock(QObject* parent) : QObject(parent) {
    m_socket = new CamSocket(this);
    m_socket->setObjectName("objWinsock");
    connect(m_socket, &CamSocket::DataArrival, this, &NetworkClock::readTimeAnswer);
    connect(m_socket, &CamSocket::CloseEvent, this, &NetworkClock::timeServerClosed);
}

void NetworkClock::RequestNetworkTime() {
    if (m_lastRequest.isValid() && m_lastRequest.elapsed() < minimumQueryGapMs)
        return;
    m_lastRequest.start();
    if (m_socket->State() != 0)
        m_socket->Close();
    m_socket->Connect(m_host, m_port); // the server answers and closes
}

void NetworkClock::setTimeServer(const QString& host, quint16 port) {
    m_host = host;
    m_port = port;
}

void NetworkClock::readTimeAnswer(qint64) {
    const QByteArray text = m_socket->GetData();
    const std::optional<DaytimeAnswer> answer =
        ParseDaytimeAnswer(std::string_view(text.constData(), size_t(text.size())));
    if (!answer)
        return;
    const QDateTime moment(QDate(answer->year, answer->month, answer->day),
                           QTime(answer->hour, answer->minute, answer->second));
    emit timeText(generalDateText(moment) + " GMT");
}

void NetworkClock::timeServerClosed() {
    if (m_socket->State() != 0)
        m_socket->Close();
}
