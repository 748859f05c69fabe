// Servers that misbehave in every way seen in the wild. Whatever they send, the program goes
// on: its timers keep ticking, a panel's buffer stays within its bound, and the panel shows a
// picture again at the next cycle once its server behaves. Each case waits for the hostile
// fetch to settle, not for a fixed time.
#include "engine/addresstest.h"
#include "panelsfixture.h"
#include "pictures.h"
#include "scriptedserver.h"

#include "engine/camfollower.h"
#include "engine/sourceregistry.h"
#include "testmain.h"
#include <QBuffer>
#include <QImageWriter>
#include <QSignalSpy>

#include <QTest>
#include <QTimer>
#include <optional>

Q_DECLARE_METATYPE(ScriptedServer::Script)

namespace {

QByteArray jpeg(int width = 40, int height = 30, bool progressive = false) {
    return encodedPicture(filledPicture(qRgb(30, 140, 90), width, height), "JPEG", -1, progressive);
}

QByteArray ok(const QByteArray& body, const QByteArray& headers = "Content-Type: image/jpeg\r\n") {
    return "HTTP/1.1 200 OK\r\n" + headers + "\r\n" + body;
}

ScriptedServer::Script once(const QByteArray& bytes) {
    return ScriptedServer::answer(bytes);
}

ScriptedServer::Script never(const QByteArray& first, const QByteArray& repeated = {}) {
    ScriptedServer::Script script;
    script.steps = {{first, 0}};
    if (!repeated.isEmpty()) {
        script.steps.append({repeated, 0});
        script.endless = true;
    }
    script.closeAfter = false;
    return script;
}

QByteArray declaringSize(QByteArray jpegBytes, int width, int height) {
    const qsizetype sof = jpegBytes.indexOf("\xff\xc0");
    jpegBytes[sof + 5] = char(height >> 8);
    jpegBytes[sof + 6] = char(height & 255);
    jpegBytes[sof + 7] = char(width >> 8);
    jpegBytes[sof + 8] = char(width & 255);
    return jpegBytes;
}

QByteArray manyScans(int scans) {
    const QByteArray base = jpeg(16, 16, true);
    const qsizetype sos = base.indexOf("\xff\xda");
    QByteArray bytes = base.left(sos);
    for (int i = 0; i < scans; ++i)
        bytes += QByteArray("\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00\x55", 11);
    return bytes + "\xff\xd9";
}

} // namespace

class HostileTest : public QObject {
    Q_OBJECT
  private slots:
    void serversThatMisbehave_data() {
        QTest::addColumn<ScriptedServer::Script>("script");
        QTest::addColumn<QString>("address"); // empty: the scripted server

        const QByteArray good = jpeg();
        QTest::newRow("headers that never end")
            << never("HTTP/1.1 200 OK\r\n", "X-More: yes\r\n") << QString();
        QTest::newRow("one 100 KB header line")
            << once("HTTP/1.1 200 OK\r\nX-Long: " + QByteArray(100 * 1024, 'a') + "\r\n\r\n" + good)
            << QString();
        QByteArray lines = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n";
        for (int i = 0; i < 10000; ++i)
            lines += "X-Line: " + QByteArray::number(i) + "\r\n";
        QTest::newRow("10,000 header lines") << once(lines + "\r\n" + good) << QString();
        QTest::newRow("LF-only line ends")
            << once("HTTP/1.1 200 OK\nContent-Type: image/jpeg\n\n" + good) << QString();
        QTest::newRow("header line without a colon")
            << once(ok(good, "Content-Type: image/jpeg\r\nthis line has no colon\r\n"))
            << QString();
        QTest::newRow("body shorter than Content-Length")
            << once(ok(good.left(100), "Content-Type: image/jpeg\r\nContent-Length: 5000\r\n"))
            << QString();
        QTest::newRow("extra bytes after the body")
            << once(
                   ok(good + QByteArray(5000, 'x'), "Content-Type: image/jpeg\r\nContent-Length: " +
                                                        QByteArray::number(good.size()) + "\r\n"))
            << QString();
        QTest::newRow("no Content-Length") << once(ok(good)) << QString();
        for (const char* length : {"-5", "12abc", "1000000000000"})
            QTest::addRow("Content-Length %s", length)
                << once(ok(good, "Content-Type: image/jpeg\r\nContent-Length: " +
                                     QByteArray(length) + "\r\n"))
                << QString();
        QTest::newRow("Content-Length twice")
            << once(ok(
                   good,
                   "Content-Type: image/jpeg\r\nContent-Length: 7\r\nContent-Length: 900000\r\n"))
            << QString();
        QTest::newRow("chunked")
            << once(ok("10\r\n" + good.left(16) + "\r\n0\r\n\r\n",
                       "Content-Type: image/jpeg\r\nTransfer-Encoding: chunked\r\n"))
            << QString();
        QTest::newRow("chunked with Content-Length")
            << once(ok("10\r\n" + good.left(16) + "\r\n0\r\n\r\n",
                       "Content-Type: image/jpeg\r\nTransfer-Encoding: chunked\r\nContent-Length: "
                       "25\r\n"))
            << QString();
        QTest::newRow("headers then silence")
            << never("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 9999\r\n\r\n")
            << QString();
        ScriptedServer::Script slow = ScriptedServer::answer(ok(good), 1, 1000);
        slow.closeAfter = false;
        QTest::newRow("one byte a second") << slow << QString();
        QTest::newRow("ignores Connection: close") << never(ok(good)) << QString();
        QTest::newRow("endless body")
            << never("HTTP/1.1 200 OK\r\n\r\n", QByteArray(256 * 1024, 'z')) << QString();
        QTest::newRow("refused port")
            << ScriptedServer::Script{} << QString("http://127.0.0.1:1/c.jpg");
        QTest::newRow("unresolvable host")
            << ScriptedServer::Script{} << QString("http://no-such-host.invalid/c.jpg");
        ScriptedServer::Script hangUp;
        hangUp.waitForRequest = false;
        QTest::newRow("closes at once") << hangUp << QString();
        QTest::newRow("speaks no HTTP")
            << once(QByteArray("\x00\x01\x02 SSH-2.0-OpenSSH\r\n garbage", 30)) << QString();
        QTest::newRow("HTTP/0.9, a body without headers") << once(good) << QString();
        for (const char* status :
             {"401 Unauthorized", "404 Not Found", "500 Internal Server Error"})
            QTest::addRow("%s", status) << once("HTTP/1.1 " + QByteArray(status) +
                                                "\r\nContent-Type: text/html\r\n\r\n<html><h1>" +
                                                QByteArray(status) + "</h1></html>")
                                        << QString();
        QTest::newRow("image/jpeg with an XML body")
            << once(ok("<?xml version=\"1.0\"?><Error><Code>AccessDenied</Code></Error>"))
            << QString();
        QTest::newRow("JPEG declaring 65500 x 65500")
            << once(ok(declaringSize(good, 65500, 65500))) << QString();
        QTest::newRow("progressive JPEG, thousands of scans")
            << once(ok(manyScans(5000))) << QString();
        QTest::newRow("truncated JPEG") << once(ok(good.left(good.size() / 2))) << QString();
        QTest::newRow("truncated GIF")
            << once(ok(tinyGif.chopped(3), "Content-Type: image/gif\r\n")) << QString();
        QTest::newRow("truncated PNG")
            << once(ok(pngOf(Qt::yellow, 40, 30).chopped(20), "Content-Type: image/png\r\n"))
            << QString();
        QTest::newRow("a redirect") << once("HTTP/1.1 302 Found\r\nLocation: "
                                            "http://127.0.0.1/elsewhere.jpg\r\nContent-Type: "
                                            "text/html\r\n\r\n<a href=\"/elsewhere.jpg\">moved</a>")
                                    << QString();
    }

