// Video cams reading live HLS that ffmpeg writes and lighttpd serves: MPEG-TS and fragmented
// MP4 segments, only the newest segment at each interval when that is long enough, a master
// playlist's variant for the shown size, and playlists that are nonsense.
#include "testmain.h"
#include "video/videodecode.h"
#include "videofixture.h"

class HlsTest : public QObject {
    Q_OBJECT
  private slots:
    void livePlaylist_data() {
        QTest::addColumn<bool>("fragmentedMp4");
        QTest::addColumn<QByteArray>("refresh");
        QTest::addColumn<QByteArray>("playlist");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("MPEG-TS, newest segment")
            << false << QByteArray("2") << QByteArray("live.m3u8") << QByteArray("video/h264");
        QTest::newRow("fragmented MP4, newest segment")
            << true << QByteArray("2") << QByteArray("live.m3u8") << QByteArray("video/h264");
        QTest::newRow("MPEG-TS, every picture")
            << false << QByteArray("0") << QByteArray("live.m3u8") << QByteArray("video/raw");
        QTest::newRow("fragmented MP4, every picture")
            << true << QByteArray("0") << QByteArray("live.m3u8") << QByteArray("video/raw");
        QTest::newRow("master playlist, following")
            << false << QByteArray("0") << QByteArray("master.m3u8") << QByteArray("video/raw");
        QTest::newRow("master playlist, newest segment")
            << true << QByteArray("3") << QByteArray("master.m3u8") << QByteArray("video/h264");
    }
    void livePlaylist() {
        QFETCH(bool, fragmentedMp4);
        QFETCH(QByteArray, refresh);
        QFETCH(QByteArray, playlist);
        QFETCH(QByteArray, format);
        RealServer server;
        QProcess ffmpeg;
        QVERIFY(startHls(server, ffmpeg, fragmentedMp4, true)); // behind Digest
        const FfmpegLog log;
        // only the variant that covers the shown size exists
        server.write("www/master.m3u8",
                     "#EXTM3U\n"
                     "#EXT-X-STREAM-INF:BANDWIDTH=90000,RESOLUTION=160x120\nno.m3u8\n"
                     "#EXT-X-STREAM-INF:BANDWIDTH=30000,CODECS=\"mp4a.40.2\"\nno.m3u8\n"
                     "#EXT-X-STREAM-INF:BANDWIDTH=300000,RESOLUTION=320x240\nlive.m3u8\n"
                     "#EXT-X-STREAM-INF:BANDWIDTH=900000,RESOLUTION=640x480\nno.m3u8\n");
        TestCam cam("http://127.0.0.1:" + QByteArray::number(server.port()) + "/" + playlist,
                    refresh);
        cam.source.setWantedSize({200, 150}, false);
        cam.source.setCredentials(Credentials{"jo", "p@ss:/w"}); // its segments need it too
        cam.source.beginCycle();
        QTRY_VERIFY_WITH_TIMEOUT(cam.pictures.size() >= 3, 40000);
        QCOMPARE(cam.failures.size(), 0);
        QCOMPARE(cam.picture().format, format);
        QCOMPARE(DecodeVideoPicture(format, cam.picture().body).fullSize, QSize(320, 240));
        const QString headline = cam.source.facts().value(0);
        QVERIFY2(headline.contains(fragmentedMp4 ? "segments of 1 s in fragmented MP4"
                                                 : "segments of 1 s in MPEG-TS") &&
                     headline.startsWith("A H.264 stream over HLS: 320 x 240"),
                 qPrintable(headline));
        QVERIFY(!log.text().isEmpty());
        QVERIFY(!log.text().contains("p@ss") && !log.text().contains("p%40ss"));
        if (format != "video/raw") {
            // one segment an interval, not the stream
            QFile log(server.folder() + "/access.log");
            QVERIFY(log.open(QIODevice::ReadOnly));
            const QByteArray requests = log.readAll();
            qsizetype segments = 0; // fetched, each after its password was asked for
            for (const QByteArray& line : requests.split('\n'))
                segments +=
                    line.contains(fragmentedMp4 ? ".m4s " : ".ts ") && !line.contains(" 401 ");
            QVERIFY2(segments <= cam.pictures.size() + 1, requests.constData());
        }
        ffmpeg.terminate();
        ffmpeg.waitForFinished();
    }

    void nonsense_data() {
        QTest::addColumn<QByteArray>("playlist");
        QTest::addColumn<FetchFailure>("kind");
        QTest::newRow("not a playlist")
            << QByteArray("<html>hello</html>") << FetchFailure::NotPicture;
        QTest::newRow("variant missing")
            << QByteArray("#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nno.m3u8\n")
            << FetchFailure::NotPicture;
        QTest::newRow("segment on the disk")
            << QByteArray("#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\nfile:///etc/passwd\n")
            << FetchFailure::Protocol;
        QTest::newRow("segment of garbage")
            << QByteArray("#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\ngarbage.ts\n")
            << FetchFailure::Timeout;
        QTest::newRow("stream of garbage")
            << QByteArray(
                   "#EXTM3U\n#EXT-X-TARGETDURATION:9\n#EXTINF:9,\ngarbage.ts\n#EXT-X-ENDLIST\n")
            << FetchFailure::Protocol;
    }
    void nonsense() {
        QFETCH(QByteArray, playlist);
        QFETCH(FetchFailure, kind);
        RealServer server;
        server.write("www/cam.m3u8", playlist);
        server.write("www/garbage.ts", QByteArray(5000, 'G'));
        QVERIFY(startWeb(server));
        TestCam cam("http://127.0.0.1:" + QByteArray::number(server.port()) + "/cam.m3u8");
        cam.source.beginCycle();
        QTRY_COMPARE_WITH_TIMEOUT(cam.failures.size(), 1, 20000);
        QCOMPARE(cam.failures.at(0).at(1).value<FetchFailure>(), kind);
        QCOMPARE(cam.pictures.size(), 0);
        QTRY_VERIFY(!cam.source.hasReader());
    }
};

WEBCAMS_TEST(HlsTest)
#include "test_hls.moc"
