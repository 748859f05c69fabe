#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QString>
#include <memory>

class QNetworkProxy;
class QSslSocket;
class QTcpSocket;
class QSslError;

// Why a connection failed, by kind: the fetch code counts connection failures apart from the
// others (three in a row make a cam "offline").
enum class SocketFailure { HostNotFound, Refused, Network, Tls, Certificate, ProxyRefused };

// What is known of a server's certificate that failed verification.
struct CertificateTrouble {
    QString reason;             // "expired", "self-signed", "untrusted", "wrong host name", ...
    QByteArray fingerprint;     // SHA-256 of the certificate, hex
    QString subject;            // the names it was issued to
    bool pinnedDiffers = false; // a trusted certificate was pinned and this is another one
};

// A fingerprint as openssl and certificate viewers show it: "AB:CD:..." in upper case, in
// lines of 16 pairs (one of 32 bytes takes two).
QString ReadableFingerprint(const QByteArray& fingerprint);

// A TCP client with exactly the behaviour the fetch code relies on:
// - Close() drops the connection in any state and no event of it follows;
// - Connect() returns at once; Connected() is raised when the connection is up (for TLS, once
//   the handshake is done and the certificate verified);
// - DataArrival(bytesTotal) is raised whenever received bytes wait, GetData() takes them;
// - CloseEvent() is raised only when the server closes, after every DataArrival;
// - errors (no such host, refused, reset, certificate) raise none of the three, only Failed().
class CamSocket : public QObject {
    Q_OBJECT
  public:
    explicit CamSocket(QObject* parent = nullptr);
    ~CamSocket() override;

    void Close();
    // The proxy the next connections go through (none by default): a tunnel (CONNECT, SOCKS5)
    // to the host asked for.
    void setProxy(const QNetworkProxy& proxy);
    // TLS connections go through a tunnel the socket opens itself at an HTTP proxy, with the
    // proxy's login (an Authorization value, or none) sent with the first CONNECT: the toolkit's
    // own tunnel sends it only after the proxy refused one without it, and keeps however much
    // the proxy answers. Empty `proxyHost`: none.
    void setTunnel(const QString& proxyHost, quint16 proxyPort,
                   const QByteArray& proxyAuthorization);
    // A plain TCP connection.
    void Connect(const QString& host, quint16 port);
    // A TLS connection to `host` (sent as the server name, and verified against the system's
    // trusted certificates). A certificate whose SHA-256 equals `pinnedFingerprint` (hex) is
    // accepted even when it does not verify.
    void ConnectEncrypted(const QString& host, quint16 port, const QByteArray& pinnedFingerprint);
    // Queues the bytes for sending; false when there is no connection to send them on.
    bool SendData(const QByteArray& bytes);
    // Every byte received and not yet taken.
    QByteArray GetData();
    // 0 when closed; anything else means not closed.
    int State() const;
    bool isEncrypted() const { return m_encrypted; }
    // The last TLS connection's certificate did not verify, but is the one the user trusts.
    bool acceptedByPin() const { return m_acceptedByPin; }
    // The certificate trouble of the last failed TLS connection.
    const CertificateTrouble& certificateTrouble() const { return m_trouble; }

    static QByteArray fingerprintOf(const QSslCertificate& certificate);
    // A certificate's problems in a few words ("expired", "self-signed", ...).
    static QString describe(const QList<QSslError>& errors);

  signals:
    void Connected();
    void DataArrival(qint64 bytesTotal);
    void CloseEvent();
    // The connection could not be made or broke: the socket is closed, no other event follows.
    void Failed(const QString& reason, SocketFailure kind);

  private:
    void begin(const QString& host, quint16 port, bool secure);
    // Connects to the host's next address, or to its name when it has no addresses here.
    void connectNext();
    void open(QTcpSocket* socket);
    void dropSocket();

    void readAvailable();
    // The socket's own tunnel: the CONNECT, then the proxy's answer, then the TLS handshake.
    void askTunnel(QSslSocket* socket);
    void tunnelAnswered();
    void watchHandshake(QSslSocket* socket);
    void remoteClosed();
    void fail(const QString& reason, SocketFailure kind);
    static QString handshakeClosed();

    QPointer<QTcpSocket> m_socket;
    QByteArray m_received;
    QByteArray m_pinned;
    CertificateTrouble m_trouble;
    bool m_closeRaised = false;
    bool m_encrypted = false;
    bool m_acceptedByPin = false;
    bool m_connected = false; // the connection was made (for TLS: before its handshake)
    QString m_host;
    quint16 m_port = 0;
    bool m_secure = false;
    QList<QHostAddress> m_nextAddresses; // to try after the one being tried
    std::unique_ptr<QNetworkProxy> m_proxy;
    QString m_tunnelHost;
    quint16 m_tunnelPort = 0;
    QByteArray m_tunnelLogin;
    bool m_tunnelling = false; // the proxy's answer to the CONNECT is awaited
    QByteArray m_tunnelAnswer;
};
