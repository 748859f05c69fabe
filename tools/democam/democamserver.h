#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QTcpServer>

// Serves generated webcam pictures on 127.0.0.1, one answer per connection:
//   /<name>.jpg             a 640x480 JPEG of the cam <name>
//   /<name>-<W>x<H>.jpg     the same at W x H (up to 3840 x 2160)
//   /<name>.gif, /<name>-<W>x<H>.gif   as GIF
//   /files/<file>           a file of the folder given with setFileFolder, as it is
//   anything else           "404 Not Found" as text/html
// Each cam's picture, and its Last-Modified and ETag, change every few seconds (3 to 7, by
// name), or every N seconds with "?every=N"; "?every=0" gives other bytes at every request
// (from a few frames made once, so serving stays cheap). A request whose If-None-Match or
// If-Modified-Since matches the current picture is answered "304 Not Modified".
class DemoCamServer : public QObject {
    Q_OBJECT
  public:
    explicit DemoCamServer(QObject* parent = nullptr);
    bool listen(quint16 port);
    void setFileFolder(const QString& folder) { fileFolder = folder; }
    quint16 port() const { return server.serverPort(); }

    // The answer to a request at a moment, headers and body.
    QByteArray answer(const QByteArray& path, const QDateTime& now, const QByteArray& request = {});

  private:
    struct Picture {
        qint64 period = -1;
        QByteArray bytes;
        QByteArray tag; // the ETag
        QDateTime changed;
    };
    QByteArray drawFrame(const QString& name, int width, int height, bool gif,
                         const QString& caption);
    void accept();

    QByteArray fileAnswer(const QString& name) const;

    QTcpServer server;
    QString fileFolder;
    QHash<QByteArray, QImage> scenes;            // a cam's landscape at a size, drawn once
    QHash<QByteArray, Picture> pictures;         // its current picture
    QHash<QByteArray, QList<QByteArray>> frames; // "?every=0": frames served in turn
    QHash<QByteArray, qint64> served;
};
