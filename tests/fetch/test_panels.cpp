#include "appidentity.h"
#include "campanel.h"
#include "camsocket.h"
#include "imagecontrol.h"
#include "mainwindow.h"
#include "noticewindow.h"
#include "progressbar.h"
#include "scriptedserver.h"
#include "windowfixture.h"

#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class PanelTest : public QObject {
    Q_OBJECT
  private slots:
    void socketClosedTwiceRaisesNothing() {
        CamSocket socket;
        QSignalSpy closed(&socket, &CamSocket::CloseEvent);
        socket.Close();
        socket.Close();
        QCOMPARE(socket.State(), 0);
        QCOMPARE(closed.size(), 0);
    }

    void socketReportsEveryByteBeforeTheClose() {
        ScriptedServer server;
        server.setScript(ScriptedServer::answer("0123456789", 3, 5));
        server.current().waitForRequest = false;
        CamSocket socket;
        QByteArray got;
        QList<QString> order;
        connect(&socket, &CamSocket::DataArrival, &socket, [&](qint64 total) {
            const QByteArray bytes = socket.GetData();
            QCOMPARE(qint64(bytes.size()), total);
            got += bytes;
            order << "data";
        });
        connect(&socket, &CamSocket::CloseEvent, &socket, [&] { order << "close"; });
        socket.Connect("127.0.0.1", server.port());
        QTRY_COMPARE(order.value(order.size() - 1), QString("close"));
        QCOMPARE(got, QByteArray("0123456789"));
        QCOMPARE(order.count("close"), 1);
        QCOMPARE(socket.State(), 0);
    }

    void socketErrorsRaiseNoEvent() {
        quint16 closedPort;
        {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            closedPort = probe.serverPort();
        }
        CamSocket socket;
        QSignalSpy connected(&socket, &CamSocket::Connected);
        QSignalSpy data(&socket, &CamSocket::DataArrival);
        QSignalSpy closed(&socket, &CamSocket::CloseEvent);
        socket.Connect("127.0.0.1", closedPort);
        QTest::qWait(200);
        socket.Connect("no-such-host.invalid", 80);
        QTest::qWait(300);
        QCOMPARE(connected.size() + data.size() + closed.size(), 0);
    }

    void requestBytesAreExact_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("requestLine");
        QTest::addColumn<bool>("withScheme");
        QTest::newRow("spaces") << "/live/cam 1.jpg" << QByteArray("GET /live/cam%201.jpg HTTP/1.1")
                                << true;
        QTest::newRow("query") << "/cam.jpg?size=2&x=%41"
                               << QByteArray("GET /cam.jpg?size=2&x=%41 HTTP/1.1") << true;
        QTest::newRow("no scheme") << "/cam.jpg" << QByteArray("GET /cam.jpg HTTP/1.1") << false;
        QTest::newRow("slash at end") << "/pics/" << QByteArray("GET /pics/ HTTP/1.1") << true;
    }
    void requestBytesAreExact() {
        QFETCH(QString, path);
        QFETCH(QByteArray, requestLine);
        QFETCH(bool, withScheme);
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse("x")));
        const QString address = (withScheme ? "http://" : "") + server.address(path);
        WindowFixture f(camList({{"Cam", address, "30"}}));
        f.start("Cam");
        QTRY_COMPARE(server.requests.size(), 1);
        QTRY_VERIFY(server.requests[0].endsWith("\r\n\r\n"));
        const QByteArray host = "127.0.0.1:" + QByteArray::number(server.port());
        QCOMPARE(server.requests[0], requestLine + "\r\nHost: " + host +
                                         "\r\nConnection: close\r\nAccept: */*\r\n\r\n");
    }

    void refetchingNeverEscapesTwice() {
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse("x")));
        WindowFixture f(camList({{"Cam", "http://" + server.address("/a b.jpg"), "0"}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(server.requests.size() >= 2, 5000);
        QTRY_VERIFY(server.requests[1].endsWith("\r\n\r\n"));
        QVERIFY(server.requests[1].startsWith("GET /a%20b.jpg HTTP/1.1\r\n"));
    }

    void addressWithoutPathConnectsNowhereAndKeepsCounting() {
        WindowFixture f(camList({{"Bare", "http://127.0.0.1", "1"}}));
        f.start("Bare");
        CamPanel* p = f.window->panel(0);
        QVERIFY(p->isRunning());
        QVERIFY(!p->imgRefresh->isHidden());
        QVERIFY(p->timRefresh->isActive());
        QCOMPARE(p->wsCam->State(), 0);
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
        WindowFixture f(camList({{"Cam", "http://" + server.address("/live/cam.jpg"), "30"}}));
        f.start("Cam");
        CamPanel* p = f.window->panel(0);
        QTRY_COMPARE(f.window->statusText(), QString("Downloading cam.jpg [25]"));
        QTRY_COMPARE(f.window->statusText(), QString("Downloading cam.jpg [100]"));
        QCOMPARE(p->prgCam->value(), 100);
        QCOMPARE(p->response.receivedBytes, 20000);
    }

    void emptyFileNameGivesTwoSpaces() {
        const QByteArray all = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
        ScriptedServer server;
        ScriptedServer::Script script;
        script.steps = {{all, 0}, {"12345", 30}, {"67890", 30}};
        server.setScript(script);
        WindowFixture f(camList({{"Cam", "http://" + server.address("/pics/"), "30"}}));
        f.start("Cam");
        QTRY_COMPARE(f.window->statusText(), QString("Downloading  [100]"));
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
        WindowFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "30"}}));
        f.start("Cam");
        QTRY_VERIFY(f.window->panel(0)->imgRefresh->isHidden()); // the fetch completed
        QCOMPARE(f.window->statusText(), QString());
        QCOMPARE(f.window->panel(0)->prgCam->value(), 0);
    }

    void oneByteAtATimeCompletes() {
        const QByteArray all = ScriptedServer::okResponse("abcdef");
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(all, 1, 1));
        WindowFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "30"}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(f.window->panel(0)->imgRefresh->isHidden(), 10000);
        // the close split the response: the buffer keeps the body
        QCOMPARE(QByteArray::fromStdString(f.window->panel(0)->response.responseBuffer),
                 QByteArray("abcdef"));
    }

    void serverThatNeverClosesIsAskedAgainAtExpiry() {
        ScriptedServer server;
        ScriptedServer::Script script = ScriptedServer::answer("HTTP/1.1 200 OK\r\n\r\npartial");
        script.closeAfter = false;
        server.setScript(script);
        WindowFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "1"}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(server.connections >= 2, 5000);
        QVERIFY(!f.window->panel(0)->imgRefresh->isHidden());
    }

    void endlessBodyIsCutAtTheBound() {
        ScriptedServer server;
        ScriptedServer::Script script;
        script.steps = {{"HTTP/1.1 200 OK\r\n\r\n", 0}, {QByteArray(1024 * 1024, 'x'), 0}};
        script.endless = true;
        server.setScript(script);
        WindowFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "300"}}));
        f.start("Cam");
        CamPanel* p = f.window->panel(0);
        QTRY_VERIFY_WITH_TIMEOUT(f.window->statusText().contains("too large"), 20000);
        QCOMPARE(p->wsCam->State(), 0);
        QVERIFY(p->response.responseBuffer.size() <= maxResponseBytes);
        QVERIFY(p->timRefresh->isActive());
    }

    void headersThatNeverEndAreCut() {
        ScriptedServer server;
        ScriptedServer::Script script;
        script.steps = {{"HTTP/1.1 200 OK\r\n", 0}, {QByteArray(4096, 'h') + "\r\n", 0}};
        script.endless = true;
        server.setScript(script);
        WindowFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), "300"}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(f.window->statusText().contains("too large"), 10000);
        QVERIFY(f.window->panel(0)->response.responseBuffer.size() <= maxHeaderBytes);
    }

    void panelsAreReusedLowestFirstAndAtMost24Run() {
        ScriptedServer server;
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse("x")));
        QList<CamLine> cams;
        for (int i = 0; i < 25; ++i)
            cams.append(
                {"cam" + QByteArray::number(i), "http://" + server.address("/c.jpg"), "60"});
        WindowFixture f(camList(cams));
        for (int i = 0; i < 25; ++i)
            f.start(QString("cam%1").arg(i));
        QCOMPARE(f.window->activeCams, qint16(24));
        QCOMPARE(f.runningPanels().size(), 24);
        QVERIFY(!f.window->panel(24)->isRunning());

        f.start("cam3"); // already running: nothing changes
        QCOMPARE(f.window->activeCams, qint16(24));

        f.window->panel(3)->cmdStop_Click();
        f.window->panel(5)->cmdStop_Click();
        QCOMPARE(f.window->activeCams, qint16(22));
        f.start("cam24");
        QVERIFY(f.window->panel(3)->isRunning());
        QCOMPARE(f.window->panel(3)->frameCaption(), QByteArray("cam24"));
        QCOMPARE(f.window->panel(3)->title(), QString("cam24"));
        QTRY_VERIFY_WITH_TIMEOUT(server.connections >= 25, 10000);

        f.window->cmdStopAll_Click();
        QCOMPARE(f.window->activeCams, qint16(0));
        QVERIFY(f.runningPanels().isEmpty());
        QCOMPARE(f.window->selectedCam(), -1);
    }

    void idleCaptionsBlockCamsNamedLikeThem() {
        WindowFixture f(camList({{"[WebCam]", "http://127.0.0.1/x", "60"},
                                 {"[webcam]", "http://127.0.0.1/x", "60"},
                                 {"Real", "http://127.0.0.1/x", "60"}}));
        f.start("[WebCam]");
        QCOMPARE(f.window->activeCams, qint16(0));
        f.start("[webcam]"); // no panel was stopped yet: it starts
        f.start("Real");
        QCOMPARE(f.window->activeCams, qint16(2));
        f.window->panel(0)->cmdStop_Click();
        f.start("[webcam]"); // the stopped panel 0 now carries "[webcam]"
        QCOMPARE(f.window->activeCams, qint16(1));
        QVERIFY(!f.window->panel(0)->isRunning());
    }

    void startWithoutSelectionShowsTheNotice() {
        WindowFixture f(camList({{"Cam", "http://127.0.0.1/x", "60"}}));
        f.window->cmdStartCam_Click();
        QCOMPARE(f.window->findChildren<NoticeWindow*>().size(), 1);
        QCOMPARE(f.window->activeCams, qint16(0));
    }

    void invalidRefreshClaimsNoPanel() {
        WindowFixture f(camList({{"Letters", "http://127.0.0.1/x", "abc"}}));
        f.start("Letters");
        QCOMPARE(f.window->activeCams, qint16(0));
        QVERIFY(f.runningPanels().isEmpty());
        QVERIFY(f.window->statusText().contains("Letters has an invalid refresh interval"));
    }

    void runningPanelWithAChangedBadRefreshIsNotRestarted() {
        WindowFixture f(camList({{"Cam", "http://127.0.0.1/x", "60"}}));
        f.start("Cam");
        CamPanel* p = f.window->panel(0);
        p->txtRefresh = "soon";
        p->elapsedSecs = 7;
        p->cmdRefresh_Click();
        QCOMPARE(p->elapsedSecs, 7);
        QVERIFY(f.window->statusText().contains("invalid refresh interval"));
    }

    void halfRefreshCountsDownInHalves() {
        WindowFixture f(camList({{"Cam", "http://127.0.0.1/x", "2.5"}}));
        f.start("Cam"); // panel 0 counts as selected before any click
        CamPanel* p = f.window->panel(0);
        QCOMPARE(p->refreshSecs, 2);
        p->timRefresh_Timer();
        QCOMPARE(f.window->lblNextRefresh->text(), QString("1.5"));
        p->timRefresh_Timer();
        QCOMPARE(f.window->lblNextRefresh->text(), QString("0.5"));
        QCOMPARE(p->elapsedSecs, 0); // expired at 2: a new cycle began
        p->timRefresh_Timer();
        QCOMPARE(f.window->lblNextRefresh->text(), QString("1.5"));
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
        WindowFixture f(camList({{"Cam", "http://" + server.address("/c.jpg"), refresh}}));
        f.start("Cam");
        QTRY_VERIFY_WITH_TIMEOUT(server.connections >= 3, 6000);
    }

    void stoppingTheSelectedPanelHidesTheViewer() {
        WindowFixture f(
            camList({{"A", "http://127.0.0.1/x", "60"}, {"B", "http://127.0.0.1/x", "60"}}));
        f.start("A");
        f.start("B");
        f.window->imgCam_Click(1);
        f.window->frmMain->show();
        f.window->panel(0)->cmdStop_Click();
        QCOMPARE(f.window->selectedCam(), 1);
        QVERIFY(!f.window->frmMain->isHidden());
        f.window->panel(1)->cmdStop_Click();
        QCOMPARE(f.window->selectedCam(), -1);
        QVERIFY(f.window->frmMain->isHidden());
        QVERIFY(f.window->panel(1)->imgCam->picture().isNull());
        QCOMPARE(f.window->panel(1)->frameCaption(), QByteArray("[webcam]"));
    }

    void panelAreaScrollsByTheBar() {
        WindowFixture f(camList({}));
        f.window->VScroll1->setValue(600);
        QCOMPARE(f.window->picWindowInner->y(), -42); // -630 twips
        f.window->VScroll1->setValue(18000);
        QCOMPARE(f.window->picWindowInner->y(), -1202); // -18030 twips
    }

    void twentyFourCamsKeepFetching() {
        ScriptedServer server;
        server.setScript(
            ScriptedServer::answer(ScriptedServer::okResponse(QByteArray(30000, 'j')), 8000, 2));
        QList<CamLine> cams;
        for (int i = 0; i < 24; ++i)
            cams.append({"cam" + QByteArray::number(i), "http://" + server.address("/c.jpg"), "1"});
        WindowFixture f(camList(cams));
        for (int i = 0; i < 24; ++i)
            f.start(QString("cam%1").arg(i));
        // every panel completes a fetch several times while a one-second timer keeps ticking
        int ticks = 0;
        QTimer clock;
        connect(&clock, &QTimer::timeout, &clock, [&] { ++ticks; });
        clock.start(100);
        QTest::qWait(4000);
        QVERIFY(server.connections >= 24 * 3);
        QVERIFY(ticks >= 20);
        for (int i = 0; i < 24; ++i)
            QVERIFY(f.window->panel(i)->isRunning());
    }
};

QTEST_MAIN(PanelTest)
#include "test_panels.moc"
