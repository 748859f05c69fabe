#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QTcpServer>
#include <optional>

#include "streamsession.h"

// Serves generated webcam pictures on 127.0.0.1, one answer per connection:
//   /<name>.jpg             a 640x480 JPEG of the cam <name>
//   /<name>-<W>x<H>.jpg     the same at W x H (up to 3840 x 2160)
//   /<name>.gif, /<name>-<W>x<H>.gif   as GIF
//   /<name>[-<W>x<H>].mjpg  an MJPEG stream ("multipart/x-mixed-replace") of its frames, with
//                           "?fps=N" pictures a second (10), "&parts=N" to end after N, and
//                           "&quirks=" any of noboundary, dashes, nolength, extra, chunked
//   /files/<file>           a file of the folder given with setFileFolder, as it is
//   anything else           "404 Not Found" as text/html
// Each cam's picture, and its Last-Modified and ETag, change every few seconds (3 to 7, by
// name), or every N seconds with "?every=N"; "?every=0" gives other bytes at every request
// (from a few frames made once, so serving stays cheap). A request whose If-None-Match or
// If-Modified-Since matches the current picture is answered "304 Not Modified". "?cgi" sends
// neither Last-Modified nor ETag, as CGI snapshots do. "?walker" sends a figure across the
// picture in the first 15 seconds of each minute; "?lights" makes the whole picture brighter
// every other 20 seconds (for the motion test: one is motion, the other is not).
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
    struct Asked {
        QString name;
        int width = 640, height = 480;
        bool gif = false, stream = false, cgi = false;
        bool gzip = false; // sent with Content-Encoding: gzip
        bool walker = false, lights = false;
        int every = -1; // seconds between changes; -1: the cam's own beat
        StreamStyle style;
    };
    static std::optional<Asked> askedFor(const QByteArray& target);
    const QList<QByteArray>& frameRing(int width, int height, bool gif);

    struct Picture {
        qint64 period = -1;
        QByteArray bytes;
        QByteArray gzipped; // the same, gzip-coded, made when first asked for
        QByteArray tag; // the ETag
        QDateTime changed;
    };
    // What happens in the scene of a frame.
    struct Happening {
        double walkerAt = -1; // a figure this far across (0 to 1); none when negative
        bool lightsOn = false;
    };
    QByteArray drawFrame(const QString& name, int width, int height, bool gif,
                         const QString& caption, const Happening& happening);
    void accept();

    QByteArray fileAnswer(const QString& name) const;

    QTcpServer server;
    QString fileFolder;
    QHash<QByteArray, QImage> scenes;            // a cam's landscape at a size, drawn once
    QHash<QByteArray, Picture> pictures;         // its current picture
    QHash<QByteArray, QList<QByteArray>> frames; // "?every=0": frames served in turn
    QHash<QByteArray, qint64> served;
};
