#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

class QTcpSocket;

// A TCP client with exactly the behaviour the fetch code relies on:
// - Close() drops the connection in any state and no event of it follows;
// - Connect() returns at once; Connected() is raised when the connection is up;
// - DataArrival(bytesTotal) is raised whenever received bytes wait, GetData() takes them;
// - CloseEvent() is raised only when the server closes, after every DataArrival;
// - errors (no such host, refused, reset) raise none of the three.
class CamSocket : public QObject {
    Q_OBJECT
  public:
    explicit CamSocket(QObject* parent = nullptr);
    ~CamSocket() override;

    void Close();
    void Connect(const QString& host, quint16 port);
    // Queues the bytes for sending; false when there is no connection to send them on.
    bool SendData(const QByteArray& bytes);
    // Every byte received and not yet taken.
    QByteArray GetData();
    // 0 when closed; anything else means not closed.
    int State() const;

  signals:
    void Connected();
    void DataArrival(qint64 bytesTotal);
    void CloseEvent();

  private:
    void readAvailable();
    void remoteClosed();

    QPointer<QTcpSocket> socket;
    QByteArray received;
    bool closeRaised = false;
};
