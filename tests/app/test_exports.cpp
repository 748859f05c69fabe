// What goes out of the program and comes back: the menu items of the time-lapse film and of
// the cam list exchange, and the film made from the command line without a window.
#include "app/commandline.h"
#include "app/exportcommands.h"
#include "app/camservices.h"
#include "app/mainwindow.h"
#include "config/camalerts.h"
#include "config/settings.h"
#include "dialogs/dailyfilmsdialog.h"
#include "dialogs/keeppicturesdialog.h"
#include "dialogs/timelapsedialog.h"
#include "engine/camengine.h"
#include "engine/camfollower.h"
#include "history/picturekeeper.h"
#include "imaging/savepath.h"
#include "listpane/camdialog.h"
#include "listpane/camlistpane.h"
#include "listpane/exportcamsdialog.h"
#include "listpane/listexchange.h"
#include "net/networkclock.h"
#include "panels/campanel.h"
#include "panels/panelarea.h"
#include "timelapse/dailyfilmmaker.h"

#include "camlistbytes.h"
#include "pictures.h"
#include "sandbox.h"
#include "scriptedfilechooser.h"
#include "scriptedprompter.h"
#include "testmain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace {

const QByteArray twoCams = camList(
    {{"Harbour", "http://127.0.0.1:1/a.jpg", "30"}, {"Hill", "http://127.0.0.1:1/b.jpg", "30"}});

// A main window whose file dialogs are scripted.
struct ExportFixture {
    Sandbox box;
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    std::unique_ptr<MainWindow> window;

    ExportFixture() {
        box.writeFile("00camlist.txt", twoCams);
        window =
            std::make_unique<MainWindow>(LoadAppIdentity(), box.programFolder(), prompter, &files);
        window->clock().setTimeServer("127.0.0.1", 1);
        window->setProcessEnd([] {});
        window->load();
    }
    void trigger(const char* action) {
        QAction* item = window->findChild<QAction*>(action);
        QVERIFY2(item, action);
        item->trigger();
    }
};

void saveHillPictures(const QString& camFolder, int count) {
    const QDateTime first(QDate(2026, 12, 7), QTime(8, 0, 0));
    for (int i = 0; i < count; ++i)
        WritePictureJpeg(filledPicture(QColor(i * 10, 90, 200), 48, 32),
                         SavePath(camFolder, "Hill", first.addSecs(60 * i)));
}

} // namespace

class ExportsTest : public QObject {
    Q_OBJECT
  private slots:
    void theMenusReachTheExports() {
        ExportFixture f;
        // the film of the viewed cam, or else of the list's
        f.window->camList().list()->setCurrentRow(1);
        f.trigger("exportTimelapseAction");
        TimelapseDialog* dialog = f.window->exports().timelapseDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->camBox()->currentText(), QString("Hill"));
        QCOMPARE(dialog->camBox()->count(), 2);
        dialog->close();
        QTRY_VERIFY(!f.window->exports().timelapseDialog());
        f.window->camList().list()->setCurrentRow(1);
        f.window->startListedCam();
        f.window->camList().list()->setCurrentRow(0);
        f.window->engine().showPlainPicture(0, filledPicture(Qt::red, 8, 8));
        f.window->engine().selection().follow(0);
        f.trigger("exportTimelapseAction");
        QCOMPARE(f.window->exports().timelapseDialog()->camBox()->currentText(), QString("Hill"));

        // a list from a friend: the list box shows the new cam
        f.box.writeFile("friend.txt", "[name]North\nhttp://n/n.jpg\n10\n[name]Hill\nhttp://x\n5\n");
        f.files.answers = {f.box.path("friend.txt")};
        f.trigger("importCamListAction");
        QCOMPARE(f.window->camList().list()->count(), 3);
        QCOMPARE(f.window->camList().list()->item(2)->text(), QString("North"));
        QVERIFY(f.prompter.asked.last().text.startsWith("1 cam was added. 1 cam was already"));

