// Fetching as the web is today, against scripted servers: redirects, status codes, conditional
// requests and 304, bodies framed by their length or in chunks, pictures told by their bytes,
// the panel's freshness mark, and the retry schedule after failures.
#include "engine/addresstest.h"

#include "engine/camfollower.h"
#include "engine/sourceregistry.h"
#include "onecamfixture.h"
#include "panelsfixture.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

namespace {

QByteArray response(const QByteArray& status, const QByteArray& headers, const QByteArray& body) {
    return "HTTP/1.1 " + status + "\r\n" + headers +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray picture(const QByteArray& body, const QByteArray& extra = {}) {
    return response("200 OK", "Content-Type: image/jpeg\r\n" + extra, body);
}

QByteArray redirect(int code, const QByteArray& location) {
    return response(QByteArray::number(code) + " Moved", "Location: " + location + "\r\n", {});
}

} // namespace

class ModernFetchTest : public QObject {
    Q_OBJECT
  private slots:
    void aKeepAliveServerCompletesAtItsLength() {
        OneCam f;
        ScriptedServer::Script script = ScriptedServer::answer(picture(jpegOf(Qt::red)));
        script.closeAfter = false; // the server keeps the connection open
        f.server.setScript(script);
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        f.start("Cam");
        QVERIFY(shown.wait(3000));                // long before the 300 s interval
        QCOMPARE(f.fetcher(0)->socketState(), 0); // the program closed it
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(40, 30));
    }

