// A TLS connection through an HTTP proxy, tunnelled by the socket itself so that the proxy's
// login goes with the first CONNECT (a proxy that wants one answers no 407 first, every time),
// and what the proxy says before the tunnel opens is bounded.
#include "net/camsocket.h"

#include <QSslSocket>

namespace {

// How much a proxy may say before its tunnel opens.
constexpr qsizetype maxTunnelAnswerBytes = 16 * 1024;

} // namespace

void CamSocket::setTunnel(const QString& proxyHost, quint16 proxyPort,
                          const QByteArray& proxyAuthorization) {
    m_tunnelHost = proxyHost;
    m_tunnelPort = proxyPort;
    m_tunnelLogin = proxyAuthorization;
}

void CamSocket::askTunnel(QSslSocket* socket) {
    m_tunnelling = true;
    m_tunnelAnswer.clear();
    connect(socket, &QSslSocket::connected, this, [this, socket] {
        m_connected = true;
        const QByteArray host = m_host.contains(':') ? "[" + m_host.toUtf8() + "]" // IPv6
                                                     : m_host.toUtf8();
        const QByteArray target = host + ":" + QByteArray::number(m_port);
        QByteArray request = "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n";
        if (!m_tunnelLogin.isEmpty())
            request += "Proxy-Authorization: " + m_tunnelLogin + "\r\n";
        socket->write(request + "\r\n");
    });
    socket->connectToHost(m_tunnelHost, m_tunnelPort);
}

void CamSocket::tunnelAnswered() {
    auto* socket = qobject_cast<QSslSocket*>(m_socket.data());
    m_tunnelAnswer += m_socket->readAll();
    const qsizetype end = m_tunnelAnswer.indexOf("\r\n\r\n");
    if (end < 0) {
        if (m_tunnelAnswer.size() > maxTunnelAnswerBytes)
            fail(tr("the proxy's answer is too long"), SocketFailure::Network);
        return;
    }
    // "HTTP/1.1 200 Connection established"
    const QList<QByteArray> words = m_tunnelAnswer.left(m_tunnelAnswer.indexOf("\r\n")).split(' ');
    const int status = words.value(1).toInt();
    if (status == 407) {
        fail(tr("the proxy refused its user name or password"), SocketFailure::ProxyRefused);
        return;
    }
    if (status < 200 || status > 299 || end + 4 != m_tunnelAnswer.size() || !socket) {
        fail(tr("the proxy did not open a tunnel to the cam (%1)")
                 .arg(QString::fromLatin1(m_tunnelAnswer.left(m_tunnelAnswer.indexOf("\r\n")))
                          .left(80)),
             SocketFailure::Network);
        return;
    }
    m_tunnelling = false;
    m_tunnelAnswer.clear();
    socket->startClientEncryption();
}
