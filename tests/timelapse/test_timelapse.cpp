// Time-lapse films: a cam's saved pictures found by their names and put in order, written as a
// Motion-JPEG AVI that ffprobe and ffmpeg read, with nothing left behind when it fails.
#include "common/datetimetext.h"
#include "config/camsettings.h"
#include "config/settings.h"
#include "dialogs/timelapsedialog.h"
#include "history/savedpictures.h"
#include "imaging/savename.h"
#include "imaging/savepath.h"
#include "timelapse/aviwriter.h"
#include "timelapse/dailyfilmmaker.h"
#include "timelapse/timelapseexport.h"

#include "motionscenes.h"
#include "pictures.h"
#include "sandbox.h"
#include "scriptedfilechooser.h"
#include "scriptedprompter.h"
#include "testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <numeric>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QDateTime firstMoment(QDate(2026, 12, 7), QTime(8, 0, 0));

// The colour that tells frame `index` apart from the others once it has been through JPEG.
QColor frameColour(int index) {
    return QColor((index % 20) * 12, (index / 20) * 10, 128);
}

// Saves a picture as the program does, under the cam's save name for `moment` (or the name
// it was saved under before, in the locale's date and time).
QString savePicture(const QString& camFolder, const QByteArray& cam, const QDateTime& moment,
                    const QImage& picture, bool olderName = false) {
    const QString path =
        olderName
            ? camFolder + "/" +
                  QString::fromStdString(SaveFileName(cam.toStdString(),
                                                      shortDateText(moment.date()).toStdString(),
                                                      longTimeText(moment.time()).toStdString()))
            : SavePath(camFolder, cam, moment);
    const QString error = WritePictureJpeg(picture, path);
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(moment, QFileDevice::FileModificationTime);
    return path;
}

// `count` pictures 2 s apart, saved in a shuffled order.
void saveFrames(const QString& camFolder, const QByteArray& cam, int count, QSize size = {64, 48}) {
    std::vector<int> order(size_t(count), 0);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (int index : order)
        savePicture(camFolder, cam, firstMoment.addSecs(2 * index),
                    filledPicture(frameColour(index), size.width(), size.height()));
}

struct Probe {
    int frames = -1;
    QString rate, codec;
    QSize size;
};

Probe probe(const QString& film) {
    QProcess ffprobe;
    ffprobe.start("ffprobe",
                  {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                   "stream=codec_name,width,height,r_frame_rate,"
                   "nb_read_frames",
                   "-of", "default=nw=1", film});
    Probe result;
    if (!ffprobe.waitForFinished(60000) || ffprobe.exitCode() != 0)
        return result;
    for (const QByteArray& line : ffprobe.readAllStandardOutput().split('\n')) {
        const QString value = QString::fromLatin1(line.mid(line.indexOf('=') + 1)).trimmed();
        if (line.startsWith("nb_read_frames="))
            result.frames = value.toInt();
        else if (line.startsWith("r_frame_rate="))
            result.rate = value;
        else if (line.startsWith("codec_name="))
            result.codec = value;
        else if (line.startsWith("width="))
            result.size.setWidth(value.toInt());
        else if (line.startsWith("height="))
            result.size.setHeight(value.toInt());
    }
    return result;
}

// Each frame of the film as ffmpeg decodes it, shrunk to one pixel.
QList<QColor> frameColours(const QString& film) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-i", film, "-vf", "scale=1:1", "-f", "rawvideo",
                            "-pix_fmt", "rgb24", "-"});
    QList<QColor> colours;
    if (!ffmpeg.waitForFinished(60000))
        return colours;
    const QByteArray pixels = ffmpeg.readAllStandardOutput();
    for (qsizetype at = 0; at + 2 < pixels.size(); at += 3)
        colours << QColor(uchar(pixels[at]), uchar(pixels[at + 1]), uchar(pixels[at + 2]));
    return colours;
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) <= 4 && std::abs(a.green() - b.green()) <= 4 &&
           std::abs(a.blue() - b.blue()) <= 4;
}

