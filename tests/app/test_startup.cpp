#include "app/controlsframe.h"
#include "app/mainwindow.h"
#include "app/secondarywindows.h"
#include "app/splashwindow.h"
#include "listpane/camlistpane.h"
#include "common/appidentity.h"
#include "sandbox.h"
#include "scriptedprompter.h"
#include "ui/noticewindow.h"
#include "viewer/viewerpane.h"

#include "testmain.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>

#include <QTest>
#include <QTimer>
#include <QToolButton>

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    void splashShowsTheMainWindowAfterExactly75Ticks() {
        int loads = 0;
        QWidget mainWindow;
        SplashWindow splash([&]() -> QWidget* {
            ++loads;
            return &mainWindow;
        });
        QCOMPARE(splash.size(), QSize(478, 318));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        splash.show();
        for (int tick = 1; tick < 75; ++tick)
            splash.countSplashTick();
        QCOMPARE(loads, 0);
        QCOMPARE(splash.intTemp(), qint16(148));
        splash.countSplashTick();
        QCOMPARE(loads, 1);
        QCOMPARE(splash.intTemp(), qint16(150));
        QVERIFY(!splash.isCounting());
        QVERIFY(mainWindow.isVisible());
        QVERIFY(splash.isHidden());
    }

    void splashShowsForAboutASecondInSeventyFiveSteps() {
        QWidget mainWindow;
        SplashWindow splash([&]() -> QWidget* { return &mainWindow; });
        int steps = 0;
        connect(splash.findChild<QTimer*>("Timer2"), &QTimer::timeout, &splash, [&] { ++steps; });
        QSignalSpy shown(&splash, &SplashWindow::mainWindowShown);
        splash.load();
        splash.show();
        QVERIFY(shown.wait(10000));
        // 75 steps of the timer's interval: about a second, counted by the timer itself
        QCOMPARE(steps, 75);
        QVERIFY(75 * splash.findChild<QTimer*>("Timer2")->interval() >= 1100);
    }

    void splashTimerRunsTheCountdownByItself() {
        QWidget mainWindow;
        SplashWindow splash([&]() -> QWidget* { return &mainWindow; });
        QSignalSpy shown(&splash, &SplashWindow::mainWindowShown);
        splash.load();
        splash.show();
        QVERIFY(shown.wait(5000));
        QCOMPARE(shown.size(), 1);
        // its count is over: nothing more comes
        QVERIFY(!splash.findChild<QTimer*>("Timer2")->isActive());
        QCoreApplication::processEvents();
        QCOMPARE(shown.size(), 1);
    }

    void firstStartCreatesCamFolderAndList() {
        Sandbox box;
        ScriptedPrompter prompter;
        MainWindow window(LoadAppIdentity(), box.programFolder(), prompter);
        window.load();
        QVERIFY(QFileInfo(box.path("cam")).isDir());
        QCOMPARE(box.readFile("00camlist.txt"), QByteArray("\r\n"));
        QCOMPARE(window.camList().list()->count(), 0);
        QVERIFY(window.windowState() & Qt::WindowMaximized);
        QCOMPARE(window.windowTitle(), QString("Tarvique Webcams by Tarvique Software"));
        QCOMPARE(window.findChild<QToolButton*>("Command2")->text(), LoadAppIdentity().Website);
        QVERIFY(prompter.asked.isEmpty());
    }

    void existingListIsShownInFileOrderAndCamFolderKept() {
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        box.writeFile("cam/keep.jpg", "x");
        box.writeFile("00camlist.txt", "\r\n[name]Zulu\r\nu\r\n1\r\n\r\n[NAME]alpha\r\nu\r\n2\r\n"
                                       "[name]caf\xc3\xa9\r\nu\r\n3\r\n");
        ScriptedPrompter prompter;
        MainWindow window(LoadAppIdentity(), box.programFolder(), prompter);
        window.load();
        QCOMPARE(window.camList().list()->count(), 3);
        QCOMPARE(window.camList().list()->item(0)->text(), QString("Zulu"));
        QCOMPARE(window.camList().list()->item(1)->text(), QString("alpha"));
        QCOMPARE(window.camList().list()->item(2)->text(), QString::fromUtf8("caf\xc3\xa9"));
        QVERIFY(box.exists("cam/keep.jpg"));
        QVERIFY(!window.camList().AnyCamSelected());
        QVERIFY(window.viewer().isHidden());
    }

    void invalidBytesInANameStayExact() {
        Sandbox box;
        box.writeFile("00camlist.txt", "[name]bad\xff\xfe\r\nu\r\n1\r\n");
        ScriptedPrompter prompter;
        MainWindow window(LoadAppIdentity(), box.programFolder(), prompter);
        window.load();
        window.camList().list()->setCurrentRow(0);
        QCOMPARE(window.camList().currentListName(), std::string("bad\xff\xfe"));
    }

    void unusableProgramFolderIsReportedAndTheWindowStillOpens() {
        Sandbox box;
        QDir().mkpath(box.path("00camlist.txt")); // a folder where the list should be
        ScriptedPrompter prompter;
        MainWindow window(LoadAppIdentity(), box.programFolder(), prompter);
        window.load();
        QCOMPARE(window.camList().list()->count(), 0);
        QVERIFY(!window.statusText().isEmpty());
    }

    void readOnlyProgramFolderStartsWithAnEmptyList() {
        Sandbox box;
        ScriptedPrompter prompter;
        ReadOnlyFolder readOnly(box.programFolder());
        MainWindow window(LoadAppIdentity(), box.programFolder(), prompter);
        window.load();
        QCOMPARE(window.camList().list()->count(), 0);
        QVERIFY(!window.statusText().isEmpty());
        QVERIFY(!box.exists("00camlist.txt"));
    }

    void controlsCarryTheirCaptionsAndTooltips() {
        Sandbox box;
        ScriptedPrompter prompter;
        MainWindow window(LoadAppIdentity(), box.programFolder(), prompter);
        const QList<std::tuple<const char*, QString, QString>> buttons = {
            {"cmdAdd", "Add", "Add a Cam"},
            {"cmdRemove", "Del", "Remove Selected Cam"},
            {"cmdEdit", "Edit", "Edit Selected Cam"},
            {"cmdStartCam", "Start Cam", "Start Selected Cam"},
            {"cmdStopAll", "Stop All", "Stop All Cams"}};
        for (const auto& [name, caption, tooltip] : buttons) {
            auto* button = window.findChild<QToolButton*>(name);
            QVERIFY2(button, name);
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->toolTip(), tooltip);
        }
        QCOMPARE(window.findChild<QGroupBox*>("Frame1")->title(), QString("Controls"));
        QCOMPARE(window.findChild<QGroupBox*>("frmCams")->title(), QString("Webcams"));
        QCOMPARE(window.findChild<QGroupBox*>("frmMain")->title(), QString("Viewer"));
        QCOMPARE(window.controls().autoSaveBox()->text(), QString("AutoSave New Pictures"));
        QCOMPARE(window.controls().autoSaveBox()->toolTip(),
                 "saved to /cam/ subdirectory under " + box.programFolder());
        QCOMPARE(window.findChild<QLabel*>("Label1")->text(), QString("Webcam Listing"));
        // design position (60, 3540) in twips at 96 dots per inch
        QCOMPARE(window.camList().list()->pos(), QPoint(4, 236));
    }

    void noticeIsOneWindowBroughtToTheFront() {
        Sandbox box;
        ScriptedPrompter prompter;
        MainWindow window(LoadAppIdentity(), box.programFolder(), prompter);
        window.windows().showSelectCamNotice();
        window.windows().showSelectCamNotice();
        const auto notices = window.findChildren<NoticeWindow*>();
        QCOMPARE(notices.size(), 1);
        QCOMPARE(notices.first()->windowTitle(), QString("Oops!"));
        QCOMPARE(notices.first()->findChild<QLabel*>("Label1")->text(),
                 QString("You must first select a cam from the list."));
        QVERIFY(notices.first()->isVisible());
        notices.first()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window.windows().showSelectCamNotice();
        QCOMPARE(window.findChildren<NoticeWindow*>().size(), 1);
    }
};

WEBCAMS_TEST(StartupTest)
#include "test_startup.moc"
