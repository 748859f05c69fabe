#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class CamSocket;

// The "Current Time:" of the viewer's details: asked of a public time server over the daytime
// protocol whenever a panel is selected and on each tick of the selected panel. Only a whole,
// readable answer is reported.
class NetworkClock : public QObject {
    Q_OBJECT
  public:
    explicit NetworkClock(QObject* parent = nullptr);

    void RequestNetworkTime();
    void setTimeServer(const QString& host, quint16 port);

  signals:
    // The server's date and time in the general date format, followed by " GMT".
    void timeText(const QString& text);

  private:
    void readTimeAnswer(qint64 bytesTotal);
    void timeServerClosed();

    CamSocket* m_socket = nullptr; // objWinsock
    QString m_host = "time.nist.gov";
    quint16 m_port = 13;
    QElapsedTimer m_lastRequest;
};
