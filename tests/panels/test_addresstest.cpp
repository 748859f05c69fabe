// The dialogs' "Test": one fetch by a panel's own code, reported in words; and the rate at which
// a cam's picture really changes, learned from its fetches.
#include "config/certificatepins.h"
#include "engine/addresstest.h"
#include "engine/camengine.h"
#include "engine/changerate.h"
#include "net/camfetcher.h"
#include "net/camsocket.h"
#include "panels/campanel.h"

#include "camlistbytes.h"
#include "certificates.h"
#include "engine/camfollower.h"
#include "engine/sourceregistry.h"
#include "net/camfetcher.h"
#include "panelsfixture.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>
#include <optional>

namespace {

const SourceRegistry& registry() {
    static const SourceRegistry kinds;
    return kinds;
}

// Runs one check and waits for its report.
std::optional<AddressReport> checked(AddressTest& test, const QString& address,
                                     const QByteArray& refresh = "5") {
    std::optional<AddressReport> report;
    test.check(address.toUtf8(), refresh, [&](const AddressReport& r) { report = r; });
    (void)QTest::qWaitFor([&] { return report.has_value(); }, 15000);
    return report;
}

bool hasFact(const AddressReport& report, const QString& start) {
    return std::any_of(report.facts.begin(), report.facts.end(),
                       [&](const QString& fact) { return fact.startsWith(start); });
}

// A cam whose picture changes every `period` seconds, asked every `refresh` seconds for
// `seconds`; `lastModified`: the server says when it changed.
ChangeRate polled(int period, int refresh, int seconds, bool lastModified, int start = 1000) {
    ChangeRate rate;
    int64_t shown = -1;
    for (int64_t now = start; now < start + seconds; now += refresh) {
        const int64_t changed = now / period * period;
        rate.observe(now, lastModified ? std::optional<int64_t>(changed) : std::nullopt,
                     changed != shown);
        shown = changed;
    }
    return rate;
}

} // namespace

