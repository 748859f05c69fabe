#include "net/camsocket.h"

#include <QCryptographicHash>
#include <QNetworkProxy>
#include <QSslSocket>
#include <QStringList>
#include <QTcpSocket>

CamSocket::CamSocket(QObject* parent) : QObject(parent) {}

QString CamSocket::handshakeClosed() {
    return tr("the TLS handshake failed: the server closed the connection");
}

CamSocket::~CamSocket() {
    Close();
}

void CamSocket::setProxy(const QNetworkProxy& proxy) {
    if (proxy.type() == QNetworkProxy::NoProxy)
        m_proxy.reset();
    else
        m_proxy = std::make_unique<QNetworkProxy>(proxy);
}

void CamSocket::Close() {
    m_nextAddresses.clear();
    dropSocket();
}

void CamSocket::dropSocket() {
    m_received.clear();
    if (!m_socket)
        return;
    // A fresh socket serves every connection, so nothing of an old one can be raised later.
    QTcpSocket* old = m_socket;
    m_socket = nullptr;
    old->disconnect(this);
    old->abort();
    old->deleteLater();
}

void CamSocket::open(QTcpSocket* socket) {
    dropSocket(); // the host's other addresses stay to be tried

    m_closeRaised = false;
    m_encrypted = false;
    m_connected = false;
    m_tunnelling = false;
    m_socket = socket;
    // cams are reached directly or through the proxy the program chose, never one looked up by
    // the toolkit behind its back
    socket->setProxy(m_proxy ? *m_proxy : QNetworkProxy(QNetworkProxy::NoProxy));
    connect(socket, &QTcpSocket::readyRead, this, &CamSocket::readAvailable);
    connect(socket, &QTcpSocket::disconnected, this, &CamSocket::remoteClosed);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        switch (error) {
        case QAbstractSocket::RemoteHostClosedError:
            if (m_encrypted || !qobject_cast<QSslSocket*>(m_socket.data()))
                remoteClosed();
            else
                fail(handshakeClosed(), SocketFailure::Tls);
            break;
        case QAbstractSocket::HostNotFoundError:
            fail(tr("the host name was not found"), SocketFailure::HostNotFound);
            break;
        case QAbstractSocket::ConnectionRefusedError:
            if (!m_nextAddresses.isEmpty())
                connectNext(); // the host's next address
            else
                fail(tr("the connection was refused"), SocketFailure::Refused);
            break;
        case QAbstractSocket::ProxyConnectionRefusedError:
        case QAbstractSocket::ProxyNotFoundError:
            fail(tr("the proxy could not be reached"), SocketFailure::Refused);
            break;
        case QAbstractSocket::ProxyAuthenticationRequiredError:
            fail(tr("the proxy refused the user name and password, or was given none"),
                 SocketFailure::Network);
            break;
        case QAbstractSocket::SslHandshakeFailedError:
        case QAbstractSocket::SslInternalError:
        case QAbstractSocket::SslInvalidUserDataError:
            if (m_trouble.reason.isEmpty())
                fail(tr("the TLS handshake failed: %1").arg(m_socket->errorString()),
                     SocketFailure::Tls);
            break; // a certificate failure was reported already
        default:
            if (!m_connected && !m_nextAddresses.isEmpty())
                connectNext();
            else
                fail(m_socket ? m_socket->errorString().toLower() : tr("a network error"),
                     SocketFailure::Network);
            break;
        }
    });
}

void CamSocket::Connect(const QString& host, quint16 port) {
    m_pinned.clear();
    begin(host, port, false);
}

void CamSocket::ConnectEncrypted(const QString& host, quint16 port,
                                 const QByteArray& pinnedFingerprint) {
    m_pinned = pinnedFingerprint;
    begin(host, port, true);
}

void CamSocket::begin(const QString& host, quint16 port, bool secure) {
    m_host = host;
    m_port = port;
    m_secure = secure;
    m_trouble = {};
    m_acceptedByPin = false;
    m_nextAddresses.clear();
    // "localhost" is the loopback of both families whatever the hosts file says (RFC 6761):
    // a server that listens on only one of them is reached all the same
    const QString name = host.toLower();
    const bool tunnelled = secure && !m_tunnelHost.isEmpty();
    if (!m_proxy && !tunnelled && (name == "localhost" || name.endsWith(".localhost")))
        m_nextAddresses = {QHostAddress(QHostAddress::LocalHostIPv6),
                           QHostAddress(QHostAddress::LocalHost)};
    connectNext();
}

