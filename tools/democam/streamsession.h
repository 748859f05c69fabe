#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

class QTcpSocket;
class QTimer;

// How a stream is sent, with the quirks real cams have.
struct StreamStyle {
    int perSecond = 10;
    bool noFirstBoundary = false;    // the first part starts without a boundary line
    bool declaredWithDashes = false; // the header's boundary starts with "--"
    bool noLength = false;           // parts without Content-Length
    bool extraHeaders = false;       // parts with headers besides the type
    bool chunked = false;            // the stream inside chunked framing
    int parts = 0;                   // the stream ends after so many parts (0: never)
};

// One client's MJPEG stream ("multipart/x-mixed-replace"): the frames in turn, at the pace
// asked for. A client that cannot keep up misses frames, as with a real cam.
class StreamSession : public QObject {
    Q_OBJECT
  public:
    StreamSession(QTcpSocket* socket, QList<QByteArray> frames, StreamStyle style);

  private:
    void sendNext();
    void send(const QByteArray& bytes);

    QTcpSocket* m_socket;
    QList<QByteArray> m_frames;
    StreamStyle m_style;
    QTimer* m_timer;
    int m_sent = 0;
};
