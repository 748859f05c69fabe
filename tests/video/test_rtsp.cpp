// Video cams against GStreamer's RTSP server on a loopback port: H.264 and H.265 pictures,
// Digest, a wrong password tried once, a server that stops mid-stream, one that never answers
// and one that closes at once.
#include "testmain.h"
#include "video/videodecode.h"
#include "videofixture.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

class RtspTest : public QObject {
    Q_OBJECT
  private slots:
    void picturesArrive_data() {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<QByteArray>("refresh");
        QTest::addColumn<QByteArray>("format"); // what a picture of the stream is handed on as
        QTest::newRow("H.264, key pictures alone")
            << "h264" << QByteArray("2") << QByteArray("video/h264");
        QTest::newRow("H.264, every picture")
            << "h264" << QByteArray("0") << QByteArray("video/raw");
        QTest::newRow("H.265, key pictures alone")
            << "h265" << QByteArray("3") << QByteArray("video/hevc");
        QTest::newRow("H.265, every picture")
            << "h265" << QByteArray("0") << QByteArray("video/raw");
        QTest::newRow("H.264 over UDP") << "h264" << QByteArray("2") << QByteArray("video/h264");
    }
    void picturesArrive() {
        QFETCH(QString, codec);
        QFETCH(QByteArray, refresh);
        QFETCH(QByteArray, format);
        RtspServer server;
        QVERIFY(server.start({"--codec", codec}));
        TestCam cam(server.address(), refresh);
        cam.source.setWantedSize({80, 40}, false); // every picture is made that small at once
        if (QString(QTest::currentDataTag()).contains("UDP"))
            cam.source.setTransport(VideoTransport::Udp);
        cam.source.beginCycle();
        // the first picture goes at once, before the key-picture distance is known
        QTRY_VERIFY_WITH_TIMEOUT(cam.pictures.size() >= 3, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(cam.source.facts().value(0).endsWith("a key picture every 1 s"),
                                 10000);
        QVERIFY(cam.source.isStreaming());
        QCOMPARE(cam.picture().format, format);
        const DecodedPicture whole = DecodeVideoPicture(format, cam.picture().body);
        QCOMPARE(whole.picture.size(), format == "video/raw" ? QSize(80, 60) : QSize(320, 240));
        QCOMPARE(whole.whole, format != "video/raw");
        const DecodedPicture fitted = DecodeVideoPicture(format, cam.picture().body, {80, 40});
        QCOMPARE(fitted.picture.size(), QSize(80, 60));
        QCOMPARE(fitted.picture.format(), QImage::Format_RGB32);
        QCOMPARE(fitted.fullSize, QSize(320, 240));
        QVERIFY2(cam.source.facts().value(0).contains(": 320 x 240, 25 pictures a second, a key "),
                 qPrintable(cam.source.facts().value(0)));
        QCOMPARE(cam.failures.size(), 0);
        QVERIFY(cam.source.facts().contains(cam.source.transport() == VideoTransport::Udp
                                                ? "Transport: RTSP over UDP"
                                                : "Transport: RTSP over TCP"));
        QByteArray damaged = cam.picture().body; // decodes to something or nothing, no more
        for (int i = 0; i < 300; ++i) {
            damaged[QRandomGenerator::global()->bounded(damaged.size())] =
                char(QRandomGenerator::global()->generate());
            DecodeVideoPicture(format, damaged, {80, 40});
        }
    }

    void digestAndBasic_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("inAddress"); // "user:password@", or the keyring's credentials
        QTest::newRow("Digest, credentials") << "--digest" << false;
        QTest::newRow("Digest, in the address") << "--digest" << true;
        QTest::newRow("Basic, credentials") << "--basic" << false;
    }
    void digestAndBasic() {
        QFETCH(QString, method);
        QFETCH(bool, inAddress);
        RtspServer server;
        QVERIFY(server.start({method, "jo:p@ss:/w"}));
        TestCam cam(server.address(inAddress ? "jo:p%40ss%3A%2Fw@" : ""));
        if (!inAddress)
            cam.source.setCredentials(Credentials{"jo", "p@ss:/w"});
        const FfmpegLog log;
        cam.source.beginCycle();
        QTRY_VERIFY_WITH_TIMEOUT(!cam.pictures.isEmpty(), 30000);
        QCOMPARE(cam.failures.size(), 0);
        const QString facts =
            cam.source.facts().join("\n") + cam.source.details().source + log.text();
        QVERIFY(!facts.contains("p@ss") && !facts.contains("p%40ss"));
    }

