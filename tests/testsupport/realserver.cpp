#include "realserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

RealServer::RealServer() {
    // servers that drop their rights must still read what they serve
    QFile::setPermissions(m_folder.path(), QFile::permissions(m_folder.path()) |
                                               QFileDevice::ReadOther | QFileDevice::ExeOther);
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    m_port = probe.serverPort();
}

RealServer::~RealServer() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }
}

void RealServer::write(const QString& relative, const QByteArray& bytes, bool executable) const {
    const QString path = folder() + "/" + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();
    file.setPermissions(
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther |
        QFileDevice::ReadGroup |
        (executable ? QFileDevice::ExeOwner | QFileDevice::ExeOther : QFileDevice::Permissions()));
}

QString RealServer::installed(const QString& program) {
    const QString path = QStandardPaths::findExecutable(program);
    return path.isEmpty() ? QStandardPaths::findExecutable(program, {"/usr/sbin", "/sbin"}) : path;
}

bool RealServer::start(const QString& program, const QStringList& arguments, QString* why) {
    const QString path = installed(program);
    if (path.isEmpty()) {
        *why = program + " is not installed";
        return false;
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(path, arguments);
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(200))
            return true;
        QThread::msleep(50);
    }
    *why = program + " did not come up on port " + QString::number(m_port);
    return false;
}