    void chunkedBodiesAreDecoded() {
        OneCam f;
        const QByteArray jpeg = jpegOf(Qt::green);
        QByteArray chunked;
        for (qsizetype at = 0; at < jpeg.size(); at += 100) {
            const QByteArray part = jpeg.mid(at, 100);
            chunked += QByteArray::number(part.size(), 16) + ";n=1\r\n" + part + "\r\n";
        }
        chunked += "0\r\nX-Trailer: 1\r\n\r\n";
        ScriptedServer::Script script = ScriptedServer::answer(
            "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nTransfer-Encoding: chunked\r\n\r\n" +
                chunked,
            333, 5);
        script.closeAfter = false; // whole at its final chunk
        f.server.setScript(script);
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        f.start("Cam");
        QVERIFY(shown.wait(3000));
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(40, 30));
    }

    void brokenChunksKeepThePictureAndSaySo_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("why");
        QTest::newRow("ffffffffffffffff") << QByteArray("ffffffffffffffff\r\nxx") << "too large";
        QTest::newRow("-1") << QByteArray("-1\r\nxx") << "not a number";
        QTest::newRow("1x") << QByteArray("1x\r\nxx") << "not a number";
        QTest::newRow("100 KB extension") << ("4;" + QByteArray(100 * 1024, 'e') + "\r\nabcd\r\n") << "line too long";
        QTest::newRow("missing final chunk") << QByteArray("4\r\nabcd\r\n") << "cut short";
        // clang-format on
    }
    void brokenChunksKeepThePictureAndSaySo() {
        QFETCH(QByteArray, body);
        QFETCH(QString, why);
        OneCam f;
        f.fetch(picture(jpegOf(Qt::red)));
        const QImage before = pictureOf(f.panel(0));
        f.fetch(
            "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nTransfer-Encoding: chunked\r\n\r\n" +
            body);
        QCOMPARE(pictureOf(f.panel(0)), before);
        QVERIFY2(f.status.contains(why), qPrintable(f.status));
        QCOMPARE(f.panel(0)->stateMark(), Freshness::Error);
    }

    void endlessChunksAreCutAtTheBound() {
        OneCam f;
        ScriptedServer::Script script;
        script.steps = {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", 0},
                        {"100000\r\n" + QByteArray(0x100000, 'z') + "\r\n", 0}};
        script.endless = true;
        f.server.setScript(script);
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(f.status.contains("too large"), 20000);
        QVERIFY(f.fetcher(0)->response().decoded.size() <= maxResponseBytes);
    }

    void validatorsComeBackAndA304KeepsThePicture() {
        OneCam f;
        f.autoSave->setOn(true);
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        QDateTime now(QDate(2026, 12, 7), QTime(10, 0, 0));
        f.fetcher(0)->setClock([&now] { return now; });
        f.fetch(picture(jpegOf(Qt::red), "Last-Modified: Mon, 07 Dec 2026 09:00:00 GMT\r\n"
                                         "ETag: W/\"v1\"\r\n"));
        QCOMPARE(shown.size(), 1);
        // the first request is the plain one, byte for byte
        QVERIFY(!f.server.requests[0].contains("If-"));
        QVERIFY(f.server.requests[0].endsWith("Accept: */*\r\n\r\n"));
        const QString changed = QString::fromLocal8Bit(f.fetcher(0)->lastChanged());
        const QString refreshed = f.fetcher(0)->lastRefreshed();
        const QImage before = pictureOf(f.panel(0));

        now = now.addSecs(60);
        QSignalSpy fetching(&f.selection(), &CamFollower::fetching); // place 0 counts as selected
        f.fetch("HTTP/1.1 304 Not Modified\r\nETag: W/\"v1\"\r\nContent-Length: 5\r\n\r\nhello");
        QCOMPARE(fetching.last()[0].toBool(), false); // the full-screen indicator goes too

        const QByteArray second = f.server.requests[1];
        QVERIFY(second.contains("\r\nIf-Modified-Since: Mon, 07 Dec 2026 09:00:00 GMT\r\n"));
        QVERIFY(second.contains("\r\nIf-None-Match: W/\"v1\"\r\n"));
        QVERIFY(second.endsWith("\r\n\r\n"));
        QCOMPARE(shown.size(), 1); // nothing decoded, nothing shown anew
        QCOMPARE(pictureOf(f.panel(0)), before);
        QCOMPARE(QString::fromLocal8Bit(f.fetcher(0)->lastChanged()), changed);
        // an unchanged picture: Last Refreshed, when its time was first seen, stays
        QCOMPARE(f.fetcher(0)->lastRefreshed(), refreshed);

        QCOMPARE(f.panel(0)->stateMark(), Freshness::Unchanged);
        QVERIFY(QDir(f.box.path("cam")).entryList(QDir::Files).isEmpty());

        f.fetch(picture(jpegOf(Qt::blue))); // and a later picture still comes
        QCOMPARE(shown.size(), 2);
        QVERIFY(f.server.requests[2].contains("If-None-Match: W/\"v1\""));
    }

    void a304BeforeAnyPictureAsksPlainlyNextTime() {
        OneCam f;
        f.fetch("HTTP/1.1 304 Not Modified\r\n\r\n");
        QVERIFY(!f.panel(0)->hasPicture());
        f.fetch(picture(jpegOf(Qt::red), "ETag: \"a\"\r\n"));
        f.fetch("HTTP/1.1 304 Not Modified\r\n\r\n");
        QVERIFY(f.panel(0)->hasPicture());
        QVERIFY(f.server.requests[2].contains("If-None-Match: \"a\""));
    }

    void aCamStartedAgainAsksForItsPicture() {
        OneCam f;
        f.fetch(picture(jpegOf(Qt::red), "ETag: \"a\"\r\n"));
        f.engine->stopCam(0);
        f.fetch("HTTP/1.1 304 Not Modified\r\nETag: \"a\"\r\n\r\n");
        QVERIFY(!f.server.requests.last().contains("If-"));
    }

    void answersThatAreWholePicturesWhateverTheirFraming_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("answer");
        const QByteArray jpeg = jpegOf(Qt::red);
        const QByteArray length = "Content-Length: " + QByteArray::number(jpeg.size()) + "\r\n";
        const QByteArray type = "Content-Type: image/jpeg\r\n";
        QTest::newRow("100 Continue first") << "HTTP/1.1 100 Continue\r\n\r\n" + picture(jpeg);
        QTest::newRow("102 and 103 first") << "HTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </x>\r\n\r\n" + picture(jpeg);
        QTest::newRow("a field that only holds the name") << "HTTP/1.1 200 OK\r\n" + type + "X-Orig-Content-Length: 999999\r\n" + length + "\r\n" + jpeg;
        QTest::newRow("a length beside chunks") << "HTTP/1.1 200 OK\r\n" + type + "Content-Length: 999999\r\nTransfer-Encoding: " "chunked\r\n\r\n" + QByteArray::number(jpeg.size(), 16) + "\r\n" + jpeg + "\r\n0\r\n\r\n";
        QTest::newRow("padding after the picture") << "HTTP/1.1 200 OK\r\n" + type + "\r\n" + jpeg + QByteArray(1 << 20, '\0');
        // clang-format on
    }
    void answersThatAreWholePicturesWhateverTheirFraming() {
        QFETCH(QByteArray, answer);
        OneCam f;
        f.fetch(answer);
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(40, 30));
        QCOMPARE(f.engine->place(0).shownBody, jpegOf(Qt::red)); // nothing after its end is kept
        // and the Test button reads it as the panel does
        const SourceRegistry kinds;
        AddressTest test(kinds, {});
        std::optional<AddressReport> report;
        f.server.setScript(ScriptedServer::answer(answer));
        test.check(("http://" + f.server.address("/c.jpg")).toUtf8(), "5",
                   [&](const AddressReport& r) { report = r; });
        QTRY_VERIFY(report);
        QVERIFY2(report->ok, qPrintable(report->headline));
    }

    void sameBytesAreNotDecodedAgain() {

        OneCam f;
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        const QByteArray jpeg = jpegOf(Qt::red);
        f.fetch(picture(jpeg));
        f.fetch(picture(jpeg));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(f.panel(0)->stateMark(), Freshness::Unchanged);
        f.fetch(picture(jpegOf(Qt::green)));
        QCOMPARE(shown.size(), 2);
        QCOMPARE(f.panel(0)->stateMark(), Freshness::New);
    }

    void redirectsAreFollowedWithinTheCycle() {
        OneCam f("300", "/start.jpg");
        ScriptedServer second;
        second.setScript(ScriptedServer::answer(picture(jpegOf(Qt::blue))));
        f.server.setScript(ScriptedServer::answer(
            redirect(302, "http://" + second.address("/cams/../live/now.jpg").toUtf8())));
        QSignalSpy details(&f.selection(), &CamFollower::detailsChanged);
        QSignalSpy shown(f.engine, &CamEngine::pictureShown);
        f.start("Cam");
        QVERIFY(shown.wait(3000));
        QVERIFY(second.requests[0].startsWith("GET /live/now.jpg HTTP/1.1\r\n"));
        // the cam keeps the address typed; the details say where the picture came from
        QCOMPARE(f.fetcher(0)->address(), ("http://" + f.server.address("/start.jpg")).toUtf8());
        QCOMPARE(details.last()[0].value<CamDetails>().source,
                 "http://" + second.address("/live/now.jpg"));
    }

    void redirectsThatGoNowhere_data() {
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<QString>("why");
        QTest::newRow("file:") << QByteArray("file:///etc/passwd") << "file:";
        QTest::newRow("ftp:") << QByteArray("ftp://127.0.0.1/x.jpg") << "ftp:";
        QTest::newRow("javascript:") << QByteArray("javascript:alert(1)") << "javascript:";
        QTest::newRow("lone CR") << QByteArray("/a\rb.jpg") << "control";
        QTest::newRow("NUL") << QByteArray("/a\0b.jpg", 8) << "control";
        QTest::newRow("back to itself") << QByteArray("/c.jpg") << "loop";
    }
    void redirectsThatGoNowhere() {
        QFETCH(QByteArray, location);
        QFETCH(QString, why);
        OneCam f;
        f.fetch(redirect(301, location));
        QVERIFY2(f.status.contains(why), qPrintable(f.status));
        QCOMPARE(f.panel(0)->stateMark(), Freshness::Error);
        QVERIFY(f.panel(0)->stateTooltip().contains(why));
    }

    void fiveHopsAreFollowedAndNotASixth() {
        for (int hops : {5, 6}) {
            OneCam f("300", "/0.jpg");
            // "/n.jpg" redirects to "/n+1.jpg" until the picture at "/hops.jpg"
            f.server.setRoute([hops](const QByteArray& request) {
                const int asked = request.mid(5, request.indexOf(".jpg") - 5).toInt();
                return ScriptedServer::answer(
                    asked < hops ? redirect(307, "/" + QByteArray::number(asked + 1) + ".jpg")
                                 : picture(jpegOf(Qt::red)));
            });
            QSignalSpy shown(f.engine, &CamEngine::pictureShown);
            f.start("Cam");
            QTRY_VERIFY_WITH_TIMEOUT(f.engine->isSettled(0), 5000);
            if (hops == 5) {
                QTRY_COMPARE(shown.size(), 1);
            } else {
                QCOMPARE(shown.size(), 0);
                QVERIFY2(f.status.contains("more than 5 redirects"), qPrintable(f.status));
            }
        }
    }

    void errorCodesAreNamedInTheMark_data() {
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("404") << QByteArray("404 Not Found");
        QTest::newRow("503") << QByteArray("503 Service Unavailable");
        QTest::newRow("401") << QByteArray("401 Unauthorized");
    }
    void errorCodesAreNamedInTheMark() {
        QFETCH(QByteArray, status);
        OneCam f;
        f.fetch(response(status, "Content-Type: text/html\r\n", "<h1>no</h1>"));
        QCOMPARE(pictureOf(f.panel(0)), f.engine->notFoundPicture());
        QCOMPARE(f.panel(0)->stateMark(), Freshness::Error);
        QVERIFY(f.panel(0)->stateTooltip().contains("HTTP " + status.left(3)));
    }

    void theBodyIsTheAnnouncedBytesAndNothingElse() {
        OneCam f;
        QList<QByteArray> bodies;
        connect(f.fetcher(0), &CamFetcher::pictureArrived, this,
                [&](const FetchedPicture& fetched) { bodies << fetched.body; });
        const QByteArray red = jpegOf(Qt::red), blue = jpegOf(Qt::blue);
        f.fetch(picture(red));
        // bytes after the announced length are not part of the picture
        f.fetch(picture(blue) + "and some bytes more");
        QTRY_VERIFY(sameColour(pictureOf(f.panel(0)).pixel(5, 5), Qt::blue));
        // an answer with no body at all that calls itself a picture shows nothing new
        f.fetch("HTTP/1.1 204 No Content\r\nContent-Type: image/jpeg\r\n\r\n");
        QCOMPARE(bodies, QList<QByteArray>({red, blue, QByteArray()}));
        QVERIFY(sameColour(pictureOf(f.panel(0)).pixel(5, 5), Qt::blue));
        QCOMPARE(f.fetcher(0)->response().responseBuffer, QByteArray());
        // and the next picture is whole again, though the last ones' storage is reused
        f.fetch(picture(red));
        QCOMPARE(bodies.last(), red);
        QTRY_VERIFY(sameColour(pictureOf(f.panel(0)).pixel(5, 5), Qt::red));

        // a picture holds no more memory than its bytes need, whatever the server announced
        // or however it framed them
        f.fetch("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 8000000\r\n\r\n" +
                red);
        QCOMPARE(bodies.last(), red);
        QVERIFY(bodies.last().capacity() < 1024 * 1024);
        QByteArray chunked;
        const QByteArray extension = ";x=" + QByteArray(4000, 'e');
        for (const char byte : red)
            chunked += "1" + extension + "\r\n" + QByteArray(1, byte) + "\r\n";
        f.fetch(
            "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nTransfer-Encoding: chunked\r\n\r\n" +
            chunked + "0\r\n\r\n");
        QCOMPARE(bodies.last(), red);
        QVERIFY(bodies.last().capacity() < 1024 * 1024);
    }

    void picturesAreToldByTheirBytes() {
        OneCam f;
        f.fetch(response("200 OK", "Content-Type: application/octet-stream\r\n", jpegOf(Qt::red)));
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(40, 30));
        f.fetch(response("200 OK", "Content-Type: text/plain\r\n", pngOf(Qt::yellow)));
        QCOMPARE(pictureOf(f.panel(0)).size(), QSize(20, 10));
        // a cut picture without "image/" is no picture; an error page with picture bytes either
        f.fetch(response("200 OK", {}, jpegOf(Qt::blue).chopped(30)));
        QCOMPARE(pictureOf(f.panel(0)), f.engine->notFoundPicture());
        f.fetch(response("404 Not Found", {}, jpegOf(Qt::blue)));
        QCOMPARE(pictureOf(f.panel(0)), f.engine->notFoundPicture());
    }

    void failuresMakeTheNextAttemptWait() {
        OneCam f("10");
        QSignalSpy next(&f.selection(), &CamFollower::ticked);
        f.fetch(response("500 Oops", {}, "no"));
        QCOMPARE(f.fetcher(0)->waitSecs(), 20);
        f.fetch(response("500 Oops", {}, "no"));
        QCOMPARE(f.fetcher(0)->waitSecs(), 40);
        // the count goes on for 40 s; nothing is asked before
        const int asked = f.server.connections;
        for (int second = 1; second < 40; ++second)
            f.fetcher(0)->countSecond();
        QCOMPARE(next.last()[0].toString(), QString("1"));
        QCOMPARE(f.server.connections, asked);
        f.server.setScript(ScriptedServer::answer(picture(jpegOf(Qt::red))));
        f.fetcher(0)->countSecond(); // the 40th second: the next attempt
        QTRY_COMPARE(f.server.connections, asked + 1);
        QTRY_VERIFY(f.engine->isSettled(0));
        // the first success resets the schedule
        QCOMPARE(f.fetcher(0)->waitSecs(), 10);
        QCOMPARE(f.fetcher(0)->failures(), 0);
    }

    void retryAfterIsHonoured_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("retryAfter");
        QTest::addColumn<int>("wait");
        QTest::newRow("429, seconds") << QByteArray("429 Too Many") << QByteArray("120") << 120;
        QTest::newRow("503, a date") << QByteArray("503 Busy") << QByteArray("Mon, 07 Dec 2026 10:05:00 GMT") << 300;
        QTest::newRow("10^12") << QByteArray("503 Busy") << QByteArray("1000000000000") << 3600;
        QTest::newRow("-1, ignored") << QByteArray("503 Busy") << QByteArray("-1") << 20;
        QTest::newRow("past, ignored") << QByteArray("429 Too Many") << QByteArray("Mon, 07 Dec 2026 09:00:00 GMT") << 20;
        QTest::newRow("garbage, ignored") << QByteArray("429 Too Many") << QByteArray("soon") << 20;
        QTest::newRow("on a 500, ignored") << QByteArray("500 Oops") << QByteArray("120") << 20;
        // clang-format on
    }
    void retryAfterIsHonoured() {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, retryAfter);
        QFETCH(int, wait);
        OneCam f("10");
        const QDateTime now(QDate(2026, 12, 7), QTime(10, 0, 0), Qt::UTC);
        f.fetcher(0)->setClock([now] { return now; });
        f.fetch(response(status, "Retry-After: " + retryAfter + "\r\n", "busy"));
        QCOMPARE(f.fetcher(0)->waitSecs(), wait);
    }

    void theRefreshButtonAlwaysTriesAtOnce() {
        OneCam f("10");
        f.fetch(response("503 Busy", "Retry-After: 3000\r\n", "busy"));
        const int asked = f.server.connections;
        f.fetch(picture(jpegOf(Qt::red))); // the button, long before the wait is over
        QCOMPARE(f.server.connections, asked + 1);
        QCOMPARE(f.fetcher(0)->waitSecs(), 10);
    }

    void threeRefusedConnectionsMakeACamOffline() {
        PanelsFixture f(camList({{"Gone", "http://127.0.0.1:1/x.jpg", "300"}}));
        f.start("Gone");
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (attempt > 0)
                f.engine->refreshNow(0);
            QTRY_VERIFY(f.engine->isSettled(0));
            QCOMPARE(f.panel(0)->stateMark(), attempt < 2 ? Freshness::Error : Freshness::Offline);
        }
        QVERIFY(f.panel(0)->stateTooltip().contains("refused"));
    }

    void thePictureAgeShowsAndGrowsStale() {
        OneCam f("10");
        int64_t now = 1'000'000;
        f.engine->setClock([&now] { return now; });
        QSignalSpy age(&f.selection(), &CamFollower::age);
        f.fetch(picture(jpegOf(Qt::red)));
        QCOMPARE(f.panel(0)->stateMark(), Freshness::New);
        now += 12;
        f.fetcher(0)->countSecond();
        QVERIFY(f.panel(0)->stateTooltip().startsWith("12 s old"));
        QVERIFY(age.last()[0].toString().startsWith("12 s old"));
        now += 3 * 60;
        f.fetcher(0)->countSecond();
        QVERIFY(f.panel(0)->stateTooltip().startsWith("3 min old"));
        now += 10 * 60; // no new picture for ten minutes (more than ten intervals of 10 s)
        f.fetcher(0)->countSecond();
        QCOMPARE(f.panel(0)->stateMark(), Freshness::Stale);
    }

    void anAddressThatCannotBeFetchedSaysWhy() {
        PanelsFixture f(
            camList({{"Ftp", "ftp://127.0.0.1/x.jpg", "30"}, {"Bare", "https://bad host", "30"}}));
        f.start("Ftp");
        QVERIFY(f.status.contains("Ftp"));
        QVERIFY(f.status.contains("ftp://"));
        f.start("Bare");
        QVERIFY(f.status.contains("host"));
    }
};

WEBCAMS_TEST(ModernFetchTest)
#include "test_modern.moc"