class AddressCheckTest : public QObject {
    Q_OBJECT
  private slots:
    void aGoodCamIsDescribed() {
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse(
            jpegOf(Qt::red, 320, 240), "image/jpeg",
            "Last-Modified: Mon, 07 Dec 2026 10:00:00 GMT\r\nETag: \"7\"\r\n")));
        AddressTest test(registry(), {});
        const auto report = checked(test, "http://" + server.address("/cam.jpg"));
        QVERIFY(report);
        QVERIFY(report->ok);
        QCOMPARE(report->headline, QString("A JPEG of 320 x 240"));
        QVERIFY(hasFact(*report, "Status: HTTP 200"));
        QVERIFY(hasFact(*report, "Redirects followed: none"));
        QVERIFY(hasFact(*report, "Connection: plain HTTP"));
        QVERIFY(hasFact(*report, "Content type: image/jpeg"));
        QVERIFY(hasFact(*report, "Last-Modified: sent (Mon, 07 Dec 2026 10:00:00 GMT)"));
        QVERIFY(hasFact(*report, "ETag: sent"));
        QVERIFY(hasFact(*report, "Time taken:"));
        QVERIFY(!report->preview.isNull());
        QVERIFY(report->preview.width() <= 160 && report->preview.height() <= 120);
        QVERIFY(!qobject_cast<CamFetcher*>(test.source())->isCounting()); // one fetch, no cycle
    }

    void redirectsAndErrorsAreSaid() {
        ScriptedServer server;
        server.setRoute([&server](const QByteArray& request) {
            if (request.startsWith("GET /old.jpg"))
                return ScriptedServer::answer("HTTP/1.1 301 Moved\r\nLocation: /gone.jpg\r\n\r\n");
            return ScriptedServer::answer("HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n"
                                          "\r\n<h1>Not Found</h1>");
        });
        AddressTest test(registry(), {});
        const auto report = checked(test, "http://" + server.address("/old.jpg"));
        QVERIFY(report);
        QVERIFY(!report->ok);
        QVERIFY(report->headline.contains("HTTP 404"));
        QVERIFY(hasFact(*report, "Redirects followed: 1"));
        QVERIFY(hasFact(*report, "Content type: text/html"));
        QVERIFY(report->preview.isNull());

        // "image/jpeg" on something that is no picture
        server.setRoute({});
        server.setScript(ScriptedServer::answer(
            ScriptedServer::okResponse(jpegOf(Qt::red).left(20), "image/jpeg")));
        AddressTest broken(registry(), {});
        const auto damaged = checked(broken, "http://" + server.address("/cut.jpg"));
        QVERIFY(damaged && !damaged->ok);
        QVERIFY(damaged->headline.contains("cannot be shown"));

        // a picture sent with an error status: described, with its status
        server.setScript(ScriptedServer::answer(
            "HTTP/1.1 404 Not Found\r\nContent-Type: image/jpeg\r\n\r\n" + jpegOf(Qt::red)));
        AddressTest erring(registry(), {});
        const auto withError = checked(erring, "http://" + server.address("/404.jpg"));
        QVERIFY(withError && !withError->ok);
        QCOMPARE(withError->headline, QString("A JPEG of 40 x 30, but with HTTP 404"));
        QVERIFY(!withError->preview.isNull());

        AddressTest refused(registry(), {});
        const auto nobody = checked(refused, "http://127.0.0.1:1/cam.jpg");
        QVERIFY(nobody && !nobody->ok);
        QVERIFY(nobody->headline.startsWith("The server could not be reached"));
        AddressTest unusable(registry(), {});
        const auto odd = checked(unusable, "ftp://cams.example/cam.jpg");
        QVERIFY(odd && !odd->ok);
        QCOMPARE(odd->headline, QString("This address cannot be fetched"));
    }

    void certificatesAreChecked() {
        const TestIdentity selfSigned = makeCertificate(CertificateOrder{});
        ScriptedServer server(selfSigned);
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse(jpegOf(Qt::blue))));
        AddressTest untrusted(registry(), {});
        const auto report = checked(untrusted, "https://" + server.address("/cam.jpg"));
        QVERIFY(report && !report->ok);
        QVERIFY(report->headline.startsWith("The certificate is not trusted"));
        // in the form the trust question shows it
        const QByteArray fingerprint = CamSocket::fingerprintOf(selfSigned.certificate);
        QVERIFY(hasFact(*report, "SHA-256 fingerprint:\n" + ReadableFingerprint(fingerprint)));

        // trusted by the user for this cam: accepted, and said so

        AddressTest pinned(registry(), [&](const QString&) { return fingerprint; });
        const auto trusted = checked(pinned, "https://" + server.address("/cam.jpg"));
        QVERIFY(trusted && trusted->ok);
        QVERIFY(hasFact(*trusted, "Connection: TLS, with the certificate you trust"));
    }

    void aDroppedTestReportsNothing() {
        ScriptedServer server;
        ScriptedServer::Script silent = ScriptedServer::answer("HTTP/1.1 200 OK\r\n");
        silent.closeAfter = false;
        server.setScript(silent);
        bool reported = false;
        {
            AddressTest test(registry(), {});
            test.check(("http://" + server.address("/cam.jpg")).toUtf8(), "5",
                       [&](const AddressReport&) { reported = true; });
            QTRY_VERIFY(server.connections > 0);
        }
        QCoreApplication::processEvents(); // whatever was on its way
        QVERIFY(!reported);
    }

    void theChangeRateIsLearned() {
        // a cam that changes every 7 s, asked every 1, 3 and 5 s, with and without
        // Last-Modified: within 20 %
        for (int refresh : {1, 3, 5})
            for (bool lastModified : {true, false}) {
                const ChangeRate rate = polled(7, refresh, 120, lastModified);
                QVERIFY(rate.intervalSeconds());
                QVERIFY2(std::abs(*rate.intervalSeconds() - 7) <= 1.4,
                         qPrintable(QString("refresh %1, Last-Modified %2: %3 s")
                                        .arg(refresh)
                                        .arg(lastModified)
                                        .arg(*rate.intervalSeconds())));
                QCOMPARE(rate.text(), std::string("changes about every 7 s"));
            }
        // too little seen yet
        QVERIFY(polled(7, 1, 10, true).text().empty());
        // asked more slowly than it changes: every fetch is new, and it may be faster
        const ChangeRate slow = polled(7, 10, 120, false);
        QVERIFY(slow.newAtEveryFetch());
        QVERIFY(slow.text().find("or faster") != std::string::npos);
        // minutes and hours
        QCOMPARE(polled(300, 30, 3600, true).text(), std::string("changes about every 5 min"));
        QCOMPARE(polled(7200, 600, 40000, true).text(), std::string("changes about every 2 h"));
        // without server times, the first picture only starts the watch
        ChangeRate seen;
        for (int64_t moment : {0, 7, 14, 21})
            seen.observe(moment, std::nullopt, true);
        QVERIFY(!seen.intervalSeconds());
        seen.observe(28, std::nullopt, true);
        QCOMPARE(seen.intervalSeconds(), std::optional<int>(7));
        // nonsense server times give a day at the most
        ChangeRate nonsense;
        for (int64_t moment : {int64_t(0), int64_t(1), int64_t(2), int64_t(7'000'000'000)})
            nonsense.observe(100, moment, true);
        QCOMPARE(nonsense.intervalSeconds(), std::optional<int>(86400));
        // a clock that goes back, and the same change reported again, count once
        ChangeRate odd;
        for (int64_t moment : {100, 100, 90, 110, 120, 130})
            odd.observe(moment, moment, true);
        QCOMPARE(odd.intervalSeconds(), std::optional<int>(10));
        odd.reset();
        QVERIFY(!odd.intervalSeconds());
    }
};

// The learned rate goes from the fetches of a running panel to the viewer's details.
class LearnedRateTest : public QObject {
    Q_OBJECT
  private slots:
    void aPanelLearnsItsCamsRate() {
        ScriptedServer server;
        int served = 0;
        const QDateTime first(QDate(2026, 12, 7), QTime(9, 0, 0), Qt::UTC);
        server.setRoute([&](const QByteArray&) {
            // a new picture at every request, made 7 s after the one before
            const QByteArray modified =
                first.addSecs(7 * served).toString("ddd, dd MMM yyyy hh:mm:ss 'GMT'").toLatin1();
            ++served;
            return ScriptedServer::answer(
                ScriptedServer::okResponse(jpegOf(QColor(served * 20 % 255, 90, 40)), "image/jpeg",
                                           "Last-Modified: " + modified + "\r\n"));
        });
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "300"}}));
        f.start("Cam");
        f.selection().follow(0);
        QString rate;
        connect(&f.selection(), &CamFollower::detailsChanged, this,
                [&](const CamDetails& details) { rate = details.updateRate; });
        for (int fetch = 1; fetch <= 5; ++fetch) {
            QTRY_VERIFY_WITH_TIMEOUT(served == fetch && f.engine->isSettled(0), 5000);
            if (fetch == 3)
                QVERIFY(rate.isEmpty()); // three changes tell too little
            f.engine->refreshNow(0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(rate,
                                  QString("changes at every refresh, about every 7 s or "
                                          "faster"),
                                  5000);
        QCOMPARE(f.rates->rateOf("Cam")->intervalSeconds(), std::optional<int>(7));
        QVERIFY(!f.rates->rateOf("Other"));
        // a click shows what the place knows at once: its rate and its picture's age
        QSignalSpy clicked(&f.selection(), &CamFollower::followed);
        QSignalSpy age(&f.selection(), &CamFollower::age);
        f.selection().follow(0);
        QCOMPARE(clicked[0][2].value<CamDetails>().updateRate, rate);
        QCOMPARE(age.size(), 1);

        f.engine->stopCam(0); // a stopped panel forgets
        QVERIFY(!f.rates->rateOf("Cam"));
    }

    void aPictureShownAgainIsNoChange() {
        // the same picture, with error pages between: after each one the panel shows the
        // picture again, but it has not changed
        ScriptedServer server;
        int served = 0;
        const QByteArray picture = jpegOf(Qt::darkGreen);
        server.setRoute([&](const QByteArray&) {
            return ScriptedServer::answer(
                served++ % 2 == 0
                    ? ScriptedServer::okResponse(picture)
                    : QByteArray("HTTP/1.1 503 Busy\r\nContent-Type: text/html\r\n\r\nbusy"));
        });
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "300"}}));
        int64_t now = 1000;
        f.engine->setClock([&now] { return now; });
        f.start("Cam");
        for (int fetch = 1; fetch <= 10; ++fetch) {
            QTRY_VERIFY_WITH_TIMEOUT(served == fetch && f.engine->isSettled(0), 5000);
            now += 10;
            f.engine->refreshNow(0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(served == 11 && f.engine->isSettled(0), 5000);
        QVERIFY(!f.rates->rateOf("Cam")->intervalSeconds());
    }
};

WEBCAMS_TEST(AddressCheckTest)
WEBCAMS_TEST(LearnedRateTest)

#include "test_addresstest.moc"