void CamSocket::connectNext() {
    // the name itself, when it has no addresses of its own here: Qt looks it up and tries
    // each of its addresses in turn
    const QString target =
        m_nextAddresses.isEmpty() ? m_host : m_nextAddresses.takeFirst().toString();
    if (!m_secure) {
        auto* socket = new QTcpSocket(this);
        open(socket);
        connect(socket, &QTcpSocket::connected, this, [this] {
            m_connected = true;
            emit Connected();
        });
        socket->connectToHost(target, m_port);
        return;
    }
    auto* socket = new QSslSocket(this);
    open(socket);
    socket->setPeerVerifyName(m_host);
    watchHandshake(socket);
    if (!m_tunnelHost.isEmpty()) {
        askTunnel(socket);
        return;
    }
    connect(socket, &QSslSocket::connected, this, [this] { m_connected = true; });
    socket->connectToHostEncrypted(target, m_port, m_host);
}

void CamSocket::watchHandshake(QSslSocket* socket) {
    connect(socket, &QSslSocket::encrypted, this, [this] {
        m_encrypted = true;
        emit Connected();
    });
    connect(socket, &QSslSocket::sslErrors, this, [this, socket](const QList<QSslError>& errors) {
        const QSslCertificate certificate = socket->peerCertificate();
        const QByteArray fingerprint = fingerprintOf(certificate);
        if (!m_pinned.isEmpty() && !certificate.isNull() && fingerprint == m_pinned) {
            socket->ignoreSslErrors(errors); // the user trusts exactly this certificate
            m_acceptedByPin = true;
            return;
        }
        m_trouble.reason = describe(errors);
        m_trouble.fingerprint = fingerprint;
        m_trouble.subject = certificate.subjectDisplayName();
        m_trouble.pinnedDiffers = !m_pinned.isEmpty();
        fail(m_trouble.pinnedDiffers
                 ? tr("the certificate changed since it was trusted (%1)").arg(m_trouble.reason)
                 : tr("the certificate is not trusted (%1)").arg(m_trouble.reason),
             SocketFailure::Certificate);
    });
}

bool CamSocket::SendData(const QByteArray& bytes) {
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    return m_socket->write(bytes) == bytes.size();
}

QByteArray CamSocket::GetData() {
    QByteArray bytes;
    bytes.swap(m_received);
    return bytes;
}

int CamSocket::State() const {
    return m_socket ? int(m_socket->state()) + 1 : 0;
}

void CamSocket::readAvailable() {
    if (!m_socket)
        return;
    if (m_tunnelling) {
        tunnelAnswered();
        return;
    }
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    m_received.append(bytes);
    emit DataArrival(bytes.size());
}

void CamSocket::remoteClosed() {
    if (!m_socket || m_closeRaised)
        return;
    if (m_tunnelling) {
        fail(tr("the proxy closed the connection instead of opening a tunnel"),
             SocketFailure::Network);
        return;
    }
    if (qobject_cast<QSslSocket*>(m_socket.data()) && !m_encrypted) {
        fail(handshakeClosed(), SocketFailure::Tls);
        return;
    }
    m_closeRaised = true;
    readAvailable(); // every byte is reported before the close
    if (!m_socket)
        return; // a data handler closed us
    Close();
    emit CloseEvent();
}

void CamSocket::fail(const QString& reason, SocketFailure kind) {
    if (!m_socket)
        return;
    Close(); // no event of this connection follows
    emit Failed(reason, kind);
}

QByteArray CamSocket::fingerprintOf(const QSslCertificate& certificate) {
    return certificate.isNull() ? QByteArray()
                                : certificate.digest(QCryptographicHash::Sha256).toHex();
}

QString CamSocket::describe(const QList<QSslError>& errors) {
    QStringList reasons;
    auto add = [&reasons](const QString& reason) {
        if (!reasons.contains(reason))
            reasons << reason;
    };
    for (const QSslError& error : errors) {
        switch (error.error()) {
        case QSslError::CertificateExpired:
            add(tr("expired"));
            break;
        case QSslError::CertificateNotYetValid:
            add(tr("not yet valid"));
            break;
        case QSslError::HostNameMismatch:
            add(tr("wrong host name"));
            break;
        case QSslError::SelfSignedCertificate:
        case QSslError::SelfSignedCertificateInChain:
            add(tr("self-signed"));
            break;
        case QSslError::UnableToGetLocalIssuerCertificate:
        case QSslError::UnableToGetIssuerCertificate:
        case QSslError::UnableToVerifyFirstCertificate:
        case QSslError::CertificateUntrusted:
            add(tr("untrusted"));
            break;
        case QSslError::CertificateRevoked:
            add(tr("revoked"));
            break;
        default:
            add(error.errorString().toLower());
            break;
        }
    }
    return reasons.isEmpty() ? tr("not verified") : reasons.join(", ");
}

QString ReadableFingerprint(const QByteArray& fingerprint) {
    QString text;
    for (qsizetype at = 0; at + 1 < fingerprint.size(); at += 2) {
        if (at > 0)
            text += at % 32 == 0 ? ":\n" : ":";
        text += QString::fromLatin1(fingerprint.mid(at, 2)).toUpper();
    }
    return text;
}
