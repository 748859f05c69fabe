// What a completed fetch does: judge the response, show the picture, tell new pictures from
// unchanged ones, save new ones, and hand the selected panel's picture on.

#include "engine/camfollower.h"
#include "panelsfixture.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "testmain.h"

#include <QDir>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray imageResponse(const QByteArray& body, const QByteArray& lastModified = {},
                         const QByteArray& type = "image/jpeg") {
    return ScriptedServer::okResponse(
        body, type, lastModified.isEmpty() ? QByteArray() : lastModified + "\r\n");
}

} // namespace

class CompletionTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> temporary;
    ScriptedServer* server = nullptr;

    // Runs one fetch of panel 0 and waits until it completed.
    void fetchOnce(PanelsFixture& f, const QByteArray& answer) {
        server->setScript(ScriptedServer::answer(answer));
        const int before = server->connections;
        if (f.engine->isRunning(0))
            f.engine->refreshNow(0);
        else
            f.start("Cam");
        QTRY_VERIFY(server->connections > before);
        QTRY_VERIFY(f.engine->isSettled(0));
    }

    QStringList savedPictures(const PanelsFixture& f) const {
        return QDir(f.box.path("cam")).entryList(QDir::Files | QDir::Hidden);
    }

    QStringList leftInTemp() const {
        return QDir(temporary->path()).entryList({"vbt*"}, QDir::Files | QDir::Hidden);
    }

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init() {
        // a private temporary folder, to see that no "vbt" file is left behind
        temporary = std::make_unique<QTemporaryDir>();
        qputenv("TMPDIR", QFile::encodeName(temporary->path()));
        server = new ScriptedServer(this);
    }

    void cleanup() {
        QVERIFY(leftInTemp().isEmpty());
        delete server;
        qunsetenv("TMPDIR");
    }

    void newPicturesAreToldByLastModified() {
        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        QSignalSpy details(&f.selection(), &CamFollower::detailsChanged);
        f.autoSave->setOn(true);
        CamFetcher* fetcher = f.fetcher(0);
        QDateTime now(QDate(2026, 12, 7), QTime(10, 0, 0));
        fetcher->setClock([&now] { return now; });

        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        QVERIFY(sameColour(pictureOf(f.panel(0)).pixel(5, 5), Qt::red));
        QCOMPARE(fetcher->lastChanged(), QByteArray(" A"));
        const QString firstSeen = fetcher->lastRefreshed();
        QVERIFY(!firstSeen.isEmpty());
        QVERIFY(!fetcher->pictureChanged());
        QVERIFY(savedPictures(f).isEmpty());

        now = now.addSecs(5);
        fetchOnce(f, imageResponse(jpegOf(Qt::green), "Last-Modified: A"));
        QVERIFY(sameColour(pictureOf(f.panel(0)).pixel(5, 5), Qt::green)); // shown anyway
        QCOMPARE(fetcher->lastRefreshed(), firstSeen);
        QVERIFY(savedPictures(f).isEmpty());

        now = now.addSecs(5);
        fetchOnce(f, imageResponse(jpegOf(Qt::blue), "last-modified: B"));
        QVERIFY(fetcher->pictureChanged());
        QCOMPARE(fetcher->lastChanged(), QByteArray(" B"));
        QVERIFY(fetcher->lastRefreshed() != firstSeen);
        QCOMPARE(savedPictures(f).size(), 1);
        const QString saved = savedPictures(f).first();
        QVERIFY(saved.startsWith("Cam") && saved.endsWith(".jpg"));
        QVERIFY(!QImage(f.box.path("cam/" + saved)).isNull());
        // panel 0 counts as selected: the status bar names the file, the details follow
        QVERIFY(f.status.endsWith(" new picture saved as " + f.box.path("cam/" + saved)));
        QCOMPARE(details.last()[0].value<CamDetails>().lastChanged, QString(" B"));
        QCOMPARE(details.last()[0].value<CamDetails>().name, QString("Cam"));
    }

    // Without Last-Modified a new ETag, or else new bytes, make a new picture; the first one
    // seen is not.
    void withoutLastModifiedTheETagOrTheBytesTell_data() {
        // clang-format off
        QTest::addColumn<QStringList>("answers"); // colour, then the header line sent with it
        QTest::addColumn<int>("saved");
        QTest::addColumn<QByteArray>("lastChanged");
        QTest::newRow("bytes") << QStringList{"red", "", "red", "", "blue", ""} << 1 << QByteArray();
        QTest::newRow("etag") << QStringList{"red",         "ETag: \"1\"", "blue", "ETag: \"1\"", "blue",        "ETag: \"2\""} << 1 << QByteArray();
        QTest::newRow("a new etag, the same bytes") << QStringList{"red", "ETag: \"1\"", "red", "ETag: \"2\"", "red", "ETag: \"3\""} << 0 << QByteArray();
        QTest::newRow("after a date") << QStringList{"green", "Last-Modified: kept", "red", "", "blue", ""} << 1 << QByteArray(" kept");
        // clang-format on
    }
    void withoutLastModifiedTheETagOrTheBytesTell() {
        QFETCH(QStringList, answers);
        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        f.autoSave->setOn(true);
        for (qsizetype i = 0; i < answers.size(); i += 2)
            fetchOnce(f, imageResponse(jpegOf(QColor(answers[i])), answers[i + 1].toLatin1()));
        QTEST(int(savedPictures(f).size()), "saved");
        QTEST(f.fetcher(0)->lastChanged(), "lastChanged");
        QVERIFY(!f.fetcher(0)->lastRefreshed().isEmpty());
    }

    void autoSaveOffSavesNothing() {
        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        f.autoSave->setOn(false);
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        fetchOnce(f, imageResponse(jpegOf(Qt::blue), "Last-Modified: B"));
        QVERIFY(f.fetcher(0)->pictureChanged());
        QVERIFY(savedPictures(f).isEmpty());
    }

    void nonPicturesShowNotFoundAndKeepTheLine() {
        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        fetchOnce(f, "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nLast-Modified: "
                     "Z\r\n\r\n<html>gone</html>");
        QCOMPARE(pictureOf(f.panel(0)), f.engine->notFoundPicture());
        QCOMPARE(QByteArray::fromStdString(f.fetcher(0)->lastModified()),
                 QByteArray("Last-Modified: A"));
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        fetchOnce(f, "no header end at all");
        QCOMPARE(pictureOf(f.panel(0)), f.engine->notFoundPicture());
    }

    void unreadableBodiesKeepThePreviousPicture_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("why"); // what the mark says
        const QByteArray jpeg = jpegOf(Qt::blue);
        QTest::newRow("error page saying image/") << QByteArray("HTTP/1.1 500 Oops\r\nContent-Type: text/html\r\nX-Hint: " "image/jpeg\r\n\r\n<h1>500</h1>") << "HTTP 500";
        QTest::newRow("truncated JPEG") << imageResponse(jpeg).left(imageResponse(jpeg).size() - 40) << "the picture could not be read";
        QTest::newRow("shorter than announced") << ("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 99999\r\n\r\n" + jpeg) << "the picture could not be read";
        QTest::newRow("truncated GIF") << imageResponse(tinyGif.chopped(1), {}, "image/gif") << "the picture could not be read";
        QTest::newRow("chunked") << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n" "Transfer-Encoding: chunked\r\n\r\n10\r\n" + jpeg.left(16) + "\r\n0\r\n\r\n") << "the picture could not be read";
        QTest::newRow("XML body") << imageResponse("<?xml version=\"1.0\"?><error/>") << "the picture could not be read";
        QByteArray huge = jpegOf(Qt::blue);
        huge[huge.indexOf("\xff\xc0") + 5] = char(0x75); // height 30000
        huge[huge.indexOf("\xff\xc0") + 6] = char(0x30);
        huge[huge.indexOf("\xff\xc0") + 7] = char(0x75); // width 30000
        huge[huge.indexOf("\xff\xc0") + 8] = char(0x30);
        QTest::newRow("30000 x 30000") << imageResponse(huge) << "a picture too large to show";
        QByteArray costly = jpeg.left(jpeg.indexOf("\xff\xc0") + 9);
        costly[costly.size() - 4] = char(0x20), costly[costly.size() - 3] = 0; // 8192 high
        costly[costly.size() - 2] = char(0x20), costly[costly.size() - 1] = 0; // 8192 wide
        costly += jpeg.mid(jpeg.indexOf("\xff\xc0") + 9,
                           jpeg.indexOf("\xff\xda") - jpeg.indexOf("\xff\xc0") - 9);
        for (int scan = 0; scan < 500; ++scan)
            costly += QByteArray("\xff\xda\x00\x08\x01\x01\x00\x00\x00\x00\x55", 11);
        QTest::newRow("500 scans of 8192 x 8192") << imageResponse(costly + "\xff\xd9") << "a picture too costly to decode (8192 x 8192, 500 scans)";
        // clang-format on
    }
    void unreadableBodiesKeepThePreviousPicture() {
        QFETCH(QByteArray, answer);
        QFETCH(QString, why);
        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        fetchOnce(f, imageResponse(jpegOf(Qt::red)));
        const QImage before = pictureOf(f.panel(0));
        fetchOnce(f, answer);
        QCOMPARE(pictureOf(f.panel(0)), before);
        QCOMPARE(f.panel(0)->stateMark(), Freshness::Error);
        QVERIFY2(f.panel(0)->stateTooltip().contains(why), qPrintable(f.panel(0)->stateTooltip()));
        fetchOnce(f, imageResponse(jpegOf(Qt::green))); // and the next good one shows
        QVERIFY(sameColour(pictureOf(f.panel(0)).pixel(5, 5), Qt::green));
    }

    void aPictureThatCannotBeShownIsNoNews() {
        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        f.autoSave->setOn(true);
        const QByteArray red = jpegOf(Qt::red);
        fetchOnce(f, imageResponse(red, "Last-Modified: A\r\nETag: \"a\""));
        fetchOnce(f, imageResponse(red.left(red.size() - 40), "Last-Modified: B\r\nETag: \"b\""));
        QCOMPARE(savedPictures(f), QStringList()); // the earlier picture is not saved again
        QCOMPARE(f.fetcher(0)->lastChanged(), QByteArray(" A"));
        // asked as for the picture shown, so the server sends the whole one again
        fetchOnce(f, imageResponse(jpegOf(Qt::blue), "Last-Modified: B\r\nETag: \"b\""));
        QVERIFY(server->requests.last().contains("If-None-Match: \"a\""));
        QVERIFY(sameColour(pictureOf(f.panel(0)).pixel(5, 5), Qt::blue));
        QTRY_COMPARE(savedPictures(f).size(), 1); // and it is new
    }

    void picturesAreToldByTheirBytes() {

        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        QSignalSpy toViewer(&f.selection(), &CamFollower::pictureArrived);
        fetchOnce(f, imageResponse(pngOf(Qt::yellow), {}, "image/jpeg"));
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(20, 10));
        fetchOnce(f, imageResponse(tinyGif, {}, "image/gif"));
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(1, 1));
        // the selected panel's picture goes to the viewer too
        QCOMPARE(toViewer.last()[0].value<QImage>().size(), QSize(1, 1));
    }

    void aReusedPanelInheritsTheLineAndItsFirstPictureIsNew() {
        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"},
                                 {"Other", "http://" + server->address("/o.jpg"), "300"}}));
        f.autoSave->setOn(true);
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        f.engine->stopCam(0);
        server->setScript(
            ScriptedServer::answer(imageResponse(jpegOf(Qt::blue), "Last-Modified: B")));
        f.start("Other");
        CamFetcher* fetcher = f.fetcher(0);
        QCOMPARE(fetcher->lastChanged(), QByteArray(" A")); // until its own first picture
        QTRY_COMPARE(fetcher->lastChanged(), QByteArray(" B"));
        QVERIFY(fetcher->pictureChanged());
        QTRY_COMPARE(savedPictures(f).size(), 1);
        QVERIFY(savedPictures(f).first().startsWith("Other"));
    }

    void oddCamNamesSaveInsideTheCamFolder_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("slash") << QByteArray("a/b");
        QTest::newRow("dots") << QByteArray("../x");
        QTest::newRow("colon") << QByteArray("c:d");
        QTest::newRow("blanks") << QByteArray("  my cam ");
        QTest::newRow("letters") << QByteArray("K\xc3\xb6ln \xe6\x9d\xb1");
    }
    void oddCamNamesSaveInsideTheCamFolder() {
        QFETCH(QByteArray, name);
        PanelsFixture f(camList({{name, "http://" + server->address("/c.jpg"), "300"}}));
        f.autoSave->setOn(true);
        server->setScript(
            ScriptedServer::answer(imageResponse(jpegOf(Qt::red), "Last-Modified: A")));
        f.start(name);
        QTRY_VERIFY(!f.fetcher(0)->lastChanged().isEmpty());
        server->setScript(
            ScriptedServer::answer(imageResponse(jpegOf(Qt::blue), "Last-Modified: B")));
        f.engine->refreshNow(0);
        QTRY_COMPARE(savedPictures(f).size(), 1);
        const QStringList outside = QDir(f.box.programFolder()).entryList(QDir::Files);
        QCOMPARE(outside, (QStringList{"00camlist.ids", "00camlist.txt"})); // the list and its ids
        QTRY_VERIFY(f.status.contains("new picture saved as")); // said once the save ended
    }

    // A picture that cannot be saved is said for any cam, the one in the viewer or not: in the
    // status bar and by the cam's mark until one is saved again.
    void readOnlyCamFolderIsReported_data() {
        QTest::addColumn<bool>("viewed");
        QTest::newRow("the viewed cam") << true;
        QTest::newRow("another cam") << false;
    }
    void readOnlyCamFolderIsReported() {
        QFETCH(bool, viewed);
        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        f.autoSave->setOn(true);
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        if (!viewed)
            f.selection().follow(1); // place 0 is not the one the viewer shows
        {
            ReadOnlyFolder readOnly(f.box.path("cam"));
            fetchOnce(f, imageResponse(jpegOf(Qt::blue), "Last-Modified: B"));
            QVERIFY(f.status.contains("could not be saved"));
            QVERIFY(!f.status.contains("new picture saved as"));
            QVERIFY(sameColour(pictureOf(f.panel(0)).pixel(5, 5), Qt::blue));
            QCOMPARE(f.panel(0)->stateMark(), Freshness::Error);
            QVERIFY(f.panel(0)->stateTooltip().contains("cannot be saved"));
        }
        fetchOnce(f, imageResponse(jpegOf(Qt::green), "Last-Modified: C"));
        QCOMPARE(f.panel(0)->stateMark(), Freshness::New);
    }

    // Pictures are decoded from memory: a missing temporary folder stops none of them.
    void noTemporaryFolderStopsNothing() {
        PanelsFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        fetchOnce(f, imageResponse(jpegOf(Qt::red)));
        qputenv("TMPDIR", QFile::encodeName(temporary->path() + "/missing"));
        fetchOnce(f, imageResponse(jpegOf(Qt::blue)));
        QVERIFY(sameColour(pictureOf(f.panel(0)).pixel(5, 5), Qt::blue));
        qputenv("TMPDIR", QFile::encodeName(temporary->path()));
    }
};

WEBCAMS_TEST(CompletionTest)
#include "test_completion.moc"
