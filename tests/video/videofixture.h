#pragma once

#include "realserver.h"
#include "video/videosource.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <mutex>

// Real servers for video cams: GStreamer's RTSP server (tests/testsupport/rtspserver.py), and
// live HLS written by ffmpeg into a folder that lighttpd serves.

// tests/testsupport/rtspserver.py on a free loopback port, which it keeps when started again.
class RtspServer {
  public:
    RtspServer() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
    }
    ~RtspServer() { stop(); }
    bool start(const QStringList& arguments) {
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start("/usr/bin/python3",
                        QStringList{SOURCE_DIR "/tests/testsupport/rtspserver.py", "--port",
                                    QString::number(m_port)} +
                            arguments);
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QTest::qWait(50)) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(200))
                return true;
        }
        return false;
    }
    void stop() {
        m_process.terminate();
        m_process.waitForFinished();
    }
    QByteArray address(const QByteArray& userInfo = {}) const {
        return "rtsp://" + userInfo + "127.0.0.1:" + QByteArray::number(m_port) + "/cam";
    }
    QString folder() const { return m_folder.path(); }

  private:
    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_port = 0;
};

// lighttpd serving the server's www/, logging every request; all of it behind Digest for "jo"
// with the password "p@ss:/w" when `login`.
inline bool startWeb(RealServer& server, bool login = false) {
    server.write("users", "jo:p@ss:/w\n");
    QString config = QString("server.document-root = \"%1/www\"\nserver.port = %2\n"
                             "server.bind = \"127.0.0.1\"\nserver.modules = (\"mod_accesslog\", "
                             "\"mod_auth\", \"mod_authn_file\")\n"
                             "accesslog.filename = \"%1/access.log\"\nmimetype.assign = ("
                             "\".m3u8\" => \"application/vnd.apple.mpegurl\")\n")
                         .arg(server.folder())
                         .arg(server.port());
    if (login)
        config += QString("auth.backend = \"plain\"\nauth.backend.plain.userfile = \"%1/users\"\n"
                          "auth.require = (\"/\" => (\"method\" => \"digest\", \"realm\" => "
                          "\"cam\", \"require\" => \"valid-user\"))\n")
                      .arg(server.folder());
    server.write("lighttpd.conf", config.toUtf8());
    QString why;
    if (!server.start("lighttpd", {"-D", "-f", server.folder() + "/lighttpd.conf"}, &why))
        qWarning("%s", qPrintable(why));
    return why.isEmpty();
}

// ffmpeg writing a live test pattern as HLS segments of one second into the server's www/.
inline bool startHls(RealServer& server, QProcess& ffmpeg, bool fragmentedMp4, bool login) {
    server.write("www/empty", "");
    QStringList arguments{"-loglevel",
                          "error",
                          "-re",
                          "-f",
                          "lavfi",
                          "-i",
                          "testsrc=size=320x240:rate=25",
                          "-c:v",
                          "libx264",
                          "-preset",
                          "ultrafast",
                          "-g",
                          "25",
                          "-f",
                          "hls",
                          "-hls_time",
                          "1",
                          "-hls_list_size",
                          "5",
                          "-hls_flags",
                          "delete_segments"};
    if (fragmentedMp4)
        arguments << "-hls_segment_type"
                  << "fmp4";
    ffmpeg.start("ffmpeg", arguments << server.folder() + "/www/live.m3u8");
    const QString playlist = server.folder() + "/www/live.m3u8";
    for (QDeadlineTimer deadline(20000); !QFile::exists(playlist) && !deadline.hasExpired();)
        QTest::qWait(100);
    return startWeb(server, login) && QFile::exists(playlist);
}

// Everything FFmpeg logs, at every level, as the program passes it on, while this lives.
class FfmpegLog {
  public:
    FfmpegLog() {
        std::lock_guard lock(mutex());
        lines() = QStringList();
        m_before = qInstallMessageHandler(&FfmpegLog::take);
        QLoggingCategory::setFilterRules("webcams.video.ffmpeg=true");
    }
    ~FfmpegLog() {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_before);
    }
    QString text() const {
        std::lock_guard lock(mutex());
        return lines().join('\n');
    }

  private:
    static void take(QtMsgType, const QMessageLogContext&, const QString& message) {
        std::lock_guard lock(mutex());
        lines() << message;
    }
    static std::mutex& mutex() {
        static std::mutex shared;
        return shared;
    }
    static QStringList& lines() {
        static QStringList taken;
        return taken;
    }
    QtMessageHandler m_before;
};

// A cam without the automatic one-second count: the test counts.
struct TestCam {
    explicit TestCam(const QByteArray& address, const QByteArray& refresh = "2") {
        source.setTickInterval(0);
        source.setJitter([] { return 1.0; });
        source.setRecord("cam", address, refresh);
    }
    VideoSource source;
    QSignalSpy pictures{&source, &PictureSource::pictureArrived};
    QSignalSpy failures{&source, &PictureSource::failed};
    QSignalSpy starts{&source, &PictureSource::fetchStarted};
    FetchedPicture picture(int index = -1) const {
        return pictures.at(index < 0 ? pictures.size() - 1 : index).at(0).value<FetchedPicture>();
    }
};
