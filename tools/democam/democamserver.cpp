#include "democamserver.h"

#include "gifwriter.h"
#include "photolike.h"

#include <QBuffer>
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

QByteArray DemoCamServer::answer(const QByteArray& path, const QDateTime& now) {
    static const QRegularExpression pattern(
        QStringLiteral("^/([A-Za-z0-9_]+)(?:-(\\d{2,4})x(\\d{2,4}))?\\.(jpg|gif)$"));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(path));
    if (!match.hasMatch() || match.captured(1) == "missing")
        return notFound();
    const QString name = match.captured(1);
    const int width = match.captured(2).isEmpty() ? 640 : match.captured(2).toInt();
    const int height = match.captured(3).isEmpty() ? 480 : match.captured(3).toInt();
    if (width < 16 || height < 16 || width > 3840 || height > 2160)
        return notFound();
    const bool gif = match.captured(4) == "gif";

    // each cam changes on its own beat
    const int beat = 3 + int(qHash(name) % 5);
    const qint64 period = now.toSecsSinceEpoch() / beat;
    const QByteArray key = path;
    Picture& current = pictures[key];
    if (current.period != period) {
        const QByteArray sceneKey =
            name.toLatin1() + QByteArray::number(width) + "x" + QByteArray::number(height);
        if (!scenes.contains(sceneKey))
            scenes.insert(sceneKey, makePhotoLikePicture(width, height, unsigned(qHash(name))));
        QImage frame = scenes.value(sceneKey);
        current.changed = QDateTime::fromSecsSinceEpoch(period * beat);
        QPainter painter(&frame);
        QFont font("DejaVu Sans", std::max(8, height / 24), QFont::Bold);
        painter.setFont(font);
        const QRect band(0, height - height / 8, width, height / 8);
        painter.fillRect(band, QColor(0, 0, 0, 140));
        painter.setPen(Qt::white);
        painter.drawText(band.adjusted(height / 40, 0, -height / 40, 0),
                         Qt::AlignVCenter | Qt::AlignLeft, name);
        painter.drawText(band.adjusted(height / 40, 0, -height / 40, 0),
                         Qt::AlignVCenter | Qt::AlignRight,
                         current.changed.toLocalTime().toString("yyyy-MM-dd hh:mm:ss"));
        painter.end();
        if (gif) {
            current.bytes = EncodeGif(frame);
        } else {
            current.bytes.clear();
            QBuffer buffer(&current.bytes);
            buffer.open(QIODevice::WriteOnly);
            frame.save(&buffer, "JPEG", 85);
        }
        current.period = period;
    }
    return "HTTP/1.1 200 OK\r\nContent-Type: " + QByteArray(gif ? "image/gif" : "image/jpeg") +
           "\r\nContent-Length: " + QByteArray::number(current.bytes.size()) +
           "\r\nLast-Modified: " + httpDate(current.changed) + "\r\nConnection: close\r\n\r\n" +
           current.bytes;
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
            socket->write(answer(path, QDateTime::currentDateTime()));
            socket->disconnectFromHost(); // after the answer is sent
            disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
        });
    }
}
