#include "streamsession.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

const QByteArray boundary = "democamframe";
// frames are skipped while this much is still waiting to go out
constexpr qint64 backlogBytes = 4 * 1024 * 1024;

} // namespace

StreamSession::StreamSession(QTcpSocket* socket, QList<QByteArray> frames, StreamStyle style)
    : QObject(socket), m_socket(socket), m_frames(std::move(frames)), m_style(style),
      m_timer(new QTimer(this)) {
    QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=" +
                      (style.declaredWithDashes ? "--" + boundary : boundary) +
                      "\r\nCache-Control: no-cache\r\nConnection: close\r\n";
    head += style.chunked ? "Transfer-Encoding: chunked\r\n\r\n" : "\r\n";
    m_socket->write(head);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(1000 / std::clamp(style.perSecond, 1, 100));
    connect(m_timer, &QTimer::timeout, this, &StreamSession::sendNext);
    m_timer->start();
    sendNext();
}

void StreamSession::send(const QByteArray& bytes) {
    if (!m_style.chunked) {
        m_socket->write(bytes);
        return;
    }
    m_socket->write(QByteArray::number(bytes.size(), 16) + "\r\n");
    m_socket->write(bytes);
    m_socket->write("\r\n");
}

void StreamSession::sendNext() {
    if (m_style.parts > 0 && m_sent >= m_style.parts) {
        m_timer->stop();
        send("\r\n--" + boundary + "--\r\n");
        if (m_style.chunked)
            m_socket->write("0\r\n\r\n");
        m_socket->disconnectFromHost();
        return;
    }
    if (m_socket->bytesToWrite() > backlogBytes)
        return;
    const QByteArray& frame = m_frames[m_sent % m_frames.size()];
    QByteArray part;
    if (m_sent > 0 || !m_style.noFirstBoundary)
        part += "--" + boundary + "\r\n";
    part += "Content-Type: image/jpeg\r\n";
    if (!m_style.noLength)
        part += "Content-Length: " + QByteArray::number(frame.size()) + "\r\n";
    if (m_style.extraHeaders)
        part += "X-Timestamp: " + QByteArray::number(m_sent) +
                ".000\r\nX-Frame: " + QByteArray::number(m_sent) + "\r\n";
    part += "\r\n";
    send(part);
    send(frame);
    send("\r\n");
    ++m_sent;
}
