// The parts as the main window connects them: the cam list starts cams into panels, edits reach
// running panels, a clicked panel shows in the viewer, and the layout follows the window.
#include "app/mainwindow.h"
#include "common/twips.h"
#include "listpane/camdialog.h"
#include "net/camfetcher.h"
#include "ui/imagecontrol.h"
#include "ui/noticewindow.h"
#include "ui/screentwips.h"
#include "viewer/detailsblock.h"
#include "viewer/fullscreenview.h"
#include "viewer/viewerpane.h"

#include "certificates.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

const QByteArray twoCams = "\r\n[name]Harbour\r\nhttp://h/a.jpg\r\n30\r\n\r\n"
                           "[name]Hill\r\nhttp://h/b.jpg\r\n5\r\n\r\n";

int twips(int pixels) {
    return pixelsToTwips(pixels, screenDotsPerInch());
}

// A shown main window with cams "A" and "B" running in panels 0 and 1, each holding a picture.
struct Running : WindowFixture {
    Running()
        : WindowFixture(camList(
              {{"A", "http://127.0.0.1/none", "30"}, {"B", "http://127.0.0.1/none", "30"}})) {
        window->show();
        window->setWindowState(Qt::WindowNoState);
        window->resize(900, 700);
        start("A");
        start("B");
        engine().showPlainPicture(0, filledPicture(Qt::red, 640, 480));
        engine().showPlainPicture(1, filledPicture(Qt::blue, 100, 50));
    }

    QString label(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
};

void type(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
}

} // namespace

class WiringTest : public QObject {
    Q_OBJECT
  private slots:
    void layoutFollowsTheWindowSize() {
        WindowFixture f(camList({}));
        f.window->show();
        f.window->setWindowState(Qt::WindowNoState);
        // the worked example: an outer window of 12000 x 9000 twips, a status bar of 375
        const QSize border = f.window->frameGeometry().size() - f.window->size();
        f.window->resize(QSize(tw(12000), tw(9000)) - border);
        QTRY_COMPARE(f.window->frameGeometry().size(), QSize(tw(12000), tw(9000)));
        QCOMPARE(f.window->currentLayout().frame1Height, 7825);
        QCOMPARE(f.window->findChild<QGroupBox*>("frmCams")->height(), tw(7825));
        QCOMPARE(f.window->findChild<QWidget*>("Picture1")->width(), tw(5000));
        QCOMPARE(f.window->findChild<QWidget*>("frmDetails")->y(), tw(4135));
        QCOMPARE(f.window->findChild<QWidget*>("List1")->height(), tw(4265));
        // a tiny request gives the smallest window there can be; the rules hold all the same
        f.window->resize(1, 1);
        QTRY_VERIFY(f.window->width() < 200);
        QVERIFY(f.window->currentLayout().frame1Height >= 0);
    }

