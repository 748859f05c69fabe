#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <functional>
#include <memory>

struct TestIdentity;

// A web server on 127.0.0.1 that answers every connection from a script: exact bytes, in
// chosen batches, after chosen delays; it then closes, or never does. It records the exact
// request bytes of each connection.
class ScriptedServer : public QObject {
    Q_OBJECT
  public:
    struct Step {
        QByteArray bytes;
        int delayMs = 0; // before these bytes are sent
    };
    struct Script {
        QList<Step> steps;
        bool closeAfter = true;     // close once every step is sent
        bool waitForRequest = true; // answer only after the request's blank line
        bool endless = false;       // after the steps, send the last step's bytes forever
    };

    explicit ScriptedServer(QObject* parent = nullptr);
    // The same over TLS, presenting `identity`'s certificate.
    explicit ScriptedServer(const TestIdentity& identity, QObject* parent = nullptr);
    ~ScriptedServer() override;
    // Presents another certificate from the next connection on.
    void setIdentity(const TestIdentity& identity);

    // The whole answer at once, or cut into batches of `batchSize` bytes `delayMs` apart.
    static Script answer(const QByteArray& bytes, int batchSize = 0, int delayMs = 0);
    static QByteArray okResponse(const QByteArray& body, const QByteArray& type = "image/jpeg",
                                 const QByteArray& extraHeaders = {});

    void setScript(const Script& script) { script_ = script; }
    // Chooses each connection's script from its request instead (when the request is whole).
    void setRoute(std::function<Script(const QByteArray& request)> route) {
        route_ = std::move(route);
    }
    Script& current() { return script_; }
    // The server goes away (connections are refused) and comes back on the same port.
    void goAway();
    bool comeBack();
    quint16 port() const { return m_server->serverPort(); }
    QString address(const QString& path) const; // "127.0.0.1:<port><path>"

    QList<QByteArray> requests;
    int connections = 0;
    int scriptsPlayed = 0; // connections whose every step was sent

  signals:
    void requestReceived();
    // Every step of a connection's script was sent (an endless one goes on repeating).
    void allSent();

  private:
    void accept();

    void listen();
    void readRequest(QTcpSocket* socket, qsizetype index, QObject* player);

    std::unique_ptr<QTcpServer> m_server;
    quint16 m_port = 0;
    std::function<Script(const QByteArray&)> route_;
    Script script_;
};
