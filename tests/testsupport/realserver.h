#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real web server from the system (lighttpd, Apache) run by a test on a free loopback port,
// with its configuration and files in a folder of its own; stopped when the test ends.
class RealServer {
  public:
    // The server's folder, for its configuration and the files it serves; `port()` is free.
    RealServer();
    ~RealServer();

    QString folder() const { return m_folder.path(); }
    quint16 port() const { return m_port; }
    // Writes a file of the folder (parents made), optionally executable.
    void write(const QString& relative, const QByteArray& bytes, bool executable = false) const;
    // The program's path, or empty when it is not installed (the test is then skipped).
    static QString installed(const QString& program);
    // Starts `program` and waits until it takes connections on the port. False, with the
    // reason in `why`, when it does not come up.
    bool start(const QString& program, const QStringList& arguments, QString* why);

  private:
    QTemporaryDir m_folder;
    quint16 m_port = 0;
    QProcess m_process;
};
