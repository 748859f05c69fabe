// Stream cams: an MJPEG stream from democam (with the quirks of real cams) and from ffmpeg is
// shown in its panel, only the pictures due are decoded, and an ended stream is asked again.
#include "democamserver.h"
#include "engine/addresstest.h"
#include "engine/camfollower.h"
#include "engine/sourceregistry.h"
#include "panelsfixture.h"
#include "testmain.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>

namespace {
// True once something listens on 127.0.0.1:port, seen in the kernel's socket table: a probing
// connection would take the one client ffmpeg's server serves.
bool listensOnLoopback(quint16 port) {
    QFile table("/proc/net/tcp");
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local =
        "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1] == local && fields[3] == "0A") // 0A: LISTEN
            return true;
    }
    return false;
}
} // namespace

class StreamTest : public QObject {
    Q_OBJECT
  private:
    DemoCamServer* democam = nullptr;

    QString address(const QString& path) const {
        return QString("http://127.0.0.1:%1%2").arg(democam->port()).arg(path);
    }

  private slots:
    void init() {
        democam = new DemoCamServer;
        QVERIFY(democam->listen(0));
    }
    void cleanup() { delete democam; }

    // However the stream is framed, the panel shows its pictures; with the clock held, the
    // first picture is the only one due, and the others are never decoded.
    void streamsShowOnePicturePerInterval_data() {
        // clang-format off
        QTest::addColumn<QString>("quirks");
        QTest::addColumn<QString>("refresh");
        QTest::newRow("plain") << "" << "1";
        QTest::newRow("every picture") << "" << "0";
        QTest::newRow("no first boundary") << "noboundary" << "1";
        QTest::newRow("declared with dashes") << "dashes" << "1";
        QTest::newRow("no lengths, extra headers") << "nolength,extra" << "1";
        QTest::newRow("chunked, no lengths") << "chunked,nolength" << "1";
        // clang-format on
    }
    void streamsShowOnePicturePerInterval() {
        QFETCH(QString, quirks);
        QFETCH(QString, refresh);
        const QString path = "/quay-320x240.mjpg?fps=25&quirks=" + quirks;
        PanelsFixture f(camList({{"Quay", address(path), refresh.toUtf8()}}));
        f.autoSave->setOn(true);
        QDateTime now(QDate(2026, 12, 7), QTime(10, 0, 0));
        f.fetcher(0)->setClock([&now] { return now; });
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        QSignalSpy ticks(&f.selection(), &CamFollower::ticked);
        f.start("Quay");
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(320, 240));
        QVERIFY(f.fetcher(0)->isStreaming());
        QTRY_VERIFY(f.fetcher(0)->streamPictures() >= 10);
        QCOMPARE(shown.size(), 1);
        now = now.addSecs(1); // the next picture is due: it is new, and saved
        QTRY_COMPARE(shown.size(), 2);
        QTRY_COMPARE(QDir(f.box.path("cam")).entryList(QDir::Files).size(), 1);
        QTRY_VERIFY(!ticks.isEmpty()); // panel 0 counts as selected
        QCOMPARE(ticks.last()[0].toString(), QString("a stream"));
        QSignalSpy handedOn(f.fetcher(0), &CamFetcher::pictureArrived);
        now = now.addSecs(-3600); // the clock set back: pictures still come
        QTRY_COMPARE(handedOn.size(), 1);
    }

    void anEndedStreamIsAskedAgain() {
        PanelsFixture f(camList({{"Quay", address("/quay-64x48.mjpg?fps=20&parts=3"), "0"}}));
        f.fetcher(0)->setJitter([] { return 1.0; });
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        f.start("Quay");
        QTRY_VERIFY(shown.size() >= 1);
        QTRY_VERIFY_WITH_TIMEOUT(!f.fetcher(0)->isStreaming(), 5000);
        QVERIFY(
            f.panel(0)->findChild<QLabel*>("stateMark(0)")->toolTip().contains("the stream ended"));
        QTRY_VERIFY_WITH_TIMEOUT(f.fetcher(0)->isStreaming(), 10000); // 2 s later
    }

    void testTellsAStream() {
        const SourceRegistry kinds;
        AddressTest test(kinds, [](const QString&) { return QByteArray(); });
        AddressReport report;
        test.check(address("/quay.mjpg?fps=10").toUtf8(), "5",
                   [&](const AddressReport& r) { report = r; });
        QTRY_VERIFY_WITH_TIMEOUT(!report.headline.isEmpty(), 10000);
        QVERIFY2(report.ok, qPrintable(report.headline));
        QVERIFY2(report.headline.startsWith("An MJPEG stream: ") &&
                     report.headline.endsWith(" pictures a second, 640 x 480"),
                 qPrintable(report.headline));
        QVERIFY(!report.preview.isNull());
    }

    // ffmpeg's own MJPEG server ("-f mpjpeg"), as a real source: its answer is chunked, and
    // says it is "application/octet-stream".
    void anFfmpegStreamIsShown() {
        const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
        if (ffmpeg.isEmpty())
            QSKIP("ffmpeg is not installed");
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        QProcess server;
        server.start(ffmpeg, {"-loglevel", "error", "-re", "-f", "lavfi", "-i",
                              "testsrc=size=320x240:rate=10", "-f", "mpjpeg", "-listen", "1",
                              QString("http://127.0.0.1:%1/stream.mjpg").arg(port)});
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(listensOnLoopback(port) || server.state() != QProcess::Running,
                                 30000);
        QVERIFY2(server.state() == QProcess::Running, server.readAllStandardError().constData());
        PanelsFixture f(
            camList({{"ffmpeg", QString("http://127.0.0.1:%1/stream.mjpg").arg(port), "0"}}));
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        f.start("ffmpeg");
        QTRY_VERIFY_WITH_TIMEOUT(shown.size() >= 3, 30000);
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(320, 240));
        f.engine->stopCam(0);
        server.kill();
        server.waitForFinished();
    }
};

WEBCAMS_TEST(StreamTest)
#include "test_streams.moc"
