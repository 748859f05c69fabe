#include "democamserver.h"

#include <zlib.h>

#include "gifwriter.h"
#include "photolike.h"
#include "streamsession.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QUrlQuery>

namespace {

constexpr qsizetype maxRequestBytes = 16 * 1024;

QByteArray httpDate(const QDateTime& moment) {
    return QLocale::c()
        .toString(moment.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
        .toLatin1();
}

// The bytes in gzip's format, as a web server compressing on the way sends them.
QByteArray gzipped(const QByteArray& bytes) {
    z_stream stream{};
    if (deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

QByteArray notFound() {
    const QByteArray body = "<html><head><title>404 Not Found</title></head><body><h1>Not "
                            "Found</h1><p>No such cam here.</p></body></html>";
    return "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

DemoCamServer::DemoCamServer(QObject* parent) : QObject(parent) {
    connect(&server, &QTcpServer::newConnection, this, &DemoCamServer::accept);
}

bool DemoCamServer::listen(quint16 port) {
    return server.listen(QHostAddress::LocalHost, port);
}

QByteArray DemoCamServer::drawFrame(const QString& name, int width, int height, bool gif,
                                    const QString& caption, const Happening& happening) {
    const QByteArray sceneKey =
        name.toLatin1() + QByteArray::number(width) + "x" + QByteArray::number(height);
    if (!scenes.contains(sceneKey))
        scenes.insert(sceneKey, makePhotoLikePicture(width, height, unsigned(qHash(name))));
    QImage frame = scenes.value(sceneKey);
    if (happening.lightsOn) { // the whole picture brighter, as when a lamp is switched on
        frame = frame.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(frame.scanLine(y));
            for (int x = 0; x < width; ++x)
                row[x] = qRgb(std::min(255, qRed(row[x]) * 3 / 2 + 20),
                              std::min(255, qGreen(row[x]) * 3 / 2 + 20),
                              std::min(255, qBlue(row[x]) * 3 / 2 + 20));
        }
    }
    QPainter painter(&frame);
    if (happening.walkerAt >= 0) { // a figure walking across, a head and a coat
        const int unit = height / 12, x = int(happening.walkerAt * (width - 2 * unit));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(50, 35, 30));
        painter.drawEllipse(x + unit / 4, height / 2 - unit, unit * 3 / 4, unit * 3 / 4);
        painter.fillRect(x, height / 2 - unit / 4, unit + unit / 4, unit * 3, QColor(140, 40, 40));
    }
    QFont font("DejaVu Sans", std::max(8, height / 24), QFont::Bold);
    painter.setFont(font);
    const QRect band(0, height - height / 8, width, height / 8);
    painter.fillRect(band, QColor(0, 0, 0, 140));
    painter.setPen(Qt::white);
    painter.drawText(band.adjusted(height / 40, 0, -height / 40, 0),
                     Qt::AlignVCenter | Qt::AlignLeft, name);
    painter.drawText(band.adjusted(height / 40, 0, -height / 40, 0),
                     Qt::AlignVCenter | Qt::AlignRight, caption);
    painter.end();
    if (gif)
        return EncodeGif(frame);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    frame.save(&buffer, "JPEG", 85);
    return bytes;
}

QByteArray DemoCamServer::fileAnswer(const QString& name) const {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]*$"));
    QFile file(fileFolder + "/" + name);
    if (fileFolder.isEmpty() || !plain.match(name).hasMatch() || file.size() > 64 * 1024 * 1024 ||
        !file.open(QIODevice::ReadOnly))
        return notFound();
    const QByteArray bytes = file.readAll();
    const QByteArray type = name.endsWith(".gif")    ? "image/gif"
                            : name.endsWith(".png")  ? "image/png"
                            : name.endsWith(".m3u8") ? "application/vnd.apple.mpegurl"
                            : name.endsWith(".ts")   ? "video/mp2t"
                                                     : "image/jpeg";
    return "HTTP/1.1 200 OK\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(bytes.size()) +
           "\r\nConnection: close\r\n\r\n" + bytes;
}

QByteArray DemoCamServer::answer(const QByteArray& target, const QDateTime& now,
                                 const QByteArray& request) {
    if (target.startsWith("/files/"))
        return fileAnswer(QString::fromLatin1(target.mid(7)));
    const std::optional<Asked> asked = askedFor(target);
    if (!asked || asked->stream)
        return notFound();
    const QString& name = asked->name;
    const int width = asked->width, height = asked->height;
    const bool gif = asked->gif;
    // each cam changes on its own beat, or on the one asked for
    const bool everyRequest = asked->every == 0;
    const int beat = asked->every < 0 ? 3 + int(qHash(name) % 5) : asked->every;

    const QByteArray key = target;
    Picture& current = pictures[key];
    if (everyRequest) {
        const QList<QByteArray>& ring = frameRing(width, height, gif);
        const qint64 count = served[key]++;
        current.bytes = ring[int(count % ring.size())];
        current.gzipped.clear();
        current.changed = now;
        current.tag = "\"" + QByteArray::number(count) + "\"";
    } else {
        const qint64 period = now.toSecsSinceEpoch() / beat;
        if (current.period != period) {
            current.changed = QDateTime::fromSecsSinceEpoch(period * beat);
            // a walker crosses in the first 15 seconds of each minute; the lights go on and
            // off every 20 seconds
            const int second = int(current.changed.toSecsSinceEpoch() % 60);
            Happening happening;
            if (asked->walker && second < 15)
                happening.walkerAt = second / 14.0;
            happening.lightsOn = asked->lights && (second / 20) % 2 == 1;
            current.bytes =
                drawFrame(name, width, height, gif,
                          current.changed.toLocalTime().toString("yyyy-MM-dd hh:mm:ss"), happening);
            current.tag = "\"" + QByteArray::number(period, 16) + "\"";
            current.period = period;
            current.gzipped.clear();
        }
    }
    const QByteArray lastModified = httpDate(current.changed);
    auto field = [&request](const QByteArray& name) {
        for (const QByteArray& line : request.split('\n'))
            if (line.toLower().startsWith(name.toLower() + ":"))
                return line.mid(name.size() + 1).trimmed();
        return QByteArray();
    };
    if (!everyRequest && !asked->cgi &&
        (field("If-None-Match") == current.tag || field("If-Modified-Since") == lastModified))
        return "HTTP/1.1 304 Not Modified\r\nETag: " + current.tag +
               "\r\nConnection: close\r\n\r\n";
    // a CGI snapshot tells nothing of when its picture changed
    const QByteArray validators =
        asked->cgi ? QByteArray()
                   : "Last-Modified: " + lastModified + "\r\nETag: " + current.tag + "\r\n";
    if (asked->gzip && current.gzipped.isEmpty())
        current.gzipped = gzipped(current.bytes);
    const QByteArray& body = asked->gzip ? current.gzipped : current.bytes;
    const QByteArray coding = asked->gzip ? "Content-Encoding: gzip\r\n" : "";
    return "HTTP/1.1 200 OK\r\nContent-Type: " + QByteArray(gif ? "image/gif" : "image/jpeg") +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + coding +
           validators + "Connection: close\r\n\r\n" + body;
}

std::optional<DemoCamServer::Asked> DemoCamServer::askedFor(const QByteArray& target) {
    static const QRegularExpression pattern(
        QStringLiteral("^/([A-Za-z0-9_]+)(?:-(\\d{2,4})x(\\d{2,4}))?\\.(jpg|gif|mjpg)"
                       "(?:\\?([A-Za-z0-9=&,]*))?$"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(target));
    if (!match.hasMatch() || match.captured(1) == "missing")
        return std::nullopt;
    Asked asked;
    asked.name = match.captured(1);
    asked.width = match.captured(2).isEmpty() ? 640 : match.captured(2).toInt();
    asked.height = match.captured(3).isEmpty() ? 480 : match.captured(3).toInt();
    if (asked.width < 16 || asked.height < 16 || asked.width > 3840 || asked.height > 2160)
        return std::nullopt;
    asked.gif = match.captured(4) == "gif";
    asked.stream = match.captured(4) == "mjpg";
    const QUrlQuery query(match.captured(5));
    if (query.hasQueryItem("every"))
        asked.every = std::clamp(query.queryItemValue("every").toInt(), 0, 9999);
    asked.cgi = query.hasQueryItem("cgi");
    asked.gzip = query.hasQueryItem("gzip");
    asked.walker = query.hasQueryItem("walker");
    asked.lights = query.hasQueryItem("lights");
    if (query.hasQueryItem("fps"))
        asked.style.perSecond = query.queryItemValue("fps").toInt();
    asked.style.parts = query.queryItemValue("parts").toInt();
    const QStringList quirks = query.queryItemValue("quirks").split(',');
    asked.style.noFirstBoundary = quirks.contains("noboundary");
    asked.style.declaredWithDashes = quirks.contains("dashes");
    asked.style.noLength = quirks.contains("nolength");
    asked.style.extraHeaders = quirks.contains("extra");
    asked.style.chunked = quirks.contains("chunked");
    return asked;
}

const QList<QByteArray>& DemoCamServer::frameRing(int width, int height, bool gif) {
    // one ring of frames for each size, shared by the cams that ask for it (drawing a large
    // frame takes a while)
    QList<QByteArray>& ring =
        frames[QString("%1x%2%3").arg(width).arg(height).arg(gif ? "g" : "j").toLatin1()];
    if (ring.isEmpty())
        for (int frame = 0; frame < 4; ++frame)
            ring << drawFrame("democam", width, height, gif, QString("frame %1").arg(frame + 1),
                              Happening());
    return ring;
}

void DemoCamServer::accept() {
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto* request = new QByteArray;
        connect(socket, &QObject::destroyed, socket, [request] { delete request; });
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
            request->append(socket->readAll());
            if (request->size() > maxRequestBytes) {
                socket->abort();
                return;
            }
            if (!request->contains("\r\n\r\n"))
                return;
            const QList<QByteArray> words = request->left(request->indexOf("\r\n")).split(' ');
            const QByteArray path =
                words.size() >= 2 && words[0] == "GET" ? words[1] : QByteArray();
            disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
            if (const std::optional<Asked> asked = askedFor(path); asked && asked->stream) {
                new StreamSession(socket, frameRing(asked->width, asked->height, false),
                                  asked->style);
                return;
            }
            socket->write(answer(path, QDateTime::currentDateTime(), *request));
            socket->disconnectFromHost(); // after the answer is sent
        });
    }
}
