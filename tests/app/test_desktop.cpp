// The program as a Linux desktop program: where its files live, its command line, the running
// cams kept from one run to the next, and its keys.
#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/programfolder.h"
#include "app/secondarywindows.h"
#include "app/session.h"
#include "app/termination.h"
#include "app/wallchoice.h"
#include "camlist/camlistfile.h"
#include "camlist/camlisttext.h"
#include "listpane/camdialog.h"
#include "ui/helpwindow.h"
#include "viewer/detailsblock.h"
#include "viewer/fullscreenview.h"
#include "viewer/viewerpane.h"
#include "wall/camwall.h"

#include "pictures.h"
#include "scriptedserver.h"
#include "testmain.h"
#include "windowfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <csignal>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

const QByteArray threeCams = "\r\n[name]Harbour\r\nhttp://127.0.0.1:1/a.jpg\r\n30\r\n\r\n"
                             "[name]Hill\r\nhttp://127.0.0.1:1/b.jpg\r\n30\r\n\r\n"
                             "[name]Market\r\nhttp://127.0.0.1:1/c.jpg\r\n30\r\n\r\n";

// A shown, active main window, for keys.
struct Active : WindowFixture {
    explicit Active(const QByteArray& list = threeCams) : WindowFixture(list) {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void key(QKeyCombination combination) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(),
                        combination.key(), combination.keyboardModifiers());
    }
};

// The next start of the program over the same folder and settings.
std::unique_ptr<MainWindow> nextRun(WindowFixture& previous) {
    auto window = std::make_unique<MainWindow>(LoadAppIdentity(), previous.box.programFolder(),
                                               previous.prompter);
    window->clock().setTimeServer("127.0.0.1", 1);
    window->setProcessEnd([] {});
    window->load();
    return window;
}

