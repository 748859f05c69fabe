// Cams behind real web servers from the system: lighttpd and Apache asking for Digest (MD5,
// SHA-256) and Basic over https, a CGI snapshot without dates, a compressed answer, and a
// wrong password, which is tried once.
#include "certificates.h"
#include "compressed.h"
#include "panelsfixture.h"
#include "pictures.h"
#include "realserver.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QSslCertificate>

namespace {

const Credentials mufasa{"Mufasa", "Circle of Life"};

// lighttpd with Digest (MD5 and SHA-256) and Basic areas, CGI, TLS when asked, and a log.
QStringList lighttpd(const RealServer& server, bool secure) {
    const QString dir = server.folder();
    server.write("users", "Mufasa:Circle of Life\n");
    QString config =
        QString("server.document-root = \"%1/www\"\nserver.port = %2\nserver.bind = \"127.0.0.1\"\n"
                "server.modules = (\"mod_auth\", \"mod_authn_file\", \"mod_cgi\", "
                "\"mod_accesslog\"%3)\n"
                "accesslog.filename = \"%1/access.log\"\n"
                "mimetype.assign = (\".jpg\" => \"image/jpeg\")\ncgi.assign = (\".cgi\" => \"\")\n"
                "auth.backend = \"plain\"\nauth.backend.plain.userfile = \"%1/users\"\n"
                "auth.require = ("
                "\"/digest/\" => (\"method\" => \"digest\", \"realm\" => \"cam\", \"require\" => "
                "\"valid-user\"),"
                "\"/sha/\" => (\"method\" => \"digest\", \"realm\" => \"cam\", \"require\" => "
                "\"valid-user\", \"algorithm\" => \"SHA-256\"),"
                "\"/basic/\" => (\"method\" => \"basic\", \"realm\" => \"cam\", \"require\" => "
                "\"valid-user\"))\n")
            .arg(dir)
            .arg(server.port())
            .arg(secure ? ", \"mod_openssl\"" : "");
    if (secure) {
        const TestIdentity identity = makeCertificate({}, &testAuthority());
        server.write("server.pem", identity.certificate.toPem() + identity.key.toPem());
        config += QString("ssl.engine = \"enable\"\nssl.pemfile = \"%1/server.pem\"\n").arg(dir);
    }
    server.write("lighttpd.conf", config.toUtf8());
    return {"-D", "-f", dir + "/lighttpd.conf"};
}

QStringList apache(const RealServer& server) {
    const QString dir = server.folder();
    const QByteArray hash =
        QCryptographicHash::hash("Mufasa:cam:Circle of Life", QCryptographicHash::Md5).toHex();
    server.write("htdigest", "Mufasa:cam:" + hash + "\n");
    QString config = QString("ServerRoot %1\nServerName localhost\nListen 127.0.0.1:%2\n"
                             "PidFile %1/httpd.pid\nErrorLog %1/error.log\n"
                             "TypesConfig /dev/null\nAddType image/jpeg .jpg\n"
                             "DocumentRoot %1/www\n")
                         .arg(dir)
                         .arg(server.port());
    for (const char* module : {"mpm_event", "authn_core", "authn_file", "authz_core", "authz_user",
                               "auth_digest", "mime"})
        config += QString("LoadModule %1_module /usr/lib/apache2/modules/mod_%1.so\n").arg(module);
    config += QString("<Location /digest/>\nAuthType Digest\nAuthName cam\n"
                      "AuthDigestProvider file\nAuthUserFile %1/htdigest\nRequire valid-user\n"
                      "</Location>\n")
                  .arg(dir);
    server.write("httpd.conf", config.toUtf8());
    return {"-X", "-f", dir + "/httpd.conf"};
}

} // namespace

class RealServerTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { trustTestAuthority(); }

    void camsBehindRealServers_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("password"); // empty: none given
        QTest::addColumn<QStringList>("log");  // the statuses lighttpd logs, in order
        QTest::newRow("lighttpd, Digest MD5")
            << "lighttpd"
            << "/digest/cam.jpg" << mufasa.password << QStringList{"401", "200", "304"};
        QTest::newRow("lighttpd, Digest SHA-256")
            << "lighttpd"
            << "/sha/cam.jpg" << mufasa.password << QStringList{"401", "200", "304"};
        QTest::newRow("lighttpd, Basic over https")
            << "lighttpd-tls"
            << "/basic/cam.jpg" << mufasa.password << QStringList{"401", "200", "304"};
        QTest::newRow("Apache, Digest MD5")
            << "apache2"
            << "/digest/cam.jpg" << mufasa.password << QStringList();
        QTest::newRow("lighttpd, CGI without dates") << "lighttpd"
                                                     << "/cgi/cam.cgi"
                                                     << "" << QStringList{"200", "200"};
        QTest::newRow("lighttpd, a wrong password")
            << "lighttpd"
            << "/digest/cam.jpg"
            << "Circle of Strife" << QStringList{"401", "401"};
    }
    void camsBehindRealServers() {
        QFETCH(QString, server);
        QFETCH(QString, path);
        QFETCH(QString, password);
        QFETCH(QStringList, log);
        RealServer real;
        const QByteArray red = jpegOf(Qt::red), blue = jpegOf(Qt::blue);
        for (const char* area : {"digest", "sha", "basic"})
            real.write(QString("www/%1/cam.jpg").arg(area), red);
        // a CGI snapshot: another picture each time, compressed, and no dates
        real.write("www/cgi/pic0.gz", compressed(red, 31));
        real.write("www/cgi/pic1.gz", compressed(blue, 31));
        real.write("www/cgi/cam.cgi",
                   "#!/bin/sh\nn=$(cat count 2>/dev/null || echo 0)\necho $((n + 1)) > count\n"
                   "printf 'Content-Type: image/jpeg\\r\\nContent-Encoding: gzip\\r\\n\\r\\n'\n"
                   "cat pic$((n % 2)).gz\n",
                   true);
        const bool secure = server == "lighttpd-tls";
        const QStringList arguments = server == "apache2" ? apache(real) : lighttpd(real, secure);
        QString why;
        if (!real.start(server == "apache2" ? "apache2" : "lighttpd", arguments, &why))
            QSKIP(qPrintable(why));

        const QString address = QString("%1://localhost:%2%3")
                                    .arg(secure ? "https" : "http")
                                    .arg(real.port())
                                    .arg(path);
        PanelsFixture f(camList({{"Cam", address, "300"}}));
        f.set->setAutoSave(true);
        if (!password.isEmpty())
            f.credentials.keepForThisRun("Cam", {mufasa.user, password});
        QSignalSpy shown(f.set, &CamPanelSet::pictureShown);
        f.start("Cam");
        const auto logged = [&real] {
            QFile file(real.folder() + "/access.log");
            file.open(QIODevice::ReadOnly);
            QStringList statuses;
            for (const QByteArray& line : file.readAll().split('\n'))
                if (const QList<QByteArray> words = line.split(' '); words.size() > 9)
                    statuses << QString(words[8]);
            return statuses;
        };
        if (password == "Circle of Strife") {
            QTRY_VERIFY(f.fetcher(0)->isWaitingForCredentials());
            QTRY_COMPARE(logged(), log); // one try, and no more
            QVERIFY(f.status.endsWith("the cam refused the user name or password"));
            return;
        }
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(pictureOf(f.panel(0)).pixelColor(5, 5).red() > 200, true);
        QTRY_VERIFY(f.set->isSettled(0));
        f.set->refreshNow(0); // the nonce serves again: no 401 before the picture
        QTRY_VERIFY(f.set->isSettled(0) && (log.isEmpty() || logged().size() == log.size()));
        if (!log.isEmpty())
            QCOMPARE(logged(), log);
        if (path.contains("cgi")) { // a new picture without dates: saved
            QTRY_COMPARE(shown.size(), 2);
            QTRY_COMPARE(QDir(f.box.path("cam")).entryList(QDir::Files).size(), 1);
        }
    }
};

WEBCAMS_TEST(RealServerTest)
#include "test_realservers.moc"