TimelapseOptions optionsFor(const Sandbox& box, const QByteArray& cam) {
    TimelapseOptions options;
    options.camFolder = box.path("cam");
    options.camName = cam;
    options.output = box.path("film.avi");
    return options;
}

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList({".film.avi.*"}, QDir::Files | QDir::Hidden);
}

} // namespace

class TimelapseTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable("ffprobe").isEmpty())
            QFAIL("ffprobe is needed (Debian's ffmpeg package; make test installs it)");
    }

    void fiveHundredPicturesPlayInOrder() {
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        saveFrames(box.path("cam"), "Harbour", 500);
        TimelapseOptions options = optionsFor(box, "Harbour");
        const TimelapseSummary summary = TimelapseExport(options).run();
        QVERIFY2(summary.error.isEmpty(), qPrintable(summary.error));
        QCOMPARE(summary.written, 500);
        QCOMPARE(summary.size, QSize(64, 48));

        const Probe film = probe(options.output);
        QCOMPARE(film.codec, QString("mjpeg"));
        QCOMPARE(film.frames, 500);
        QCOMPARE(film.rate, QString("10/1"));
        QCOMPARE(film.size, QSize(64, 48));
        const QList<QColor> colours = frameColours(options.output);
        QCOMPARE(colours.size(), 500);
        for (int index = 0; index < 500; ++index)
            QVERIFY2(near(colours[index], frameColour(index)), qPrintable(QString::number(index)));
        // the pictures go in as they are: the film is little more than their bytes
        qint64 pictureBytes = 0;
        for (const QFileInfo& file : QDir(box.path("cam")).entryInfoList(QDir::Files))
            pictureBytes += file.size();
        QVERIFY(QFileInfo(options.output).size() < pictureBytes + 500 * 64 + 64 * 1024);
        QVERIFY(leftovers(box.programFolder()).isEmpty());
    }

    void aLongFilmGoesOnInFurtherParts() {
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        saveFrames(box.path("cam"), "Harbour", 120, {320, 240});
        TimelapseOptions options = optionsFor(box, "Harbour");
        options.partLimit = 64 * 1024; // as 1 GB does for a long film
        options.framesPerSecond = 25;
        const TimelapseSummary summary = TimelapseExport(options).run();
        QVERIFY2(summary.error.isEmpty(), qPrintable(summary.error));
        const QByteArray bytes = box.readFile("film.avi");
        QVERIFY(bytes.count("AVIX") >= 3);
        QCOMPARE(bytes.count("ix00"), bytes.count("AVIX") + 1);
        const Probe film = probe(options.output);
        QCOMPARE(film.frames, 120);
        QCOMPARE(film.rate, QString("25/1"));
        const QList<QColor> colours = frameColours(options.output);
        QCOMPARE(colours.size(), 120);
        QVERIFY(near(colours.first(), frameColour(0)) && near(colours.last(), frameColour(119)));
    }

    // The film's name chooses: the design's Motion-JPEG AVI, or H.264 in MP4.
    void damagedAndOtherSizedPictures_data() {
        QTest::addColumn<QString>("film");
        QTest::addColumn<QString>("codec");
        QTest::newRow("AVI") << "film.avi"
                             << "mjpeg";
        QTest::newRow("MP4") << "film.MP4"
                             << "h264";
    }
    void damagedAndOtherSizedPictures() {
        QFETCH(QString, film);
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        saveFrames(box.path("cam"), "Harbour", 10);
        // a picture cut short, a page saved as a picture, and a larger one
        const QString cut = savePicture(box.path("cam"), "Harbour", firstMoment.addSecs(3),
                                        filledPicture(Qt::red, 64, 48));
        QFile file(cut);
        file.open(QIODevice::ReadWrite);
        file.resize(file.size() / 2);
        file.close();
        QFile page(SavePath(box.path("cam"), "Harbour", firstMoment.addSecs(5)));
        page.open(QIODevice::WriteOnly);
        page.write("<html>not found</html>");
        page.close();
        savePicture(box.path("cam"), "Harbour", firstMoment.addSecs(7),
                    filledPicture(Qt::green, 128, 128));

        TimelapseOptions options = optionsFor(box, "Harbour");
        options.output = box.path(film);
        const TimelapseSummary summary = TimelapseExport(options).run();
        QVERIFY2(summary.error.isEmpty(), qPrintable(summary.error));
        QCOMPARE(summary.written, 11);
        QCOMPARE(summary.damaged, 2);
        QCOMPARE(summary.rescaled, 1);
        QVERIFY(TimelapseReport(summary, options.output, 10).contains("2 damaged pictures"));
        const Probe played = probe(options.output);
        QTEST(played.codec, "codec");
        QCOMPARE(played.frames, 11);
        QCOMPARE(played.size, QSize(64, 48));
        QVERIFY(
            QDir(box.programFolder()).entryList({".film.*"}, QDir::Files | QDir::Hidden).isEmpty());
        // the square picture is fitted between black bars, in its place in time
        const QList<QColor> colours = frameColours(options.output);
        QCOMPARE(colours.size(), 11);
        QVERIFY(colours[4].green() > colours[4].red() && colours[4].green() > 60);
    }

    // Night and a cam that stopped changing are left out when asked, and only then.
    void darkAndRepeatedPicturesAreLeftOutWhenAsked_data() {
        QTest::addColumn<bool>("skipDark");
        QTest::addColumn<bool>("skipRepeats");
        QTest::addColumn<int>("written");
        QTest::newRow("neither") << false << false << 6;
        QTest::newRow("dark") << true << false << 4;
        QTest::newRow("repeats") << false << true << 4;
        QTest::newRow("both") << true << true << 3;
    }
    void darkAndRepeatedPicturesAreLeftOutWhenAsked() {
        QFETCH(bool, skipDark);
        QFETCH(bool, skipRepeats);
        QFETCH(int, written);
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        // night, night again, a day, the same day with a pixel changed, dusk, another day
        QImage changed = filledPicture(QColor(200, 180, 90), 64, 48);
        changed.setPixelColor(3, 3, Qt::black);
        const QList<QImage> pictures{filledPicture(QColor(5, 5, 10), 64, 48),
                                     filledPicture(QColor(5, 5, 10), 64, 48),
                                     filledPicture(QColor(200, 180, 90), 64, 48),
                                     changed,
                                     filledPicture(QColor(70, 60, 80), 64, 48),
                                     filledPicture(QColor(90, 160, 220), 64, 48)};
        for (int i = 0; i < pictures.size(); ++i)
            savePicture(box.path("cam"), "Harbour", firstMoment.addSecs(60 * i), pictures[i]);
        TimelapseOptions options = optionsFor(box, "Harbour");
        options.skipDark = skipDark;
        options.skipRepeats = skipRepeats;
        const TimelapseSummary summary = TimelapseExport(options).run();
        QCOMPARE(summary.written, written);
        QCOMPARE(summary.dark, skipDark ? 2 : 0);
        QCOMPARE(probe(options.output).frames, written);
    }

    // Pictures saved before motion was watched are judged from themselves: a figure crossing
    // keeps its event, lights switched on alone keep nothing.
    void onlyThePicturesWithMotion_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("kept");
        QTest::newRow("crossing") << "crossing" << true;
        QTest::newRow("lights on") << "lights on" << false;
    }
    void onlyThePicturesWithMotion() {
        QFETCH(QString, kind);
        QFETCH(bool, kept);
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        std::mt19937 random(5);
        for (int n = 0; n < pictures; ++n)
            savePicture(box.path("cam"), "Gate", firstMoment.addSecs(60 * n),
                        scene(kind, n, random));
        TimelapseOptions options = optionsFor(box, "Gate");
        options.onlyMotion = true;
        options.motion.picturesBefore = options.motion.picturesAfter = 1;
        const TimelapseSummary summary = TimelapseExport(options).run();
        QCOMPARE(summary.error.isEmpty(), kept);
        QCOMPARE(QFile::exists(options.output), kept);
        if (kept) { // the figure walks in pictures 10 to 24, and one is kept on either side
            QVERIFY2(summary.written >= 15 && summary.written <= 20, qPrintable(summary.error));
            QCOMPARE(summary.written + summary.withoutMotion, pictures);
        }
    }

    void aFailedOrCancelledExportLeavesNothing() {
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        TimelapseOptions options = optionsFor(box, "Harbour");
        // no picture at all
        TimelapseSummary summary = TimelapseExport(options).run();
        QVERIFY(summary.error.contains("no saved pictures of Harbour"));
        QVERIFY(!box.exists("film.avi"));

        // one picture is a film of one frame
        saveFrames(box.path("cam"), "Harbour", 1);
        summary = TimelapseExport(options).run();
        QCOMPARE(summary.written, 1);
        QCOMPARE(probe(options.output).frames, 1);
        QFile::remove(options.output);

        // Cancel half-way
        saveFrames(box.path("cam"), "Harbour", 40);
        summary = TimelapseExport(options).run([](int done, int) { return done < 20; });
        QVERIFY(summary.cancelled);
        QVERIFY(!box.exists("film.avi"));
        QVERIFY(leftovers(box.programFolder()).isEmpty());

        // every picture damaged
        Sandbox broken;
        QDir().mkpath(broken.path("cam"));
        QFile junk(SavePath(broken.path("cam"), "Harbour", firstMoment));
        junk.open(QIODevice::WriteOnly);
        junk.write(QByteArray(5000, 'x'));
        junk.close();
        summary = TimelapseExport(optionsFor(broken, "Harbour")).run();
        QVERIFY(summary.error.contains("None of the 1 pictures"));
        QVERIFY(!broken.exists("film.avi"));
        QVERIFY(leftovers(broken.programFolder()).isEmpty());

        // a folder that cannot be written
        QDir().mkpath(box.path("locked"));
        options.output = box.path("locked/film.avi");
        {
            ReadOnlyFolder locked(box.path("locked"));
            summary = TimelapseExport(options).run();
        }
        QVERIFY(summary.error.contains("Could not write in"));
        QVERIFY(QDir(box.path("locked")).isEmpty());
    }

    void specialFilesNeitherHangNorAreReplaced() {
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        saveFrames(box.path("cam"), "Harbour", 3);
        // a FIFO among the pictures, through a link: no picture of the program's, never read
        const QString fifo = box.path("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QFile::link(fifo, SavePath(box.path("cam"), "Harbour", firstMoment.addSecs(-60))));
        TimelapseOptions options = optionsFor(box, "Harbour");
        // a crash's leftover beside the film, old enough to be nobody's
        const QString stale = box.path(".film.avi.AbC123");
        QFile leftover(stale);
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.setFileTime(firstMoment.addDays(-1), QFileDevice::FileModificationTime);
        leftover.close();
        TimelapseSummary summary = TimelapseExport(options).run();
        QCOMPARE(summary.written, 3);
        QCOMPARE(summary.damaged, 0);
        QVERIFY(!QFile::exists(stale));
        // a FIFO given as the film is refused and stays what it is
        options.output = fifo;
        summary = TimelapseExport(options).run();
        QVERIFY(summary.error.contains("is not a regular file"));
        QVERIFY(QFileInfo(fifo).isSymLink() || !QFileInfo(fifo).isFile());
    }

    void aFullDiskLeavesNothing() {

        Sandbox box;
        QDir().mkpath(box.path("cam"));
        saveFrames(box.path("cam"), "Harbour", 60, {320, 240});
        const TimelapseOptions options = optionsFor(box, "Harbour");
        const pid_t child = fork();
        if (child == 0) {
            signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
            const rlimit limit{100 * 1024, 100 * 1024};
            setrlimit(RLIMIT_FSIZE, &limit);
            const TimelapseSummary summary = TimelapseExport(options).run();
            _exit(summary.error.contains("File too large") ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(!box.exists("film.avi"));
        QVERIFY(leftovers(box.programFolder()).isEmpty());
    }

    void picturesAreFoundByTheirNames() {
        Sandbox box;
        const QString cam = box.path("cam");
        QDir().mkpath(cam);
        // names that hold slashes and dots are saved without the slashes, in the cam folder
        const QImage red = filledPicture(Qt::red, 16, 16);
        savePicture(cam, "../Harbour/x", firstMoment, red, true);
        savePicture(cam, "Harbour", firstMoment.addSecs(60), red, true);
        savePicture(cam, "Harbour2", firstMoment.addSecs(30), red, true);
        savePicture(cam, "Harbour", firstMoment.addSecs(120), red, true);
        QCOMPARE(FindSavedPictures(cam, "../Harbour/x").size(), size_t(1));
        // "Harbour2" and a day of "27" read as "Harbour" and "2" "7": the other cams' names
        // settle it
        const std::vector<CamPictureFile> harbour =
            FindSavedPictures(cam, "Harbour", std::nullopt, std::nullopt, {"Harbour2", "Hill"});
        QCOMPARE(harbour.size(), size_t(2)); // not Harbour2's
        // and a picture of Harbour's that would read as Harbour2's too stays Harbour's
        const QDateTime february(QDate(2026, 2, 15), QTime(10, 24, 37));
        QFile own(cam + "/Harbour2152026102437AM.jpg"); // Harbour, 2/15/2026 10:24:37 AM
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write(jpegOf(Qt::red));
        own.flush();
        own.setFileTime(february, QFileDevice::FileModificationTime);
        own.close();
        const std::vector<CamPictureFile> withFebruary =
            FindSavedPictures(cam, "Harbour", std::nullopt, std::nullopt, {"Harbour2"});
        QCOMPARE(withFebruary.size(), size_t(3));
        QCOMPARE(withFebruary[0].taken, february);
        const std::vector<CamPictureFile> theirs =
            FindSavedPictures(cam, "Harbour2", std::nullopt, std::nullopt, {"Harbour"});
        QCOMPARE(theirs.size(), size_t(1));
        QVERIFY(theirs[0].path.endsWith("080030.jpg"));
        QFile::remove(own.fileName());
        QCOMPARE(harbour[0].taken, firstMoment.addSecs(60));
        QCOMPARE(harbour[1].taken, firstMoment.addSecs(120));
        QCOMPARE(
            FindSavedPictures(cam, "Harbour", firstMoment.addSecs(90), std::nullopt, {"Harbour2"})
                .size(),
            size_t(1));
        QCOMPARE(
            FindSavedPictures(cam, "Harbour", std::nullopt, firstMoment.addSecs(60), {"Harbour2"})
                .size(),
            size_t(1));
    }

    void todaysNamesNeverCollideAndSortByTime() {
        Sandbox box;
        const QString cam = box.path("cam");
        QDir().mkpath(cam);
        const QImage red = filledPicture(Qt::red, 16, 16);
        // "Harbour2" on 7 Dec and "Harbour" on 27 Dec made one name before
        const QDateTime seventh(QDate(2026, 12, 7), QTime(10, 24, 37));
        const QDateTime twentySeventh(QDate(2026, 12, 27), QTime(10, 24, 37));
        QVERIFY(savePicture(cam, "Harbour2", seventh, red) !=
                savePicture(cam, "Harbour", twentySeventh, red));
        // a second picture of the same second gets the next number, and an older name is read
        const QString again = FreeSavePath(SavePath(cam, "Harbour", twentySeventh));
        QVERIFY(again.endsWith("Harbour~2026-12-27_10-24-37_2.jpg"));
        QVERIFY(WritePictureJpeg(red, again).isEmpty());
        savePicture(cam, "Harbour", seventh, red, true);
        const std::vector<CamPictureFile> harbour =
            FindSavedPictures(cam, "Harbour", std::nullopt, std::nullopt, {"Harbour2"});
        QCOMPARE(harbour.size(), size_t(3));
        QCOMPARE(harbour[0].taken, seventh);
        QCOMPARE(harbour[2].path, again);
        QCOMPARE(FindSavedPictures(cam, "Harbour2").size(), size_t(1));
    }

    void saveNamesReadEveryWayTheyCan() {
        const QLocale c = QLocale::c();
        // "1272026" is the 7th of December or the 27th of January
        std::vector<QDateTime> readings =
            SaveNameMoments("1272026102437AM", "M/d/yyyy", "h:mm:ss AP", c);
        QCOMPARE(readings.size(), size_t(2));
        QVERIFY(std::count(readings.begin(), readings.end(),
                           QDateTime(QDate(2026, 12, 7), QTime(10, 24, 37))));
        QVERIFY(std::count(readings.begin(), readings.end(),
                           QDateTime(QDate(2026, 1, 27), QTime(10, 24, 37))));
        readings = SaveNameMoments("12112026120000PM", "M/d/yyyy", "h:mm:ss AP", c);
        QVERIFY(!readings.empty());
        for (const QDateTime& reading : readings)
            QCOMPARE(reading.time(), QTime(12, 0, 0));
        QCOMPARE(SaveNameMoments("07.12.2026084500", "dd.MM.yyyy", "HH:mm:ss", c).at(0),
                 QDateTime(QDate(2026, 12, 7), QTime(8, 45, 0)));
        QCOMPARE(SaveNameMoments("7Dec2026084500", "d MMM yyyy", "HH:mm:ss", c).at(0),
                 QDateTime(QDate(2026, 12, 7), QTime(8, 45, 0)));
        // no reading: another cam's rest of a name, or no moment at all
        QVERIFY(SaveNameMoments("21272026102437AM", "M/d/yyyy", "h:mm:ss AP", c).empty());
        QVERIFY(SaveNameMoments("1332026102437AM", "M/d/yyyy", "h:mm:ss AP", c).empty());
        QVERIFY(SaveNameMoments("", "M/d/yyyy", "h:mm:ss AP", c).empty());
        QVERIFY(SaveNameMoments("x", "'x'", "", c).empty()); // a date needs its fields

        // of the two readings, the one nearest the file's time is taken
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        const QString path = box.path("cam/Harbour") +
                             QLocale::c().toString(QDate(2026, 1, 27), "M/d/yyyy").remove('/') +
                             "102437AM.jpg";
        const QDateTime january(QDate(2026, 1, 27), QTime(10, 24, 40));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(jpegOf(Qt::red));
        file.flush();
        file.setFileTime(january, QFileDevice::FileModificationTime);
        file.close();
        const std::vector<CamPictureFile> found = FindSavedPictures(box.path("cam"), "Harbour");
        QCOMPARE(found.size(), size_t(1));
        QCOMPARE(found[0].taken, QDateTime(QDate(2026, 1, 27), QTime(10, 24, 37)));
    }
};

// The writer on its own, into memory.
// Daily films: made without anyone pressing a button, off the window's thread.
class DailyFilmMakerTest : public QObject {
    Q_OBJECT
  private slots:
    // The day's film appears once its hour has come, of the hours chosen, and only once.
    void aDailyFilmAppearsByItself() {
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        saveFrames(box.path("cam"), "Hill", 5); // 7 Dec, from 08:00
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", "Tarvique Webcams", prompter);
        CamSettings settings(store, "Tarvique Webcams", "Tarvique Webcams tests");
        DailyFilmMaker films(settings, box.path("cam"), box.programFolder() + "/films", [] {
            return std::vector<CamNames>{{"Hill", {}}};
        });
        QString status;
        connect(&films, &DailyFilmMaker::statusText, this, [&](const QString& t) { status = t; });
        QDateTime now(QDate(2026, 12, 8), QTime(0, 30));
        films.setClock([&now] { return now; });
        // a rule of an earlier version, without the motion choice, reads as it did
        store.WriteUserSetting("Tarvique Webcams", "DailyFilms", CamSettingKey("Hill"),
                               "0 01:00 8 9 0 0 10");
        QCOMPARE(films.rule("Hill"), (DailyFilmRule{false, QTime(1, 0), 8, 9}));
        films.setRule("Hill", {true, QTime(1, 0), 8, 9, false, false, 10, true});
        QVERIFY(films.rule("Hill").onlyMotion);
        films.setRule("Hill", {true, QTime(1, 0), 8, 9, false, false, 10, false, true}); // MP4
        QVERIFY(films.rule("Hill").mp4);
        films.makeDueFilms(); // the 6th: no pictures, said
        QTRY_VERIFY(!films.isWorking());
        QVERIFY(status.contains("no daily film of Hill"));
        // a film that cannot be written (a file where its folder goes) keeps its day due, tried
        // again an hour later
        QVERIFY(QDir(box.path("films")).removeRecursively());
        box.writeFile("films", "");
        now = now.addSecs(3600);
        films.makeDueFilms();
        QTRY_VERIFY(!films.isWorking());
        QVERIFY2(status.contains("could not be written"), qPrintable(status));
        QVERIFY(QFile::remove(box.path("films")));
        now = now.addSecs(1800);
        status.clear();
        films.makeDueFilms();
        QTRY_VERIFY(!films.isWorking());
        QVERIFY(status.isEmpty());
        now = now.addSecs(1801);
        films.makeDueFilms();
        QTRY_VERIFY(!films.isWorking());
        const QString film = box.programFolder() + "/films/Hill~2026-12-07.mp4";
        QVERIFY2(status.endsWith(film), qPrintable(status));
        QVERIFY(QFileInfo(film).size() > 0);
        QFile::remove(film);
        films.makeDueFilms();
        QTRY_VERIFY(!films.isWorking());
        QVERIFY(!QFile::exists(film));
    }
};

class AviWriterTest : public QObject {
    Q_OBJECT
    struct MemorySink : ByteSink {
        std::string bytes;
        uint64_t failAfter = UINT64_MAX;
        bool append(std::string_view more) override {
            if (bytes.size() + more.size() > failAfter)
                return false;
            bytes.append(more);
            return true;
        }
        bool patch(uint64_t offset, std::string_view more) override {
            if (offset + more.size() > bytes.size())
                return false;
            bytes.replace(offset, more.size(), more);
            return true;
        }
        uint64_t size() const override { return bytes.size(); }
        std::string error() const override { return "No space left on device"; }
    };

    static uint32_t at32(const std::string& bytes, size_t offset) {
        uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | uint8_t(bytes[offset + size_t(i)]);
        return value;
    }

  private slots:
    void theHeadersTellTheTotals() {
        MemorySink sink;
        MjpegAviWriter writer(sink, {64, 48, 12, uint64_t(1) << 30});
        QVERIFY(writer.begin());
        const QByteArray frame = jpegOf(Qt::blue, 64, 48);
        for (int i = 0; i < 7; ++i)
            QVERIFY(writer.addFrame({frame.constData(), size_t(frame.size()) - (i % 2)}));
        QVERIFY(writer.finish());
        const std::string& avi = sink.bytes;
        QCOMPARE(avi.substr(0, 4), std::string("RIFF"));
        QCOMPARE(at32(avi, 4), uint32_t(avi.size() - 8));
        const size_t avih = avi.find("avih") + 8;
        QCOMPARE(at32(avi, avih), uint32_t(1000000 / 12));
        QCOMPARE(at32(avi, avih + 16), 7u);
        const size_t strh = avi.find("strh") + 8;
        QCOMPARE(avi.substr(strh, 8), std::string("vidsMJPG"));
        QCOMPARE(at32(avi, strh + 24), 12u);
        QCOMPARE(at32(avi, strh + 32), 7u);
        const size_t idx1 = avi.find("idx1");
        QCOMPARE(at32(avi, idx1 + 4), 7u * 16);
        // every index entry points at its frame
        const size_t movi = avi.find("movi");
        for (uint32_t i = 0; i < 7; ++i) {
            const size_t entry = idx1 + 8 + 16 * i;
            QCOMPARE(avi.substr(movi + at32(avi, entry + 8), 4), std::string("00dc"));
            QCOMPARE(at32(avi, entry + 12), uint32_t(frame.size()) - (i % 2));
        }
        QCOMPARE(at32(avi, avi.find("dmlh") + 8), 7u);
    }

    void aFailingSinkStopsTheFilm() {
        MemorySink sink;
        sink.failAfter = 30000;
        MjpegAviWriter writer(sink, {64, 48, 10, uint64_t(1) << 30});
        QVERIFY(writer.begin());
        const QByteArray frame = jpegOf(Qt::blue, 64, 48);
        bool written = true;
        for (int i = 0; i < 100 && written; ++i)
            written = writer.addFrame({frame.constData(), size_t(frame.size())});
        QVERIFY(!written);
        QVERIFY(!writer.finish());
        QCOMPARE(writer.error(), std::string("No space left on device"));

        MemorySink empty;
        MjpegAviWriter none(empty, {64, 48, 10, uint64_t(1) << 30});
        QVERIFY(none.begin());
        QVERIFY(!none.finish()); // no film without a frame
    }
};

// The dialog of the Cams menu.
class TimelapseDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void itExportsWithProgressAndCanCancel() {
        Sandbox box;
        QDir().mkpath(box.path("cam"));
        saveFrames(box.path("cam"), "Hill", 300);
        saveFrames(box.path("cam"), "Harbour", 3);
        ScriptedPrompter prompter;
        ScriptedFileChooser files;
        TimelapseDialog dialog(box.path("cam"), {"Harbour", "Hill", "Market"}, "Hill", prompter,
                               files);
        QCOMPARE(dialog.camBox()->currentText(), QString("Hill")); // the viewed cam
        QTRY_COMPARE(dialog.countLabel()->text(), QString("300 saved pictures"));
        QCOMPARE(dialog.fromEdit()->dateTime(), firstMoment);
        QCOMPARE(dialog.toEdit()->dateTime(), firstMoment.addSecs(2 * 299));
        QVERIFY(!dialog.fromEdit()->isEnabled());
        // a narrower range
        dialog.allPicturesBox()->setChecked(false);
        dialog.fromEdit()->setDateTime(firstMoment.addSecs(100));
        dialog.toEdit()->setDateTime(firstMoment.addSecs(199));
        QCOMPARE(dialog.countLabel()->text(), QString("50 saved pictures"));
        dialog.framesPerSecondBox()->setValue(25);

        files.answers = {box.path("film.avi")};
        dialog.exportFilm();
        QCOMPARE(files.suggestions.value(0), box.path("cam") + "/Hill.avi");
        QVERIFY(dialog.isExporting());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isExporting(), 20000);
        QCOMPARE(dialog.lastSummary().written, 50);
        QVERIFY(prompter.asked.last().text.contains("holds 50 pictures of 64x48 at 25 frames"));
        const Probe film = probe(box.path("film.avi"));
        QCOMPARE(film.frames, 50);
        QCOMPARE(film.rate, QString("25/1"));

        // Cancel while it runs: nothing is left
        dialog.allPicturesBox()->setChecked(true);
        dialog.exportTo(box.path("second.avi"));
        QVERIFY(dialog.progressDialog());
        QPushButton* cancel = dialog.progressDialog()->findChild<QPushButton*>();
        QVERIFY(cancel);
        cancel->click();
        QVERIFY(!dialog.isExporting());
        QVERIFY(dialog.lastSummary().cancelled);
        QTRY_COMPARE(dialog.filmsAtWork(), 0);
        QVERIFY(QDir(box.programFolder()).entryList({".second.avi.*"}, QDir::Hidden).isEmpty());
        QVERIFY(!box.exists("second.avi"));

        // a cam without pictures cannot be exported
        dialog.camBox()->setCurrentIndex(2);
        QTRY_COMPARE(dialog.countLabel()->text(), QString("0 saved pictures"));
        QVERIFY(!dialog.findChild<QPushButton*>("exportButton")->isEnabled());
    }
};

WEBCAMS_TEST(TimelapseTest)
WEBCAMS_TEST(TimelapseDialogTest)
WEBCAMS_TEST(AviWriterTest)
WEBCAMS_TEST(DailyFilmMakerTest)

#include "test_timelapse.moc"