        f.trigger("exportCamListAction");
        ExportCamsDialog* exportDialog = f.window->exports().listExchange().exportDialog();
        QVERIFY(exportDialog);
        f.files.answers = {f.box.path("mine.txt")};
        exportDialog->accept();
        QCOMPARE(f.box.readFile("mine.txt"), f.box.readFile("00camlist.txt"));
    }

    // A cam's own choices, as the settings file holds them: what a damaged value gives.
    void damagedChoicesReadAsTheirDefaults_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("read"); // as the check below writes it
        QTest::newRow("alerts") << "Alerts"
                                << "1 15 2"
                                << "on 15 2";
        QTest::newRow("alerts, 0 minutes") << "Alerts"
                                           << "1 0 0"
                                           << "off 10 0";
        QTest::newRow("alerts, a word") << "Alerts"
                                        << "1 x 0"
                                        << "off 10 0";
        QTest::newRow("alerts, too few") << "Alerts"
                                         << "1 10"
                                         << "off 10 0";
        QTest::newRow("alerts, years") << "Alerts"
                                       << "1 99999999 0"
                                       << "off 10 0";
        QTest::newRow("keep") << "KeepPictures"
                              << "30 2.5"
                              << "30 2.5";
        QTest::newRow("keep, negative") << "KeepPictures"
                                        << "-1 0"
                                        << "0 0";
        QTest::newRow("keep, not a number") << "KeepPictures"
                                            << "5 nan"
                                            << "0 0";
        QTest::newRow("keep, huge") << "KeepPictures"
                                    << "5 1e300"
                                    << "0 0";
        QTest::newRow("film") << "DailyFilms"
                              << "1 02:30 6 20 1 0 5"
                              << "on 02:30 6-20 5";
        QTest::newRow("film, 25 o'clock") << "DailyFilms"
                                          << "1 25:00 0 24 0 0 10"
                                          << "off 01:00 0-24 10";
        QTest::newRow("film, no hours") << "DailyFilms"
                                        << "1 01:00 5 5 0 0 10"
                                        << "off 01:00 0-24 10";
        QTest::newRow("film, 0 a second") << "DailyFilms"
                                          << "1 01:00 0 24 0 0 0"
                                          << "off 01:00 0-24 10";
    }
    void damagedChoicesReadAsTheirDefaults() {
        QFETCH(QString, section);
        QFETCH(QString, value);
        QFETCH(QString, read);
        ExportFixture f;
        const QString product = LoadAppIdentity().ProductName;
        f.window->services().settings().WriteUserSetting(product, section, CamSettingKey("Hill"), value);
        QString found;
        if (section == "Alerts") {
            const CamAlerts a = CamAlertSettings(f.window->services().settings(), product).read("Hill");
            found = QString("%1 %2 %3")
                        .arg(a.on ? "on" : "off")
                        .arg(a.minutesWithoutPicture)
                        .arg(a.hoursUnchanged);
        } else if (section == "KeepPictures") {
            const KeepRule rule = f.window->services().pictureKeeper().camRule("Hill");
            found = QString("%1 %2").arg(rule.days).arg(rule.gigabytes);
        } else {
            const DailyFilmRule rule = f.window->services().dailyFilms().rule("Hill");
            found = QString("%1 %2 %3-%4 %5")
                        .arg(rule.on ? "on" : "off", rule.at.toString("HH:mm"))
                        .arg(rule.fromHour)
                        .arg(rule.toHour)
                        .arg(rule.framesPerSecond);
        }
        QCOMPARE(found, read);
    }

    // The dialogs keep what was chosen, and a renamed cam keeps its choices.
    void choicesAreKeptAndFollowARename() {
        ExportFixture f;
        const QString product = LoadAppIdentity().ProductName;
        f.trigger("keepPicturesAction");
        auto* keep = f.window->findChild<KeepPicturesDialog*>();
        QVERIFY(keep);
        static_cast<QSpinBox*>(keep->table()->cellWidget(2, 3))->setValue(3); // Hill, days
        keep->accept();
        f.trigger("dailyFilmsAction");
        auto* films = f.window->findChild<DailyFilmsDialog*>();
        QVERIFY(films);
        static_cast<QCheckBox*>(films->table()->cellWidget(1, 1))->setChecked(true); // Hill
        films->accept();
        f.window->camList().list()->setCurrentRow(1);
        f.window->camList().editSelectedCam();
        EditCamDialog* edit = f.window->camList().editDialog();
        QVERIFY(edit && edit->alertsBox());
        edit->alertsBox()->setChecked(true);
        edit->nameBox()->setText("Hill top");
        edit->findChild<QToolButton*>("Command1")->click();
        const CamAlertSettings alerts(f.window->services().settings(), product);
        QVERIFY(alerts.read("Hill top").on && !alerts.read("Hill").on);
        QCOMPARE(f.window->services().pictureKeeper().camRule("Hill top").days, 3);
        QVERIFY(f.window->services().dailyFilms().rule("Hill top").on);
        QVERIFY(!f.window->services().dailyFilms().rule("Hill").on);
    }

    // The days whose film is due: yesterday's once the hour has come, days missed while the
    // program did not run, a week at most.
    void dailyFilmsAreDueOnTheirDays_data() {
        QTest::addColumn<QString>("lastMade");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("due");
        QTest::newRow("before the hour") << "2026-12-06"
                                         << "2026-12-08T00:59:00"
                                         << "";
        QTest::newRow("at the hour") << "2026-12-06"
                                     << "2026-12-08T01:00:00"
                                     << "2026-12-07";
        QTest::newRow("made already") << "2026-12-07"
                                      << "2026-12-08T23:00:00"
                                      << "";
        QTest::newRow("first time") << ""
                                    << "2026-12-08T00:30:00"
                                    << "2026-12-06";
        QTest::newRow("days missed") << "2026-12-04"
                                     << "2026-12-08T09:00:00"
                                     << "2026-12-05 2026-12-06 2026-12-07";
        QTest::newRow("a week at most") << "2026-10-01"
                                        << "2026-12-08T09:00:00"
                                        << "2026-12-01 2026-12-02 2026-12-03 2026-12-04 "
                                           "2026-12-05 2026-12-06 2026-12-07";
    }
    void dailyFilmsAreDueOnTheirDays() {
        QFETCH(QString, lastMade);
        QFETCH(QString, now);
        QFETCH(QString, due);
        QStringList days;
        for (const QDate& day : DueFilmDays({true}, QDate::fromString(lastMade, Qt::ISODate),
                                            QDateTime::fromString(now, Qt::ISODate)))
            days << day.toString(Qt::ISODate);
        QCOMPARE(days.join(' '), due);
        QVERIFY(DueFilmDays({}, {}, QDateTime::fromString(now, Qt::ISODate)).empty());
    }

    void theCommandLineMakesAFilm() {
        CommandLine line =
            ParseCommandLine({"dunmoral", "--export-timelapse", "Hill", "out.avi", "--fps", "5",
                              "--from", "2026-12-07T08:00:00", "--skip-dark"});
        QCOMPARE(line.action, CommandLine::Action::ExportTimelapse);
        QCOMPARE(line.timelapseCam, QString("Hill"));
        QCOMPARE(line.timelapseFile, QString("out.avi"));
        QCOMPARE(line.framesPerSecond, 5);
        QCOMPARE(line.from, std::optional<QDateTime>(QDateTime(QDate(2026, 12, 7), QTime(8, 0))));
        QVERIFY(!line.to);
        QVERIFY(line.skipDark && !line.skipRepeats);
        for (const QStringList& bad :
             {QStringList{"dunmoral", "--export-timelapse", "Hill"},
              QStringList{"dunmoral", "--export-timelapse", "Hill", "a.avi", "--fps", "0"},
              QStringList{"dunmoral", "--export-timelapse", "Hill", "a.avi", "--fps", "many"},
              QStringList{"dunmoral", "--export-timelapse", "Hill", "a.avi", "--to", "noon"},
              QStringList{"dunmoral", "--export-timelapse", "", "a.avi"},
              QStringList{"dunmoral", "--fps", "5"}, QStringList{"dunmoral", "--skip-repeats"},
              QStringList{"dunmoral", "--only-motion"},
              QStringList{"dunmoral", "--export-timelapse", "Hill", "a.avi", "extra"}}) {
            line = ParseCommandLine(bad);
            QVERIFY2(line.action == CommandLine::Action::Error, qPrintable(bad.join(' ')));
            QVERIFY(!line.text.isEmpty());
        }
        QVERIFY(ParseCommandLine({"dunmoral", "--export-timelapse", "Hill", "a.avi", "extra"})
                    .text.startsWith("Unexpected argument: extra"));
        QCOMPARE(
            ParseCommandLine({"dunmoral", "--export-timelapse", "Hill", "a.avi", "--help"}).action,
            CommandLine::Action::ShowHelp);

        Sandbox box;
        QDir().mkpath(box.path("cam"));
        saveHillPictures(box.path("cam"), 12);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY"); // no window may open
        environment.insert("QT_QPA_PLATFORM", "xcb");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(DUNMORAL,
                      {"--program-folder", box.programFolder(), "--export-timelapse", "Hill",
                       box.path("hill.avi"), "--fps", "4", "--to", "2026-12-07T08:09:00"});
        QVERIFY(program.waitForFinished(30000));
        QVERIFY2(program.exitCode() == 0, program.readAllStandardError().constData());
        QVERIFY(program.readAllStandardOutput().contains("holds 10 pictures of 48x32 at 4"));
        QProcess probe;
        probe.start("ffprobe",
                    {"-v", "error", "-count_frames", "-show_entries",
                     "stream=nb_read_frames,r_frame_rate", "-of", "csv=p=0", box.path("hill.avi")});
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.readAllStandardOutput().trimmed(), QByteArray("4/1,10"));

        // a cam without pictures: a clear message and status 1; the name as it was typed, but
        // with no control character a terminal would act on
        program.start(DUNMORAL, {"--program-folder", box.programFolder(), "--export-timelapse",
                                 "Nobody\x1b[2J", box.path("nobody.avi")});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(program.readAllStandardError().contains(
            "There are no saved pictures of Nobody\\x1b[2J"));
        QVERIFY(!box.exists("nobody.avi"));

        // the hill's pictures only grow lighter: no motion, so no film, said
        program.start(DUNMORAL, {"--program-folder", box.programFolder(), "--export-timelapse",
                                 "Hill", box.path("motion.avi"), "--only-motion"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        QVERIFY(program.readAllStandardError().contains("None of the saved pictures of Hill"));
    }
};

WEBCAMS_TEST(ExportsTest)

#include "test_exports.moc"
