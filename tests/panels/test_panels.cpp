// The panel area: starting cams into panels, the refresh cycle as the panels show it, progress,
// stopping, the bounds of a reception, and 24 cams at once.
#include "engine/freshness.h"

#include "engine/camfollower.h"
#include "panelsfixture.h"
#include "scriptedserver.h"
#include "testmain.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace std::string_literals;

class PanelTest : public QObject {
    Q_OBJECT
  private slots:
    // An address that cannot be fetched connects nowhere and keeps counting; its mark turns
    // red with the reason, not blue for ever.
    void anUnusableAddressConnectsNowhereAndSaysWhy() {
        PanelsFixture f(camList({{"Bare", "http://bad host/x.jpg", "1"}}));
        f.start("Bare");
        QVERIFY(f.engine->isRunning(0));
        QVERIFY(!f.panel(0)->isFetching());
        QVERIFY(f.fetcher(0)->isCounting());
        QCOMPARE(f.fetcher(0)->socketState(), 0);
        QCOMPARE(f.panel(0)->stateMark(), Freshness::Error);
        QVERIFY(f.panel(0)->stateTooltip().contains("host"));
    }

    void progressShowsFromTheBatchAfterTheHeaders() {
        const QByteArray body(20000, 'b');
        const QByteArray all = "HTTP/1.1 200 OK\r\nContent-Length: 20000\r\n\r\n" + body;
        ScriptedServer server;
        ScriptedServer::Script script;
        // the header batch, then the body in four batches of 5000
        script.steps.append({all.left(all.size() - 20000), 0});
        for (int i = 0; i < 4; ++i)
            script.steps.append({body.mid(i * 5000, 5000), 60});
        script.closeAfter = false;
        server.setScript(script);
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/live/cam.jpg"), "30"}}));
        f.start("Cam");
        QTRY_COMPARE(f.status, QString("Downloading cam.jpg [25]"));
        QTRY_COMPARE(f.status, QString("Downloading cam.jpg [100]"));
        QCOMPARE(f.panel(0)->progress(), 100.0f);
        QCOMPARE(f.fetcher(0)->response().receivedBytes, 20000);
    }

    void emptyFileNameGivesTwoSpaces() {
        const QByteArray all = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
        ScriptedServer server;
        ScriptedServer::Script script;
        script.steps = {{all, 0}, {"12345", 30}, {"67890", 30}};
        server.setScript(script);
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/pics/"), "30"}}));
        f.start("Cam");
        QTRY_COMPARE(f.status, QString("Downloading  [100]"));
    }

