#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

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

    // The whole answer at once, or cut into batches of `batchSize` bytes `delayMs` apart.
    static Script answer(const QByteArray& bytes, int batchSize = 0, int delayMs = 0);
    static QByteArray okResponse(const QByteArray& body, const QByteArray& type = "image/jpeg",
                                 const QByteArray& extraHeaders = {});

    void setScript(const Script& script) { script_ = script; }
    Script& current() { return script_; }
    quint16 port() const { return server.serverPort(); }
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

    QTcpServer server;
    Script script_;
};