QString executable() {
    return QStringLiteral(DUNMORAL);
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
  private slots:
    void theProgramFolderFollowsWhereTheProgramIs() {
        Sandbox box;
        const QString executableFolder = box.path("bin");
        const QString user = box.path("home/.local/share/Tarvique Software/Tarvique Webcams");
        QDir().mkpath(executableFolder);
        // a writable folder of the executable, as a build or a USB stick: the program folder
        ProgramPlaces places = ChooseProgramPlaces({}, executableFolder, user);
        QCOMPARE(places.folder, executableFolder);
        QCOMPARE(places.helpFile, executableFolder + "/Help.rtf");
        QVERIFY(!QFileInfo::exists(user));
        // a read-only one: the user's data folder, made now, and nothing beside the executable
        {
            ReadOnlyFolder readOnly(executableFolder);
            places = ChooseProgramPlaces({}, executableFolder, user);
            QCOMPARE(places.folder, user);
            QVERIFY(QFileInfo(user).isDir());
            QVERIFY(QDir(executableFolder)
                        .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden)
                        .isEmpty());
        }
        // an installed copy keeps to the user's folder and finds its help in its share folder
        QDir().mkpath(box.path("share/dunmoral"));
        box.writeFile("share/dunmoral/Help.rtf", "{\\rtf1 help}");
        places = ChooseProgramPlaces({}, executableFolder, user);
        QCOMPARE(places.folder, user);
        QCOMPARE(places.helpFile, QDir::cleanPath(box.path("share/dunmoral/Help.rtf")));
        // one chosen on the command line
        places = ChooseProgramPlaces(box.path("bin"), executableFolder, user);
        QCOMPARE(places.folder, executableFolder);
    }

    void aUserFolderThatCannotBeMadeIsSaidSo() {
        Sandbox box;
        QDir().mkpath(box.path("bin"));
        ReadOnlyFolder readOnlyBin(box.path("bin"));
        ReadOnlyFolder readOnlyHome(box.programFolder());
        const ProgramPlaces places =
            ChooseProgramPlaces({}, box.path("bin"), box.path("home/.local/share/x"));
        QVERIFY(places.folder.isEmpty());
        QVERIFY(places.error.contains("could not be made"));
    }

    void theCommandLineIsReadBeforeAnyWindow() {
        CommandLine line = ParseCommandLine({"dunmoral", "--help"});
        QCOMPARE(line.action, CommandLine::Action::ShowHelp);
        QVERIFY(line.text.contains("--program-folder"));
        QVERIFY(line.text.startsWith("Usage: dunmoral"));
        line = ParseCommandLine({"dunmoral", "--version"});
        QCOMPARE(line.action, CommandLine::Action::ShowVersion);
        QVERIFY(line.text.contains("Tarvique Webcams 1.0"));
        QVERIFY(line.text.contains("Tarvique Software"));
        QCOMPARE(ParseCommandLine({"dunmoral", "--bogus"}).action, CommandLine::Action::Error);
        QVERIFY(ParseCommandLine({"dunmoral", "--bogus"}).text.contains("bogus"));
        QCOMPARE(ParseCommandLine({"dunmoral", "stray"}).action, CommandLine::Action::Error);
        Sandbox box;
        line = ParseCommandLine({"dunmoral", "--program-folder", box.programFolder()});
        QCOMPARE(line.action, CommandLine::Action::Run);
        QCOMPARE(line.programFolder, box.programFolder());
        line = ParseCommandLine({"dunmoral", "--program-folder", box.path("missing")});
        QCOMPARE(line.action, CommandLine::Action::Error);
        QVERIFY(line.text.contains("does not exist"));
        box.writeFile("a-file", "x");
        line = ParseCommandLine({"dunmoral", "--program-folder", box.path("a-file")});
        QVERIFY(line.text.contains("is not a folder"));
        QCOMPARE(ParseCommandLine({"dunmoral", "--program-folder"}).action,
                 CommandLine::Action::Error);
    }

    void theRealProgramAnswersWithoutAWindow() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY"); // nothing may try to open a window
        environment.insert("QT_QPA_PLATFORM", "xcb");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(executable(), {"--version"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith("Tarvique Webcams 1.0"));
        program.start(executable(), {"--no-such-option"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(program.readAllStandardError().contains("no-such-option"));
        program.start(executable(), {"--program-folder", "/no/such/folder"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 2);
    }

    void runningCamsComeBackInTheirPanels() {
        Sandbox* box = nullptr;
        Session kept;
        {
            WindowFixture f(threeCams);
            box = &f.box;
            f.start("Harbour");
            f.start("Hill");
            f.start("Market");
            f.engine().stopCam(1); // Hill: panels 0 and 2 run
            f.engine().selection().follow(2);
            f.window->setWindowState(Qt::WindowNoState);
            f.window->setGeometry(40, 60, 1000, 700);
            f.window->close();
            kept = LoadSession(f.window->services().settings(), "Tarvique Webcams");
            QCOMPARE(kept.running, (std::vector<Session::Cam>{{0, "Harbour"}, {2, "Market"}}));
            QCOMPARE(kept.selected, std::string("Market"));

            // the next start, with Harbour gone from the list meanwhile
            f.box.writeFile("00camlist.txt", "\r\n[name]Hill\r\nhttp://127.0.0.1:1/b.jpg\r\n30\r\n"
                                             "\r\n[name]Market\r\nhttp://127.0.0.1:1/c.jpg\r\n30"
                                             "\r\n\r\n");
            const std::unique_ptr<MainWindow> againWindow = nextRun(f);
            MainWindow& again = *againWindow;
            QVERIFY(!again.engine().isRunning(0));
            QVERIFY(again.engine().isRunning(2));
            QCOMPARE(again.panelArea().panel(2)->frameCaption(), QByteArray("Market"));
            QCOMPARE(again.engine().selection().place(), 2);
            QCOMPARE(again.engine().activeCams(), 1);
            QVERIFY(again.statusText().contains("Harbour"));
            // the window where it was, not maximised
            QCOMPARE(again.size(), QSize(1000, 700));
            QVERIFY(!again.isMaximized());
        }
        Q_UNUSED(box);
    }

    // A new user's cams stand in tiles: a stopped cam leaves no hole, a tile dragged onto
    // another takes its place (and keeps it at the next start), a click shows the cam in the
    // viewer, a double-click full screen; the small panels are still a choice.
    void theWallHasNoHolesAndKeepsTheDraggedOrder() {
        WindowFixture f(threeCams);
        f.window->show();
        f.start("Harbour");
        f.start("Hill");
        f.start("Market");
        CamWall& wall = f.window->wallChoice().wall();
        QVERIFY(wall.isVisible() && !f.panel(0)->isVisible());
        QCOMPARE(wall.shownPlaces(), (std::vector<int>{0, 1, 2}));
        f.engine().stopCam(1);
        QCOMPARE(wall.shownPlaces(), (std::vector<int>{0, 2}));

        const QPoint from = wall.tiles()[1].center(), onto = wall.tiles()[0].center();
        QTest::mousePress(&wall, Qt::LeftButton, {}, from);
        QTest::mouseMove(&wall, onto);
        QTest::mouseRelease(&wall, Qt::LeftButton, {}, onto);
        QCOMPARE(wall.shownPlaces(), (std::vector<int>{2, 0}));
        QCOMPARE(nextRun(f)->wallChoice().wall().order().first(), QByteArray("Market"));

        QTest::mouseClick(&wall, Qt::LeftButton, {}, wall.tiles()[1].center());
        QCOMPARE(f.engine().selection().place(), 0);
        f.engine().selection().follow(2);
        QSignalSpy fullScreen(&wall, &CamWall::fullScreenRequested);
        QTest::mouseDClick(&wall, Qt::LeftButton, {}, wall.tiles()[0].center());
        QCOMPARE(fullScreen.count(), 1);
        QCOMPARE(fullScreen.last().at(0).toInt(), 2);
        // and by the keyboard: an arrow key to the next tile, Enter views it
        QTest::keyClick(&wall, Qt::Key_Right);
        QTest::keyClick(&wall, Qt::Key_Return);
        QCOMPARE(f.engine().selection().place(), 0);
        QVERIFY(wall.accessibleDescription().startsWith("Harbour: "));

        f.window->findChild<QAction*>("layoutAction(designed)")->trigger();
        QVERIFY(!wall.isVisible() && f.panel(0)->isVisible());
    }

    void theRestoredSelectionShowsItsFirstPicture() {
        ScriptedServer server;
        server.setScript(
            ScriptedServer::answer(ScriptedServer::okResponse(jpegOf(Qt::red, 64, 48))));
        const QByteArray list = "\r\n[name]Hill\r\nhttp://" + server.address("/b.jpg").toLatin1() +
                                "\r\n30\r\n\r\n[name]Market\r\nhttp://" +
                                server.address("/c.jpg").toLatin1() + "\r\n30\r\n\r\n";
        WindowFixture f(list);
        SaveSession(f.window->services().settings(), "Tarvique Webcams",
                    {{{3, "Hill"}, {4, "Market"}}, "Hill"});
        const std::unique_ptr<MainWindow> againWindow = nextRun(f);
        MainWindow& again = *againWindow;
        QCOMPARE(again.engine().selection().place(), 3);
        // selected before any picture, the viewer takes the picture's own size when it comes
        QTRY_VERIFY_WITH_TIMEOUT(again.viewer().naturalWidth() > 10, 10000);
        QCOMPARE(again.viewer().picture().size(), QSize(64, 48));
        QCOMPARE(again.engine().selection().place(), 3);

        // a cam the user chose meanwhile stays chosen
        WindowFixture g(list);
        SaveSession(g.window->services().settings(), "Tarvique Webcams",
                    {{{3, "Hill"}, {4, "Market"}}, "Hill"});
        const std::unique_ptr<MainWindow> thirdWindow = nextRun(g);
        MainWindow& third = *thirdWindow;
        third.engine().selection().follow(4);
        QTRY_VERIFY_WITH_TIMEOUT(third.engine().isSettled(3) && third.engine().isSettled(4), 10000);
        QCOMPARE(third.engine().selection().place(), 4);
    }

    void theSessionKeepsWhatTheUserSawAndSaysWhyACamStaysOut() {
        WindowFixture f(camList({{"Hill", "http://127.0.0.1:1/b.jpg", "30"},
                                 {"Bad", "http://127.0.0.1:1/c.jpg", "30"}}));
        f.start("Hill");
        f.start("Bad");
        f.window->close(); // no panel was ever clicked: no cam was viewed
        QCOMPARE(LoadSession(f.window->services().settings(), "Tarvique Webcams").selected,
                 std::string());
        f.box.writeFile("00camlist.txt", camList({{"Hill", "http://127.0.0.1:1/b.jpg", "30"},
                                                  {"Bad", "http://127.0.0.1:1/c.jpg", "x"}}));
        const std::unique_ptr<MainWindow> again = nextRun(f);
        QVERIFY(again->engine().isRunning(0));
        QVERIFY(!again->viewer().isVisible());
        QVERIFY2(again->statusText().contains("Bad (its refresh interval \"x\" is not a number)"),
                 qPrintable(again->statusText()));
    }

    void aDamagedSessionStartsWhatItCan() {

        std::vector<Session::Cam> many;
        for (int panel = 0; panel < 30; ++panel)
            many.push_back({panel, "cam" + std::to_string(panel)});
        const std::vector<Session::Cam> read = DecodeRunningCams(EncodeRunningCams(many));
        QCOMPARE(read.size(), size_t(24)); // panels 24 and above never run
        QCOMPARE(DecodeRunningCams("3=4869;x=41;-1=41;99=41;4=zz;5=;6=4869;3=42;7=4d61"),
                 (std::vector<Session::Cam>{{3, "Hi"}, {7, "Ma"}}));
        QVERIFY(DecodeRunningCams(std::string(5000, ';')).empty());

        WindowFixture f(threeCams);
        f.window->services().settings().WriteUserSetting(
            "Tarvique Webcams", "Session", "runningCams",
            QString::fromStdString(EncodeRunningCams(many)));
        SaveSession(f.window->services().settings(), "Tarvique Webcams",
                    {{{5, "Hill"}, {1, "Hill"}, {0, "Nowhere"}}, "Hill"});
        const std::unique_ptr<MainWindow> againWindow = nextRun(f);
        MainWindow& again = *againWindow;
        QCOMPARE(again.engine().activeCams(), 1);
        QVERIFY(again.engine().isRunning(5));
        QCOMPARE(again.engine().selection().place(), 5);
        QVERIFY(again.statusText().contains("Nowhere"));
    }

    void sigtermKeepsTheRunningCams() {
        Sandbox box;
        box.writeFile("00camlist.txt", threeCams);
        // the last run left Hill and a cam that is gone; this run ends by SIGTERM
        ScriptedPrompter prompter;
        SettingsStore settings("Tarvique Software", "Tarvique Webcams", prompter);
        settings.WriteUserSetting("Tarvique Webcams", "Settings", "showHelp", "0");
        SaveSession(settings, "Tarvique Webcams", {{{1, "Hill"}, {2, "Gone"}}, {}});
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.start(executable(), {"--program-folder", box.programFolder()});
        QVERIFY(program.waitForStarted(10000));
        // it is up: the signal is taken once the window is loaded, the session with it
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(box.path("cam")), 15000);
        program.terminate(); // SIGTERM, as at logout
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(LoadSession(settings, "Tarvique Webcams").running,
                 (std::vector<Session::Cam>{{1, "Hill"}}));
    }

    void sigtermDuringAListRewriteWaitsForIt() {
        Sandbox box;
        TerminationWatch watch;
        int requests = 0;
        connect(&watch, &TerminationWatch::terminationRequested, this, [&] { ++requests; });
        std::string before = "\r\n";
        for (int i = 0; i < 6000; ++i)
            before += camlisttext::recordText(
                {"cam" + std::to_string(i), "http://cams.example/" + std::to_string(i), "30"});
        const std::string after = camlisttext::withoutRecord(before, "cam3000");
        std::mt19937 random(20261207);
        std::uniform_int_distribution<int> moment(0, 4000);
        for (int run = 0; run < 20; ++run) {
            box.writeFile(camListFileName, QByteArray::fromStdString(before));
            // the signal comes at any moment of the rewrite; the rewrite ends first
            const int microseconds = moment(random);
            std::thread logout([microseconds] {
                std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
                ::kill(::getpid(), SIGTERM);
            });
            const FileResult result = DeleteCamRecord(box.fsPath(camListFileName), "cam3000");
            logout.join();
            QVERIFY(result.ok);
            QVERIFY(box.readFile(camListFileName).toStdString() == after);
            QTRY_COMPARE(requests, run + 1); // and then the window is asked to close
        }
    }

    void theMenusAnswerTheirKeys() {
        Active f;
        f.key(QKeyCombination(Qt::CTRL, Qt::Key_N));
        QVERIFY(f.window->camList().addDialog());
        f.window->camList().addDialog()->close();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.list()->setFocus();
        f.select("Hill");
        f.key(Qt::Key_F2);
        QVERIFY(f.window->camList().editDialog());
        f.window->camList().editDialog()->close();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.list()->setFocus();
        f.prompter.answers = {PromptAnswer::Cancel};
        f.key(Qt::Key_Delete);
        QCOMPARE(f.prompter.asked.size(), 1);
        QCOMPARE(f.prompter.asked[0].title, QString("Confirm Delete"));
        f.key(Qt::Key_F1);
        QVERIFY(f.window->windows().helpWindow());
        f.window->windows().helpWindow()->close();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.key(QKeyCombination(Qt::CTRL, Qt::Key_Q));
        QCOMPARE(f.processEnds, 1);
    }

    void theListIsUsedWithTheKeyboard() {
        Active f;
        f.list()->setFocus();
        f.list()->setCurrentRow(0);
        f.key(Qt::Key_Down);
        QCOMPARE(f.list()->currentItem()->text(), QString("Hill"));
        f.key(Qt::Key_Return); // Enter starts it, as a double click does
        QCOMPARE(f.engine().activeCams(), 1);
        QCOMPARE(f.panel(0)->frameCaption(), QByteArray("Hill"));
        // Tab walks from the commands to the list
        f.window->findChild<QWidget*>("chkSave")->setFocus();
        f.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.list());
        // a panel takes the focus, and Enter shows it in the viewer
        f.panel(0)->setFocus();
        f.key(Qt::Key_Return);
        QVERIFY(f.window->viewer().isVisible());
    }

    void camsRestWhileTheWindowIsNotSeen() {
        Active f;
        f.start("Harbour");
        QVERIFY(f.fetcher(0)->isCounting());
        f.window->showMinimized();
        QVERIFY(f.engine().isResting());
        QVERIFY(!f.fetcher(0)->isCounting());
        f.window->showNormal(); // seen again: fetched at once
        QVERIFY(!f.engine().isResting());
        QVERIFY(f.fetcher(0)->isCounting());
        f.window->findChild<QCheckBox*>("chkSave")->setChecked(true);
        f.window->hide(); // saved pictures go on
        QVERIFY(!f.engine().isResting());
    }

    void theViewerAnswersItsKeys() {
        Active f;
        f.start("Harbour");
        f.engine().showPlainPicture(0, filledPicture(Qt::red, 320, 240));
        f.engine().selection().follow(0);
        QScrollBar* zoom = f.window->viewer().details()->zoomSlider();
        f.key(QKeyCombination(Qt::CTRL, Qt::Key_Plus));
        QCOMPARE(zoom->value(), 2);
        f.key(QKeyCombination(Qt::CTRL, Qt::Key_Equal));
        QCOMPARE(zoom->value(), 3);
        f.key(QKeyCombination(Qt::CTRL, Qt::Key_Minus));
        QCOMPARE(zoom->value(), 2);
        f.key(QKeyCombination(Qt::CTRL, Qt::Key_S));
        QTRY_VERIFY(!f.window->viewer().isSaving());
        QCOMPARE(QDir(f.box.path("cam")).entryList(QDir::Files).size(), 1);
        f.key(Qt::Key_F11);
        FullScreenView* view = f.window->viewer().fullScreenView();
        QVERIFY(view && f.window->viewer().fullScreenOn());
        QTest::keyClick(view, Qt::Key_Escape);
        QVERIFY(!f.window->viewer().fullScreenOn());
    }
};

WEBCAMS_TEST(DesktopTest)
#include "test_desktop.moc"
