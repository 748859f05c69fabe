// Video cams through the engine, against GStreamer's RTSP server and live HLS from lighttpd:
// the registry takes an rtsp:// address, and an http:// one that turns out to be a playlist,
// to a video source; their pictures are shown and auto-saved at the stream's own size.
#include "camlist/camlistmodel.h"
#include "common/background.h"
#include "config/camsettings.h"
#include "config/settings.h"
#include "engine/autosave.h"
#include "engine/camengine.h"

#include "../video/videofixture.h"
#include "camlistbytes.h"
#include "sandbox.h"
#include "scriptedprompter.h"
#include "testmain.h"

#include <QDir>
#include <QImage>
#include <QTest>

class VideoCamTest : public QObject {
    Q_OBJECT
  private slots:
    void videoCamsShowAndSaveTheirOwnSize_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("refresh"); // 0: every picture decoded, one a time shown
        QTest::newRow("H.264 over RTSP") << "h264" << QByteArray("2");
        QTest::newRow("H.264, every picture") << "h264" << QByteArray("0");
        QTest::newRow("H.265 over RTSP") << "h265" << QByteArray("2");
        QTest::newRow("a live HLS playlist") << "hls" << QByteArray("2");
    }
    void videoCamsShowAndSaveTheirOwnSize() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, refresh);
        RtspServer rtsp;
        RealServer web;
        QProcess ffmpeg;
        QString address;
        if (kind == "hls") {
            if (RealServer::installed("lighttpd").isEmpty() ||
                RealServer::installed("ffmpeg").isEmpty())
                QSKIP("lighttpd or ffmpeg is not installed");
            QVERIFY(startHls(web, ffmpeg, false, false));
            address = QString("http://127.0.0.1:%1/live.m3u8").arg(web.port());
        } else {
            QVERIFY(rtsp.start({"--codec", kind}));
            address = QString::fromLatin1(rtsp.address());
        }
        Sandbox box;
        box.writeFile("00camlist.txt", camList({{"Video", address, refresh}}));
        QDir().mkpath(box.path("cam"));
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", "Tarvique Webcams", prompter);
        CamSettings settings(store, "Tarvique Webcams", "Tarvique Webcams tests");
        CamListModel list(box.fsPath("00camlist.txt"));
        list.load(false);
        BackgroundQueue files(1);
        CamEngine engine(list, settings);
        AutoSave saving(engine, box.path("cam"), files);
        saving.setOn(true);
        engine.setPictureSize(0, {80, 60});
        engine.StartSelectedCam("Video");
        const auto saved = [&] { return QDir(box.path("cam")).entryList({"*.jpg"}); };
        QTRY_VERIFY_WITH_TIMEOUT(!saved().isEmpty(), 60000);
        files.waitForDone();
        QCOMPARE(QImage(box.path("cam/" + saved().first())).size(), QSize(320, 240));
        QCOMPARE(engine.place(0).shownSize, QSize(320, 240));
        QCOMPARE(engine.place(0).shownPicture.size(), QSize(80, 60)); // decoded small
        QVERIFY(engine.source(0)->facts().value(0).contains("320 x 240"));
        engine.stopCam(0);
        ffmpeg.kill();
        ffmpeg.waitForFinished();
    }
};

WEBCAMS_TEST(VideoCamTest)
#include "test_videocams.moc"