    void serversThatMisbehave() {
        QFETCH(ScriptedServer::Script, script);
        QFETCH(QString, address);
        ScriptedServer server;
        server.setScript(script);
        const QString goodAddress = "http://" + server.address("/c.jpg");
        PanelsFixture f(camList({{"Cam", address.isEmpty() ? goodAddress : address, "300"}}));
        CamFetcher* fetcher = f.fetcher(0);
        int outcomes = 0;
        connect(fetcher, &CamFetcher::pictureArrived, this, [&] { ++outcomes; });
        connect(fetcher, &CamFetcher::notAPicture, this, [&] { ++outcomes; });
        connect(fetcher, &CamFetcher::problem, this, [&] { ++outcomes; });
        qsizetype scripted = 0;
        for (const ScriptedServer::Step& step : script.steps)
            scripted += step.bytes.size();

        size_t largestBuffer = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, &watch, [&] {
            largestBuffer = std::max(largestBuffer, fetcher->response().received().size());
        });
        watch.start(5);

        f.start("Cam");
        // The hostile cycle has settled once the fetch came to an end, failed quietly, or the
        // server sent all it will send for now and the panel holds it.
        const auto received = [&] { return fetcher->response().received().size(); };
        QTRY_VERIFY_WITH_TIMEOUT(
            outcomes > 0 || fetcher->socketState() == 0 ||
                (!script.endless && server.scriptsPlayed > 0 && received() >= size_t(scripted)) ||
                (script.steps.size() > 100 && received() >= 2),
            10000);
        QVERIFY(largestBuffer <= maxResponseBytes);
        QVERIFY(f.engine->isRunning(0));
        QVERIFY(fetcher->isCounting());

        // the next cycle, with a server that behaves
        server.setScript(ScriptedServer::answer(ok(jpeg(64, 48))));
        fetcher->setRecord("Cam", goodAddress.toUtf8(), "300");
        QSignalSpy loaded(f.engine, &CamEngine::pictureShown);
        f.engine->refreshNow(0);
        QTRY_COMPARE_WITH_TIMEOUT(pictureOf(f.panel(0)).size(), QSize(64, 48), 5000);
    }

    // The add dialog's "Test" meets the same servers: it always reports, within its bounds,
    // and the window goes on meanwhile.
    void theTestButtonWithstandsThem_data() { serversThatMisbehave_data(); }

    void theTestButtonWithstandsThem() {
        QFETCH(ScriptedServer::Script, script);
        QFETCH(QString, address);
        ScriptedServer server;
        server.setScript(script);
        const SourceRegistry kinds;
        AddressTest test(kinds, {});
        std::optional<AddressReport> report;
        test.check((address.isEmpty() ? "http://" + server.address("/c.jpg") : address).toUtf8(),
                   "2", [&](const AddressReport& r) { report = r; });
        const auto* fetcher = qobject_cast<CamFetcher*>(test.source());
        QTRY_VERIFY_WITH_TIMEOUT(report.has_value(), 10000);
        QVERIFY(!report->headline.isEmpty());
        QVERIFY(fetcher->response().received().size() <= maxResponseBytes);
        QVERIFY(!fetcher->isCounting());
    }
};

WEBCAMS_TEST(HostileTest)
#include "test_hostile.moc"
