#include "campanel.h"
#include "camsocket.h"
#include "imagecontrol.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "windowfixture.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray imageResponse(const QByteArray& body, const QByteArray& lastModified = {},
                         const QByteArray& type = "image/jpeg") {
    return ScriptedServer::okResponse(
        body, type, lastModified.isEmpty() ? QByteArray() : lastModified + "\r\n");
}

bool sameColour(QRgb a, QColor b) {
    return std::abs(qRed(a) - b.red()) < 12 && std::abs(qGreen(a) - b.green()) < 12 &&
           std::abs(qBlue(a) - b.blue()) < 12;
}

} // namespace

class CompletionTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> temporary;
    ScriptedServer* server = nullptr;

    // Runs one fetch of panel 0 and waits until it completed.
    void fetchOnce(WindowFixture& f, const QByteArray& answer) {
        server->setScript(ScriptedServer::answer(answer));
        const int before = server->connections;
        CamPanel* p = f.window->panel(0);
        if (p->isRunning())
            p->cmdRefresh_Click();
        else
            f.start("Cam");
        QTRY_VERIFY(server->connections > before);
        QTRY_VERIFY(p->imgRefresh->isHidden());
    }

    QStringList savedPictures(const WindowFixture& f) const {
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
        WindowFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        f.window->chkSave->setChecked(true);
        CamPanel* p = f.window->panel(0);

        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        QVERIFY(sameColour(p->imgCam->picture().pixel(5, 5), Qt::red));
        QCOMPARE(p->txtUpdated, QByteArray(" A"));
        QVERIFY(!p->txtRefreshed.isEmpty());
        QVERIFY(!p->pictureChanged);
        QVERIFY(savedPictures(f).isEmpty());

        p->txtRefreshed = "marker";
        fetchOnce(f, imageResponse(jpegOf(Qt::green), "Last-Modified: A"));
        QVERIFY(sameColour(p->imgCam->picture().pixel(5, 5), Qt::green)); // shown anyway
        QCOMPARE(p->txtRefreshed, QString("marker"));
        QVERIFY(savedPictures(f).isEmpty());

        fetchOnce(f, imageResponse(jpegOf(Qt::blue), "last-modified: B"));
        QVERIFY(p->pictureChanged);
        QCOMPARE(p->txtUpdated, QByteArray(" B"));
        QVERIFY(p->txtRefreshed != "marker");
        QCOMPARE(savedPictures(f).size(), 1);
        const QString saved = savedPictures(f).first();
        QVERIFY(saved.startsWith("Cam") && saved.endsWith(".jpg"));
        QVERIFY(!QImage(f.box.path("cam/" + saved)).isNull());
        // panel 0 counts as selected: the status bar names the file, the details follow
        QVERIFY(
            f.window->statusText().endsWith(" new picture saved as " + f.box.path("cam/" + saved)));
        QCOMPARE(f.window->lblLastChanged->text(), QString(" B"));
        QCOMPARE(f.window->lblName->text(), QString("Cam"));
    }

    void noLastModifiedNeverSaves() {
        WindowFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        f.window->chkSave->setChecked(true);
        CamPanel* p = f.window->panel(0);
        p->txtUpdated = "kept";
        fetchOnce(f, imageResponse(jpegOf(Qt::red)));
        fetchOnce(f, imageResponse(jpegOf(Qt::blue)));
        QCOMPARE(p->txtUpdated, QByteArray("kept"));
        QVERIFY(savedPictures(f).isEmpty());
    }

    void autoSaveOffSavesNothing() {
        WindowFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        f.window->chkSave->setChecked(false);
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        fetchOnce(f, imageResponse(jpegOf(Qt::blue), "Last-Modified: B"));
        QVERIFY(f.window->panel(0)->pictureChanged);
        QVERIFY(savedPictures(f).isEmpty());
    }

    void nonPicturesShowNotFoundAndKeepTheLine() {
        WindowFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        CamPanel* p = f.window->panel(0);
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        fetchOnce(f, "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nLast-Modified: "
                     "Z\r\n\r\n<html>gone</html>");
        QCOMPARE(p->imgCam->picture(), f.window->notFoundPicture());
        QCOMPARE(QByteArray::fromStdString(p->lastModified), QByteArray("Last-Modified: A"));
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        fetchOnce(f, "no header end at all");
        QCOMPARE(p->imgCam->picture(), f.window->notFoundPicture());
    }

    void unreadableBodiesKeepThePreviousPicture_data() {
        QTest::addColumn<QByteArray>("answer");
        const QByteArray jpeg = jpegOf(Qt::blue);
        QTest::newRow("error page saying image/")
            << QByteArray("HTTP/1.1 500 Oops\r\nContent-Type: text/html\r\nX-Hint: "
                          "image/jpeg\r\n\r\n<h1>500</h1>");
        QTest::newRow("truncated JPEG")
            << imageResponse(jpeg).left(imageResponse(jpeg).size() - 40);
        QTest::newRow("shorter than announced")
            << ("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 99999\r\n\r\n" +
                jpeg);
        QTest::newRow("truncated GIF") << imageResponse(tinyGif.chopped(1), {}, "image/gif");
        QTest::newRow("chunked") << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n"
                                               "Transfer-Encoding: chunked\r\n\r\n10\r\n" +
                                               jpeg.left(16) + "\r\n0\r\n\r\n");
        QTest::newRow("XML body") << imageResponse("<?xml version=\"1.0\"?><error/>");
        QByteArray huge = jpegOf(Qt::blue);
        huge[huge.indexOf("\xff\xc0") + 5] = char(0x75); // height 30000
        huge[huge.indexOf("\xff\xc0") + 6] = char(0x30);
        huge[huge.indexOf("\xff\xc0") + 7] = char(0x75); // width 30000
        huge[huge.indexOf("\xff\xc0") + 8] = char(0x30);
        QTest::newRow("30000 x 30000") << imageResponse(huge);
    }
    void unreadableBodiesKeepThePreviousPicture() {
        QFETCH(QByteArray, answer);
        WindowFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        CamPanel* p = f.window->panel(0);
        fetchOnce(f, imageResponse(jpegOf(Qt::red)));
        const QImage before = p->imgCam->picture();
        fetchOnce(f, answer);
        QCOMPARE(p->imgCam->picture(), before);
        fetchOnce(f, imageResponse(jpegOf(Qt::green))); // and the next good one shows
        QVERIFY(sameColour(p->imgCam->picture().pixel(5, 5), Qt::green));
    }

    void picturesAreToldByTheirBytes() {
        WindowFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        CamPanel* p = f.window->panel(0);
        fetchOnce(f, imageResponse(pngOf(Qt::yellow), {}, "image/jpeg"));
        QCOMPARE(p->imgCam->picture().size(), QSize(20, 10));
        fetchOnce(f, imageResponse(tinyGif, {}, "image/gif"));
        QCOMPARE(p->imgCam->picture().size(), QSize(1, 1));
        // the selected panel's picture goes to the viewer too
        QCOMPARE(f.window->imgMain->picture().size(), QSize(1, 1));
    }

    void aReusedPanelInheritsTheLineAndItsFirstPictureIsNew() {
        WindowFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"},
                                 {"Other", "http://" + server->address("/o.jpg"), "300"}}));
        f.window->chkSave->setChecked(true);
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        CamPanel* p = f.window->panel(0);
        p->cmdStop_Click();
        server->setScript(
            ScriptedServer::answer(imageResponse(jpegOf(Qt::blue), "Last-Modified: B")));
        f.start("Other");
        QCOMPARE(p->txtUpdated, QByteArray(" A")); // until its own first picture
        QTRY_COMPARE(p->txtUpdated, QByteArray(" B"));
        QVERIFY(p->pictureChanged);
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
        WindowFixture f(camList({{name, "http://" + server->address("/c.jpg"), "300"}}));
        f.window->chkSave->setChecked(true);
        server->setScript(
            ScriptedServer::answer(imageResponse(jpegOf(Qt::red), "Last-Modified: A")));
        f.start(QString::fromUtf8(name));
        CamPanel* p = f.window->panel(0);
        QTRY_VERIFY(!p->txtUpdated.isEmpty());
        server->setScript(
            ScriptedServer::answer(imageResponse(jpegOf(Qt::blue), "Last-Modified: B")));
        p->cmdRefresh_Click();
        QTRY_COMPARE(savedPictures(f).size(), 1);
        const QStringList outside = QDir(f.box.programFolder()).entryList(QDir::Files);
        QCOMPARE(outside, QStringList{"00camlist.txt"});
        QVERIFY(f.window->statusText().contains("new picture saved as"));
    }

    void readOnlyCamFolderIsReported() {
        WindowFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        f.window->chkSave->setChecked(true);
        fetchOnce(f, imageResponse(jpegOf(Qt::red), "Last-Modified: A"));
        ReadOnlyFolder readOnly(f.box.path("cam"));
        fetchOnce(f, imageResponse(jpegOf(Qt::blue), "Last-Modified: B"));
        QVERIFY(f.window->statusText().contains("could not be saved"));
        QVERIFY(!f.window->statusText().contains("new picture saved as"));
        QVERIFY(sameColour(f.window->panel(0)->imgCam->picture().pixel(5, 5), Qt::blue));
    }

    void noTemporaryFolderShowsNothingNewAndRecovers() {
        WindowFixture f(camList({{"Cam", "http://" + server->address("/c.jpg"), "300"}}));
        fetchOnce(f, imageResponse(jpegOf(Qt::red)));
        qputenv("TMPDIR", QFile::encodeName(temporary->path() + "/missing"));
        fetchOnce(f, imageResponse(jpegOf(Qt::blue)));
        QVERIFY(sameColour(f.window->panel(0)->imgCam->picture().pixel(5, 5), Qt::red));
        qputenv("TMPDIR", QFile::encodeName(temporary->path()));
        fetchOnce(f, imageResponse(jpegOf(Qt::blue)));
        QVERIFY(sameColour(f.window->panel(0)->imgCam->picture().pixel(5, 5), Qt::blue));
    }

    void networkTimeIsShownFromAWholeAnswer() {
        WindowFixture f(camList({}));
        ScriptedServer daytime;
        ScriptedServer::Script script =
            ScriptedServer::answer("\n60652 26-12-06 10:24:37 00 0 0 50.0 UTC(NIST) * \n");
        script.waitForRequest = false;
        daytime.setScript(script);
        f.window->setTimeServer("127.0.0.1", daytime.port());
        f.window->RequestNetworkTime();
        QTRY_COMPARE(f.window->lblTime->text(), QString("12/6/26 10:24:37 AM GMT"));

        f.window->RequestNetworkTime(); // within four seconds: nobody is asked
        QTest::qWait(200);
        QCOMPARE(daytime.connections, 1);
    }

    void splitOrBadDaytimeAnswersChangeNothing() {
        WindowFixture f(camList({}));
        ScriptedServer daytime;
        ScriptedServer::Script script;
        script.steps = {{"\n60652 26-12-06 10:2", 0}, {"4:37 00 0 0 50.0 UTC(NIST) *\n", 100}};
        script.waitForRequest = false;
        daytime.setScript(script);
        f.window->setTimeServer("127.0.0.1", daytime.port());
        f.window->lblTime->setText("before");
        f.window->RequestNetworkTime();
        QTRY_COMPARE(daytime.connections, 1);
        QTest::qWait(400);
        QCOMPARE(f.window->lblTime->text(), QString("before"));
    }
};

QTEST_MAIN(CompletionTest)
#include "test_completion.moc"
