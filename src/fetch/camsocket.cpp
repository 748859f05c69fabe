#include "fetch/camsocket.h"

#include <QTcpSocket>

CamSocket::CamSocket(QObject* parent) : QObject(parent) {}

CamSocket::~CamSocket() {
    Close();
}

void CamSocket::Close() {
    received.clear();
    if (!socket)
        return;
    // A fresh socket serves every connection, so nothing of an old one can be raised later.
    QTcpSocket* old = socket;
    socket = nullptr;
    old->disconnect(this);
    old->abort();
    old->deleteLater();
}

void CamSocket::Connect(const QString& host, quint16 port) {
    Close();
    closeRaised = false;
    socket = new QTcpSocket(this);
    connect(socket, &QTcpSocket::connected, this, &CamSocket::Connected);
    connect(socket, &QTcpSocket::readyRead, this, &CamSocket::readAvailable);
    connect(socket, &QTcpSocket::disconnected, this, &CamSocket::remoteClosed);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            remoteClosed();
        else
            Close(); // not found, refused, reset: no event, the next Connect starts afresh
    });
    socket->connectToHost(host, port);
}

bool CamSocket::SendData(const QByteArray& bytes) {
    if (!socket || socket->state() != QAbstractSocket::ConnectedState)
        return false;
    return socket->write(bytes) == bytes.size();
}

QByteArray CamSocket::GetData() {
    QByteArray bytes;
    bytes.swap(received);
    return bytes;
}

int CamSocket::State() const {
    return socket ? int(socket->state()) + 1 : 0;
}

void CamSocket::readAvailable() {
    if (!socket)
        return;
    const QByteArray bytes = socket->readAll();
    if (bytes.isEmpty())
        return;
    received.append(bytes);
    emit DataArrival(bytes.size());
}

void CamSocket::remoteClosed() {
    if (!socket || closeRaised)
        return;
    closeRaised = true;
    readAvailable(); // every byte is reported before the close
    if (!socket)
        return; // a data handler closed us
    Close();
    emit CloseEvent();
}
