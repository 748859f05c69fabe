#include "democamserver.h"

#include "gifwriter.h"
#include "photolike.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTcpSocket>

namespace {

constexpr qsizetype maxRequestBytes = 16 * 1024;

QByteArray httpDate(const QDateTime& moment) {
    return QLocale::c()
        .toString(moment.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
        .toLatin1();
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
                                    const QString& caption) {
    const QByteArray sceneKey =
        name.toLatin1() + QByteArray::number(width) + "x" + QByteArray::number(height);
    if (!scenes.contains(sceneKey))
        scenes.insert(sceneKey, makePhotoLikePicture(width, height, unsigned(qHash(name))));
    QImage frame = scenes.value(sceneKey);
    QPainter painter(&frame);
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
    const QByteArray type = name.endsWith(".gif")   ? "image/gif"
                            : name.endsWith(".png") ? "image/png"
                                                    : "image/jpeg";
    return "HTTP/1.1 200 OK\r\nContent-Type: " + type +
           "\r\nContent-Length: " + QByteArray::number(bytes.size()) +
           "\r\nConnection: close\r\n\r\n" + bytes;
}

QByteArray DemoCamServer::answer(const QByteArray& target, const QDateTime& now,
                                 const QByteArray& request) {
    if (target.startsWith("/files/"))
        return fileAnswer(QString::fromLatin1(target.mid(7)));
    static const QRegularExpression pattern(
        QStringLiteral("^/([A-Za-z0-9_]+)(?:-(\\d{2,4})x(\\d{2,4}))?\\.(jpg|gif)"
                       "(?:\\?every=(\\d{1,4}))?$"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(target));
    if (!match.hasMatch() || match.captured(1) == "missing")
        return notFound();
    const QString name = match.captured(1);
    const int width = match.captured(2).isEmpty() ? 640 : match.captured(2).toInt();
    const int height = match.captured(3).isEmpty() ? 480 : match.captured(3).toInt();
    if (width < 16 || height < 16 || width > 3840 || height > 2160)
        return notFound();
    const bool gif = match.captured(4) == "gif";
    // each cam changes on its own beat, or on the one asked for
    const bool everyRequest = match.captured(5) == "0";
    const int beat = match.captured(5).isEmpty() ? 3 + int(qHash(name) % 5)
                                                 : std::max(1, match.captured(5).toInt());

    const QByteArray key = target;
    Picture& current = pictures[key];
    if (everyRequest) {
        // one ring of frames for each size, shared by the cams that ask for it (drawing a
        // large frame takes a while)
        QList<QByteArray>& ring =
            frames[QString("%1x%2%3").arg(width).arg(height).arg(gif ? "g" : "j").toLatin1()];
        if (ring.isEmpty())
            for (int frame = 0; frame < 4; ++frame)
                ring << drawFrame("democam", width, height, gif,
                                  QString("frame %1").arg(frame + 1));
        const qint64 count = served[key]++;
        current.bytes = ring[int(count % ring.size())];
        current.changed = now;
        current.tag = "\"" + QByteArray::number(count) + "\"";
    } else {
        const qint64 period = now.toSecsSinceEpoch() / beat;
        if (current.period != period) {
            current.changed = QDateTime::fromSecsSinceEpoch(period * beat);
            current.bytes =
                drawFrame(name, width, height, gif,
                          current.changed.toLocalTime().toString("yyyy-MM-dd hh:mm:ss"));
            current.tag = "\"" + QByteArray::number(period, 16) + "\"";
            current.period = period;
        }
    }
    const QByteArray lastModified = httpDate(current.changed);
    auto field = [&request](const QByteArray& name) {
        for (const QByteArray& line : request.split('\n'))
            if (line.toLower().startsWith(name.toLower() + ":"))
                return line.mid(name.size() + 1).trimmed();
        return QByteArray();
    };
    if (!everyRequest &&
        (field("If-None-Match") == current.tag || field("If-Modified-Since") == lastModified))
        return "HTTP/1.1 304 Not Modified\r\nETag: " + current.tag +
               "\r\nConnection: close\r\n\r\n";
    return "HTTP/1.1 200 OK\r\nContent-Type: " + QByteArray(gif ? "image/gif" : "image/jpeg") +
           "\r\nContent-Length: " + QByteArray::number(current.bytes.size()) +
           "\r\nLast-Modified: " + lastModified + "\r\nETag: " + current.tag +
           "\r\nConnection: close\r\n\r\n" + current.bytes;
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
            socket->write(answer(path, QDateTime::currentDateTime(), *request));
            socket->disconnectFromHost(); // after the answer is sent
            disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
        });
    }
}