    void clickingAPanelShowsItLarge() {
        Running f;
        f.window->viewer().details()->setFit(false); // at zoom 1, the picture's own size
        QTest::mouseClick(f.window->findChild<ImageControl*>("imgCam(0)"), Qt::LeftButton);
        QCOMPARE(f.engine().selection().place(), 0);
        QVERIFY(f.window->viewer().isVisible());
        QVERIFY(f.window->viewer().details()->isVisible());
        QCOMPARE(f.window->viewer().naturalWidth(), twips(640));
        QCOMPARE(f.window->viewer().picture().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(f.label("lblName"), QString("A"));
        QCOMPARE(f.label("lblRefresh"), QString("30"));
        QCOMPARE(f.label("lblNextRefresh"), QString("30"));

        QTest::mouseClick(f.window->findChild<ImageControl*>("Picture3(1)"), Qt::LeftButton, {},
                          QPoint(1, 1));
        // a click on the box holding the picture selects like one on the picture
        QCOMPARE(f.engine().selection().place(), 1);
        QCOMPARE(f.label("lblName"), QString("B"));
        QCOMPARE(f.window->viewer().imgMainTwips().size(), QSize(twips(100), twips(50)));
    }

    void stoppingTheSelectedPanelHidesTheViewer() {
        Running f;
        f.engine().selection().follow(1);
        f.engine().stopCam(0);
        QVERIFY(!f.window->viewer().isHidden());
        f.engine().stopCam(1);
        QVERIFY(f.window->viewer().isHidden());
        QVERIFY(f.window->viewer().details()->isHidden());
    }

    // Next and previous go round the running cams only, from the menu and from full screen.
    void theNextCamIsTheNextRunningOne() {
        Running f; // places 0 and 1 run, 2 to 23 do not
        f.engine().selection().follow(0);
        f.window->findChild<QAction*>("nextCamAction")->trigger();
        QCOMPARE(f.engine().selection().place(), 1);
        // the viewed panel, and it alone, stands out
        QVERIFY(f.panel(1)->isShownSelected() && !f.panel(0)->isShownSelected());
        f.window->findChild<QAction*>("nextCamAction")->trigger();
        QCOMPARE(f.engine().selection().place(), 0); // round
        f.window->viewer().openFullScreenView();
        QTest::keyClick(f.window->viewer().fullScreenView(), Qt::Key_Left);
        QCOMPARE(f.engine().selection().place(), 1);
        f.window->viewer().fullScreenView()->close();
    }

    void stoppingTheSelectedCamWhileFullScreen() {
        Running f;
        f.engine().selection().follow(0);
        f.window->viewer().openFullScreenView();
        f.engine().stopCam(0);
        QCOMPARE(f.engine().selection().place(), -1);
        QVERIFY(f.window->viewer().isHidden());
        f.engine().refreshNow(1); // another cam's fetch leaves the view alone
        QVERIFY(!f.window->viewer().fullScreenView()->isIndicatorShown());
        f.window->viewer().fullScreenView()->close();
        QVERIFY(!f.window->viewer().fullScreenOn());
    }

    void savingSavesTheSelectedPanelsPicture() {
        Running f;
        f.engine().selection().follow(0);
        f.window->viewer().saveShownPicture();
        QTRY_VERIFY(!f.window->viewer().isSaving());
        const QStringList saved = QDir(f.box.path("cam")).entryList(QDir::Files);
        QCOMPARE(saved.size(), 1);
        QVERIFY(saved.first().startsWith("A"));
        QVERIFY(f.window->statusText().contains(" saved as "));
        // the saved file's name stays a while before what came meanwhile
        f.window->setStatusText("Downloading b.jpg [50]");
        QVERIFY(f.window->statusText().contains(" saved as "));
        QTRY_COMPARE_WITH_TIMEOUT(f.window->statusText(), QString("Downloading b.jpg [50]"), 8000);
    }

    void startWithoutSelectionShowsTheNotice() {
        WindowFixture f(camList({{"Cam", "http://127.0.0.1/x", "60"}}));
        f.window->startListedCam();
        QCOMPARE(f.window->findChildren<NoticeWindow*>().size(), 1);
        QCOMPARE(f.engine().activeCams(), 0);
    }

    void commandsWithoutSelectionShowOneNotice() {
        WindowFixture f(twoCams);
        f.window->camList().editSelectedCam();
        f.window->camList().removeSelectedCam();
        QCOMPARE(f.window->findChildren<NoticeWindow*>().size(), 1);
        QVERIFY(f.prompter.asked.isEmpty());
    }

    void doubleClickStartsTheCamOnce() {
        WindowFixture f(twoCams);
        f.select("Hill");
        f.window->camList().requestStart();
        f.window->camList().requestStart();
        QCOMPARE(f.engine().activeCams(), 1);
        QCOMPARE(f.panel(0)->frameCaption(), QByteArray("Hill"));
    }

    void renamingARunningCamUpdatesOnlyItsPanels() {
        WindowFixture f(twoCams);
        f.start("Harbour");
        f.start("Hill");
        f.select("Harbour");
        f.window->camList().editSelectedCam();
        EditCamDialog* edit = f.window->camList().editDialog();
        type(edit->nameBox(), "Port");
        type(edit->refreshBox(), "9");
        edit->saveRecord();
        CamFetcher* renamed = f.fetcher(0);
        QCOMPARE(f.panel(0)->frameCaption(), QByteArray("Port"));
        QCOMPARE(renamed->name(), QByteArray("Port"));
        QCOMPARE(renamed->refreshText(), QByteArray("9"));
        QCOMPARE(renamed->refreshSecs(), 30); // nothing restarts
        QCOMPARE(f.panel(1)->frameCaption(), QByteArray("Hill"));
        QCOMPARE(f.fetcher(1)->refreshText(), QByteArray("5"));
    }

    void removingARunningCamLeavesItsPanelRunning() {
        WindowFixture f(twoCams);
        f.start("Hill");
        f.prompter.answers = {PromptAnswer::Ok};
        f.window->camList().removeSelectedCam();
        QVERIFY(f.engine().isRunning(0));
        QCOMPARE(f.engine().activeCams(), 1);
    }

    void aRenamedCamKeepsWhatItTrustsAndARemovedOneLetsItGo() {
        ScriptedServer server(makeCertificate(CertificateOrder{}));
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse(jpegOf(Qt::red))));
        WindowFixture f(camList({{"Home", "https://" + server.address("/c.jpg"), "300"}}));
        f.start("Home");
        QTRY_VERIFY_WITH_TIMEOUT(f.engine().isSettled(0), 5000);
        f.prompter.answers = {PromptAnswer::Ok};
        f.area().chooseAction(0, "trustCertificate");
        QTRY_COMPARE_WITH_TIMEOUT(f.panel(0)->stateMark(), Freshness::New, 5000);

        f.select("Home");
        f.window->camList().editSelectedCam();
        EditCamDialog* edit = f.window->camList().editDialog();
        edit->nameBox()->setText("Garden");
        edit->saveRecord();
        server.setScript(ScriptedServer::answer(ScriptedServer::okResponse(jpegOf(Qt::green))));
        f.engine().refreshNow(0); // a new connection, under the new name
        QTRY_VERIFY_WITH_TIMEOUT(f.engine().isSettled(0), 5000);
        QCOMPARE(f.panel(0)->stateMark(), Freshness::New);

        // removed from the list, it runs on and keeps what it trusts until its panel stops
        f.select("Garden");
        f.prompter.answers = {PromptAnswer::Ok};
        f.window->camList().removeSelectedCam();
        QCOMPARE(f.window->services().settings().UserKeys("Tarvique Webcams", "TrustedCertificates").size(),
                 1);
        f.engine().stopCam(0);
        QVERIFY(f.window->services().settings().UserKeys("Tarvique Webcams", "TrustedCertificates").isEmpty());
    }
};

WEBCAMS_TEST(WiringTest)
#include "test_wiring.moc"