    void missingOrBadLengthShowsNoProgress_data() {
        QTest::addColumn<QByteArray>("lengthLine");
        QTest::newRow("none") << QByteArray();
        QTest::newRow("no space") << QByteArray("Content-Length:10\r\n");
        QTest::newRow("negative") << QByteArray("Content-Length: -10\r\n");
        QTest::newRow("not a number") << QByteArray("Content-Length: 12abc\r\n");
    }
    void missingOrBadLengthShowsNoProgress() {
        QFETCH(QByteArray, lengthLine);
        ScriptedServer server;
        ScriptedServer::Script script;
        script.steps = {
            {"HTTP/1.1 200 OK\r\n" + lengthLine + "\r\n", 0}, {"12345", 30}, {"67890", 30}};
        server.setScript(script);
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "30"}}));
        f.start("Cam");
        QTRY_VERIFY(!f.panel(0)->isFetching()); // the fetch completed
        QCOMPARE(f.status, QString());
        QCOMPARE(f.panel(0)->progress(), 0.0f);
    }

    void oneByteAtATimeCompletes() {
        const QByteArray all = ScriptedServer::okResponse("abcdef");
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(all, 1, 1));
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "30"}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(!f.panel(0)->isFetching(), 10000);
        // the close split the response: the buffer keeps the body
        QCOMPARE(f.fetcher(0)->response().responseBuffer, QByteArray("abcdef"));
    }

    void serverThatNeverClosesIsAskedAgainAtExpiry() {
        ScriptedServer server;
        ScriptedServer::Script script = ScriptedServer::answer("HTTP/1.1 200 OK\r\n\r\npartial");
        script.closeAfter = false;
        server.setScript(script);
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "1"}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(server.connections >= 2, 5000);
        QVERIFY(f.panel(0)->isFetching());
    }

    void endlessBodyIsCutAtTheBound() {
        ScriptedServer server;
        ScriptedServer::Script script;
        script.steps = {{"HTTP/1.1 200 OK\r\n\r\n", 0}, {QByteArray(1024 * 1024, 'x'), 0}};
        script.endless = true;
        server.setScript(script);
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "300"}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(f.status.contains("too large"), 20000);
        QCOMPARE(f.fetcher(0)->socketState(), 0);
        QVERIFY(f.fetcher(0)->response().received().size() <= maxResponseBytes);
        QVERIFY(f.fetcher(0)->isCounting());
    }

    void headersThatNeverEndAreCut() {
        ScriptedServer server;
        ScriptedServer::Script script;
        script.steps = {{"HTTP/1.1 200 OK\r\n", 0}, {QByteArray(4096, 'h') + "\r\n", 0}};
        script.endless = true;
        server.setScript(script);
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "300"}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(f.status.contains("too large"), 10000);
        QVERIFY(f.fetcher(0)->response().received().size() <= maxHeaderBytes);
    }

    void panelsAreReusedLowestFirstAndAtMost24Run() {
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse("x")));
        QList<CamLine> cams;
        for (int i = 0; i < 25; ++i)
            cams.append(
                {"cam" + QByteArray::number(i), "http://" + server.address("/c.jpg"), "60"});
        PanelsFixture f(camList(cams));
        for (int i = 0; i < 25; ++i)
            f.start("cam" + QByteArray::number(i));
        QCOMPARE(f.engine->activeCams(), 24);
        QCOMPARE(f.runningPanels().size(), 24);
        QVERIFY(!f.engine->isRunning(24));

        f.start("cam3"); // already running: nothing changes
        QCOMPARE(f.engine->activeCams(), 24);

        f.engine->stopCam(3);
        f.engine->stopCam(5);
        QCOMPARE(f.engine->activeCams(), 22);
        f.start("cam24");
        QVERIFY(f.engine->isRunning(3));
        QCOMPARE(f.panel(3)->frameCaption(), QByteArray("cam24"));
        QCOMPARE(f.panel(3)->title(), QString("cam24"));
        QTRY_VERIFY_WITH_TIMEOUT(server.connections >= 25, 10000);

        f.engine->stopAllCams();
        QCOMPARE(f.engine->activeCams(), 0);
        QVERIFY(f.runningPanels().isEmpty());
        QCOMPARE(f.selection().place(), -1);
    }

    void idleCaptionsBlockCamsNamedLikeThem() {
        PanelsFixture f(camList({{"[WebCam]", "http://127.0.0.1/x", "60"},
                                 {"[webcam]", "http://127.0.0.1/x", "60"},
                                 {"Real", "http://127.0.0.1/x", "60"}}));
        f.start("[WebCam]");
        QCOMPARE(f.engine->activeCams(), 0);
        f.start("[webcam]"); // no panel was stopped yet: it starts
        f.start("Real");
        QCOMPARE(f.engine->activeCams(), 2);
        f.engine->stopCam(0);
        f.start("[webcam]"); // the stopped panel 0 now carries "[webcam]"
        QCOMPARE(f.engine->activeCams(), 1);
        QVERIFY(!f.engine->isRunning(0));
    }

    void invalidRefreshClaimsNoPanel() {
        PanelsFixture f(camList({{"Letters", "http://127.0.0.1/x", "abc"}}));
        f.start("Letters");
        QCOMPARE(f.engine->activeCams(), 0);
        QVERIFY(f.runningPanels().isEmpty());
        QVERIFY(f.status.contains("Letters has an invalid refresh interval"));
    }

    void runningPanelWithAChangedBadRefreshIsNotRestarted() {
        PanelsFixture f(camList({{"Cam", "http://127.0.0.1/x", "60"}}));
        f.start("Cam");
        CamFetcher* fetcher = f.fetcher(0);
        for (int tick = 0; tick < 7; ++tick)
            fetcher->countSecond();
        fetcher->setRecord("Cam", "http://127.0.0.1/x", "soon");
        f.engine->refreshNow(0);
        QCOMPARE(fetcher->elapsedSecs(), 7);
        QVERIFY(f.status.contains("invalid refresh interval"));
    }

    void aRunningCamEditedToANonNumberStopsCleanly() {
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse("x")));
        const QString address = "http://" + server.address("/x.jpg");
        PanelsFixture f(camList({{"Cam", address, "2"}}));
        f.start("Cam");
        CamFetcher* fetcher = f.fetcher(0);
        QTRY_VERIFY(f.engine->isSettled(0));
        // the edit dialog gave the running panel a refresh that is not a number
        f.engine->UpdateOpenPanels("Cam", {"Cam", address.toStdString(), "soon"});
        fetcher->countSecond();
        fetcher->countSecond(); // the interval of 2 ran out
        QVERIFY(!f.panel(0)->isFetching());
        QVERIFY(!fetcher->isCounting());
        QCOMPARE(fetcher->socketState(), 0);
        QVERIFY(fetcher->isHalted());
        QVERIFY(f.status.contains("Cam"));
        QVERIFY(f.status.contains("invalid refresh interval"));
        QVERIFY(f.engine->isRunning(0));
        QCOMPARE(f.engine->activeCams(), 1);

        f.status.clear();
        f.engine->refreshNow(0); // still not a number: said again, nothing runs
        QVERIFY(f.status.contains("invalid refresh interval"));
        QVERIFY(!fetcher->isCounting());

        // a later edit with a number starts the cycle again
        f.engine->UpdateOpenPanels("Cam", {"Cam", address.toStdString(), "5"});
        QVERIFY(fetcher->isCounting());
        QVERIFY(f.panel(0)->isFetching());
        QCOMPARE(fetcher->refreshSecs(), 5);
        f.engine->stopCam(0);
        QCOMPARE(f.engine->activeCams(), 0);
        QVERIFY(!fetcher->isCounting());
    }

    void halfRefreshCountsDownInHalves() {
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse("x")));
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/x.jpg"), "2.5"}}));
        QSignalSpy nextRefresh(&f.selection(), &CamFollower::ticked);
        f.start("Cam"); // panel 0 counts as selected before any click
        CamFetcher* fetcher = f.fetcher(0);
        QTRY_VERIFY(f.engine->isSettled(0)); // a healthy cam keeps its interval
        QCOMPARE(fetcher->refreshSecs(), 2);
        fetcher->countSecond();
        QCOMPARE(nextRefresh.last()[0].toString(), QString("1.5"));
        fetcher->countSecond();
        QCOMPARE(nextRefresh.last()[0].toString(), QString("0.5"));
        QCOMPARE(fetcher->elapsedSecs(), 0); // expired at 2: a new cycle began
        fetcher->countSecond();
        QCOMPARE(nextRefresh.last()[0].toString(), QString("1.5"));
    }

    void zeroAndNegativeRefreshRefetchEveryTick_data() {
        QTest::addColumn<QByteArray>("refresh");
        QTest::newRow("0") << QByteArray("0");
        QTest::newRow("-5") << QByteArray("-5");
    }
    void zeroAndNegativeRefreshRefetchEveryTick() {
        QFETCH(QByteArray, refresh);
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse("x")));
        PanelsFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), refresh}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(server.connections >= 3, 6000);
    }

    void stoppingTheSelectedPanelLeavesNoneSelected() {
        PanelsFixture f(
            camList({{"A", "http://127.0.0.1/x", "60"}, {"B", "http://127.0.0.1/x", "60"}}));
        QSignalSpy stopped(&f.selection(), &CamFollower::stopped);
        f.start("A");
        f.start("B");
        f.selection().follow(1);
        f.engine->stopCam(0);
        QCOMPARE(f.selection().place(), 1);
        QCOMPARE(stopped.size(), 0);
        f.engine->stopCam(1);
        QCOMPARE(f.selection().place(), -1);
        QCOMPARE(stopped.size(), 1);
        QVERIFY(pictureOf(f.panel(1)).isNull());
        QCOMPARE(f.panel(1)->frameCaption(), QByteArray("[webcam]"));
    }

    void panelAreaScrollsByTheBar() {
        QCOMPARE(PanelAreaTop(0), -30);
        QCOMPARE(PanelAreaTop(600), -630);
        QCOMPARE(PanelAreaTop(18000), -18030);
        PanelsFixture f(camList({}));
        f.area->scrollBar()->setValue(600);
        QCOMPARE(f.area->innerArea()->y(), -42); // -630 twips
        f.area->scrollBar()->setValue(18000);
        QCOMPARE(f.area->innerArea()->y(), -1202); // -18030 twips
        // four columns: panel 4 starts the second row, and six rows scroll less
        f.area->arrangeArea(4, 10515, 10515);
        QCOMPARE(f.panel(4)->pos(), QPoint(4, 136));
        QCOMPARE(f.area->scrollBar()->maximum(), 6120);
        // one column of 24 rows scrolls past what 16 bits hold
        f.area->arrangeArea(1, 10515, 10515);
        f.area->scrollBar()->setValue(41760);
        QCOMPARE(f.area->innerArea()->y(), -2786); // -41790 twips
    }

    void twentyFourCamsKeepFetching() {
        ScriptedServer server;
        server.setScript(
            ScriptedServer::answer(ScriptedServer::okResponse(QByteArray(30000, 'j')), 8000, 2));
        QList<CamLine> cams;
        for (int i = 0; i < 24; ++i)
            cams.append({"cam" + QByteArray::number(i), "http://" + server.address("/c.jpg"), "1"});
        PanelsFixture f(camList(cams));
        for (int i = 0; i < 24; ++i)
            f.start("cam" + QByteArray::number(i));
        // every panel completes a fetch several times, each on its own one-second count
        int seconds = 0;
        for (int i = 0; i < 24; ++i)
            connect(f.fetcher(i), &CamFetcher::ticked, f.engine, [&] { ++seconds; });
        QTRY_VERIFY_WITH_TIMEOUT(server.connections >= 24 * 4, 10000);
        QVERIFY(seconds >= 24 * 3); // four cycles of a second: three counted by each panel
        for (int i = 0; i < 24; ++i)
            QVERIFY(f.engine->isRunning(i));
    }

    void theMarkFollowsThePictures() {
        FreshnessTracker tracker;
        QCOMPARE(tracker.state(0, 10), Freshness::Idle);
        tracker.fetchStarted();
        QCOMPARE(tracker.state(0, 10), Freshness::Fetching);
        tracker.newPicture(1000);
        QCOMPARE(tracker.state(1000, 10), Freshness::New);
        QCOMPARE(tracker.ageSeconds(1012), std::optional<int64_t>(12));
        tracker.samePicture();
        QCOMPARE(tracker.state(1100, 10), Freshness::Unchanged);
        // ten minutes, or ten intervals when those are longer
        QCOMPARE(tracker.state(1000 + 599, 10), Freshness::Unchanged);
        QCOMPARE(tracker.state(1000 + 600, 10), Freshness::Stale);
        QCOMPARE(tracker.state(1000 + 600, 120), Freshness::Unchanged);
        QCOMPARE(tracker.state(1000 + 1200, 120), Freshness::Stale);
        tracker.failed("HTTP 404", false, 1100);
        QCOMPARE(tracker.state(1100, 10), Freshness::Error);
        QCOMPARE(tracker.reason(), "HTTP 404"s);
        tracker.failed("refused", true, 1110);
        tracker.failed("refused", true, 1120);
        QCOMPARE(tracker.state(1100, 10), Freshness::Error);
        tracker.failed("refused", true, 1130);
        QCOMPARE(tracker.state(1100, 10), Freshness::Offline);
        // failing since the first failure after the last picture
        QCOMPARE(FailingText(Freshness::Offline, tracker.reason(), tracker.failingSeconds(1290)),
                 "offline for 3 min"s);
        tracker.connected();
        tracker.failed("refused", true);
        QCOMPARE(tracker.state(1100, 10), Freshness::Error);
        tracker.samePicture();
        QCOMPARE(tracker.failingSeconds(1300), std::nullopt);
        QCOMPARE(AgeText(12), "12 s old"s);
        QCOMPARE(AgeText(3 * 60 + 5), "3 min old"s);
        QCOMPARE(AgeText(5 * 3600), "5 h old"s);
        QCOMPARE(AgeText(3 * 86400), "3 days old"s);
    }
};

WEBCAMS_TEST(PanelTest)
#include "test_panels.moc"