    void wrongPasswordIsTriedOnce() {
        RtspServer server;
        const QString refusals = server.folder() + "/refusals";
        QVERIFY(server.start({"--digest", "jo:secret", "--refusals", refusals}));
        TestCam cam(server.address());
        cam.source.setCredentials(Credentials{"jo", "wrong"});
        cam.source.beginCycle();
        QTRY_COMPARE_WITH_TIMEOUT(cam.failures.size(), 1, 20000);
        QCOMPARE(cam.failures.at(0).at(1).value<FetchFailure>(), FetchFailure::Refused);
        QCOMPARE(cam.failures.at(0).at(0).toString(),
                 QString("the cam refused the user name or password"));
        QVERIFY(cam.source.isWaitingForCredentials());
        for (int second = 0; second < 30; ++second)
            cam.source.countSecond();
        QTest::qWait(500);
        QCOMPARE(cam.starts.size(), 1);
        QFile count(refusals);
        QVERIFY(count.open(QIODevice::ReadOnly));
        QCOMPARE(count.readAll(), QByteArray("1"));             // as the server counted them
        cam.source.setCredentials(Credentials{"jo", "secret"}); // tried at once
        QTRY_VERIFY_WITH_TIMEOUT(!cam.pictures.isEmpty(), 30000);
    }

    void serverThatStopsIsAskedAgainLater() {
        RtspServer server;
        QVERIFY(server.start({}));
        TestCam cam(server.address());
        cam.source.beginCycle();
        QTRY_VERIFY_WITH_TIMEOUT(!cam.pictures.isEmpty(), 30000);
        server.stop(); // mid-stream
        QTRY_COMPARE_WITH_TIMEOUT(cam.failures.size(), 1, 20000);
        QVERIFY(!cam.source.isStreaming());
        QCOMPARE(cam.source.waitSecs(), 2);
        cam.source.countSecond();
        QCOMPARE(cam.starts.size(), 1); // not yet
        cam.source.countSecond();       // nobody listens: this attempt fails too, and waits longer
        QTRY_COMPARE_WITH_TIMEOUT(cam.failures.size(), 2, 20000);
        QCOMPARE(cam.starts.size(), 2);
        QCOMPARE(cam.source.waitSecs(), 4);
        QVERIFY(server.start({}));
        for (int second = 0; second < 4; ++second)
            cam.source.countSecond();
        QCOMPARE(cam.starts.size(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(cam.pictures.size() >= 2, 30000);
        QCOMPARE(cam.source.failures(), 0);
    }

    void stopReturnsWhileTheServerIsSilent() {
        QTcpServer silent; // accepts, never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        auto cam = std::make_unique<TestCam>(
            "rtsp://127.0.0.1:" + QByteArray::number(silent.serverPort()) + "/cam");
        cam->source.beginCycle();
        QTRY_VERIFY(silent.hasPendingConnections());
        QVERIFY(cam->source.isFetching());
        cam->source.stop(); // does not wait for the reading thread
        QVERIFY(!cam->source.isFetching());
        QTRY_VERIFY(!cam->source.hasReader()); // which ends at once by itself
        QCOMPARE(cam->failures.size(), 0);
        cam->source.beginCycle();
        QTRY_VERIFY(silent.hasPendingConnections());
        cam.reset(); // gone while connecting: nothing hangs, nothing is told
    }

    void serverThatClosesAtOnce() {
        QTcpServer closing;
        QVERIFY(closing.listen(QHostAddress::LocalHost));
        connect(&closing, &QTcpServer::newConnection, &closing,
                [&] { delete closing.nextPendingConnection(); });
        TestCam cam("rtsp://127.0.0.1:" + QByteArray::number(closing.serverPort()) + "/cam");
        cam.source.beginCycle();
        QTRY_COMPARE_WITH_TIMEOUT(cam.failures.size(), 1, 20000);
        QCOMPARE(cam.source.failures(), 1);
        QVERIFY(!cam.source.hasReader() || !cam.source.isStreaming());
    }
};

WEBCAMS_TEST(RtspTest)
#include "test_rtsp.moc"
