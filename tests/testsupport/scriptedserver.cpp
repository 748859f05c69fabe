#include "scriptedserver.h"

#include "certificates.h"

#include <QPointer>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>

ScriptedServer::ScriptedServer(QObject* parent)
    : QObject(parent), m_server(std::make_unique<QTcpServer>()) {
    listen();
}

ScriptedServer::ScriptedServer(const TestIdentity& identity, QObject* parent)
    : QObject(parent), m_server(std::make_unique<QSslServer>()) {
    setIdentity(identity);
    listen();
}

ScriptedServer::~ScriptedServer() = default;

void ScriptedServer::setIdentity(const TestIdentity& identity) {
    auto* tls = qobject_cast<QSslServer*>(m_server.get());
    if (!tls)
        return;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(identity.certificate);
    configuration.setPrivateKey(identity.key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    tls->setSslConfiguration(configuration);
}

void ScriptedServer::goAway() {
    m_port = port();
    m_server->close();
}

bool ScriptedServer::comeBack() {
    return m_server->listen(QHostAddress::LocalHost, m_port);
}

void ScriptedServer::listen() {
    m_server->listen(QHostAddress::LocalHost, 0);
    // a TLS server hands a connection over once its handshake is done
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &ScriptedServer::accept);
}

ScriptedServer::Script ScriptedServer::answer(const QByteArray& bytes, int batchSize, int delayMs) {
    Script script;
    if (batchSize <= 0) {
        script.steps.append({bytes, delayMs});
        return script;
    }
    for (qsizetype at = 0; at < bytes.size(); at += batchSize)
        script.steps.append({bytes.mid(at, batchSize), at == 0 ? 0 : delayMs});
    return script;
}

QByteArray ScriptedServer::okResponse(const QByteArray& body, const QByteArray& type,
                                      const QByteArray& extraHeaders) {
    return "HTTP/1.1 200 OK\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + extraHeaders +
           "\r\n" + body;
}

QString ScriptedServer::address(const QString& path) const {
    return QString("127.0.0.1:%1%2").arg(port()).arg(path);
}

namespace {

// Plays a script on one connection.
class Player : public QObject {
  public:
    Player(QTcpSocket* socket, ScriptedServer::Script script, std::function<void()> played)
        : QObject(socket), socket(socket), script(std::move(script)), played(std::move(played)) {}

    void start() { next(); }
    void setScript(ScriptedServer::Script chosen) { script = std::move(chosen); }

  private:
    void next() {
        if (!socket || socket->state() != QAbstractSocket::ConnectedState)
            return;
        if (step < script.steps.size()) {
            const ScriptedServer::Step& now = script.steps[step++];
            QTimer::singleShot(now.delayMs, this, [this, bytes = now.bytes] {
                if (!socket || socket->state() != QAbstractSocket::ConnectedState)
                    return;
                socket->write(bytes);
                next();
            });
            return;
        }
        if (!reportedPlayed) {
            reportedPlayed = true;
            played();
        }
        if (script.endless && !script.steps.isEmpty()) {
            // keep the send queue short so the server's own memory stays small
            QTimer::singleShot(1, this, [this] {
                if (socket && socket->state() == QAbstractSocket::ConnectedState &&
                    socket->bytesToWrite() < 4 * 1024 * 1024) {
                    // at least 64 KB a round, so small repeated lines pile up quickly too
                    const QByteArray& repeated = script.steps.last().bytes;
                    qsizetype written = 0;
                    do {
                        socket->write(repeated);
                        written += repeated.size();
                    } while (written < 64 * 1024);
                }
                next();
            });
            return;
        }
        if (script.closeAfter)
            socket->disconnectFromHost();
    }

    QPointer<QTcpSocket> socket;
    ScriptedServer::Script script;
    std::function<void()> played;
    qsizetype step = 0;
    bool reportedPlayed = false;
};

} // namespace

void ScriptedServer::accept() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        ++connections;
        const qsizetype index = requests.size();
        requests.append(QByteArray());
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto* player = new Player(socket, script_, [this] {
            ++scriptsPlayed;
            emit allSent();
        });
        if (!script_.waitForRequest)
            player->start();
        connect(socket, &QTcpSocket::readyRead, this,
                [this, socket, index, player] { readRequest(socket, index, player); });
        if (socket->bytesAvailable() > 0) // it came with the handshake
            readRequest(socket, index, player);
    }
}

void ScriptedServer::readRequest(QTcpSocket* socket, qsizetype index, QObject* player) {
    const bool complete = requests[index].contains("\r\n\r\n");
    requests[index].append(socket->readAll());
    if (script_.waitForRequest && !complete && requests[index].contains("\r\n\r\n")) {
        emit requestReceived();
        if (route_)
            static_cast<Player*>(player)->setScript(route_(requests[index]));
        static_cast<Player*>(player)->start();
    }
}
