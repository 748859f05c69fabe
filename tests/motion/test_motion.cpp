// Motion found in made-up cam sequences: a photo-like scene with things moving or the light
// changing, each picture JPEG-compressed as a cam does and decoded small as the panels do.
#include "imaging/picturedecoder.h"
#include "motion/motionjudge.h"
#include "motion/motionkeeper.h"
#include "motion/motiontext.h"

#include "photolike.h"
#include "pictures.h"
#include "motionscenes.h"
#include "testmain.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <random>
#include <sys/stat.h>

namespace {

const QRectF clockArea(0, 0, 0.6, 0.2);

MotionFrame panelFrame(const QByteArray& jpeg) {
    return MakeMotionFrame(DecodePicture(jpeg, QSize(160, 90)).picture);
}

MotionMask maskOf(const QRectF& area) {
    MotionMask mask;
    mask.setMasked(MotionMask::cellsOf(area), true);
    return mask;
}

} // namespace

class MotionTest : public QObject {
    Q_OBJECT
  private slots:
    void sequences_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("stream");
        QTest::addColumn<QRectF>("masked");
        QTest::addColumn<MotionSensitivity>("sensitivity");
        QTest::addColumn<int>("events"); // -1: one or more
        QTest::addColumn<int>("start");  // the picture that starts the event
        QTest::addColumn<int>("end");    // the picture that ends it; -1: still under way
        QTest::addColumn<int>("slack");
        const MotionSensitivity medium = MotionSensitivity::Medium, low = MotionSensitivity::Low;
        // the figure walks in pictures 10 to 24; three quiet pictures end the event
        QTest::newRow("object crossing")
            << "crossing" << false << QRectF() << medium << 1 << 10 << 27 << 1;
        QTest::newRow("a car parks and becomes background")
            << "parks" << false << QRectF() << medium << 1 << 10 << 29 << 2;
        QTest::newRow("object crossing a stream")
            << "crossing" << true << QRectF() << medium << 1 << 11 << 27 << 1;
        QTest::newRow("slow brightness ramp")
            << "ramp" << false << QRectF() << medium << 0 << 0 << 0 << 0;
        QTest::newRow("lights on")
            << "lights on" << false << QRectF() << medium << 0 << 0 << 0 << 0;
        QTest::newRow("night mode")
            << "night mode" << false << QRectF() << medium << 0 << 0 << 0 << 0;
        QTest::newRow("sensor noise") << "noise" << false << QRectF() << medium << 0 << 0 << 0 << 0;
        QTest::newRow("snow") << "snow" << false << QRectF() << medium << 0 << 0 << 0 << 0;
        QTest::newRow("rain") << "rain" << true << QRectF() << medium << 0 << 0 << 0 << 0;
        QTest::newRow("movement inside the mask")
            << "inside mask" << false << QRectF(0, 0.3, 0.3, 0.7) << medium << 0 << 0 << 0 << 0;
        QTest::newRow("time overlay masked")
            << "clock" << false << clockArea << medium << 0 << 0 << 0 << 0;
        QTest::newRow("time overlay")
            << "clock" << false << QRectF() << medium << -1 << 4 << -1 << 1;
        QTest::newRow("object crossing, low sensitivity")
            << "crossing" << false << QRectF() << low << 1 << 10 << 27 << 1;
        QTest::newRow("time overlay, low sensitivity")
            << "clock" << false << QRectF() << low << 0 << 0 << 0 << 0;
    }

    void sequences() {
        QFETCH(QString, kind);
        QFETCH(bool, stream);
        QFETCH(QRectF, masked);
        QFETCH(MotionSensitivity, sensitivity);
        MotionDetector detector(MotionThresholds::of(sensitivity), maskOf(masked),
                                stream ? MotionPace::Stream : MotionPace::Stills);
        std::mt19937 random(5);
        QList<int> starts, ends;
        QString levels;
        for (int n = 0; n < pictures; ++n) {
            const MotionReading reading =
                detector.feed(panelFrame(camJpeg(scene(kind, n, random))));
            if (reading.eventStarted)
                starts << n;
            if (reading.eventEnded)
                ends << n;
            levels += QString(" %1:%2").arg(n).arg(reading.levelPercent, 0, 'f', 1);
        }
        QFETCH(int, events);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(int, slack);
        const QByteArray trace = (kind + levels).toUtf8();
        QVERIFY2(events < 0 ? !starts.isEmpty() : starts.size() == events, trace);
        QVERIFY2(starts.isEmpty() || std::abs(starts[0] - start) <= slack, trace);
        if (events > 0 && end >= 0)
            QVERIFY2(ends.size() == events && std::abs(ends[0] - end) <= slack, trace);
    }

    // Readings, one letter a picture: '.' quiet, 'm' motion not yet an event, 'S' an event
    // starts (after the 'm's before it), 'M' and 'q' an event's pictures with and without
    // motion, 'E' the quiet picture that ends it. Kept pictures are 'x'.
    void keeperKeepsEventsWithPicturesAround_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("kept");
        QTest::newRow("before and after") << 2 << 1 << "....SMqqE...."
                                          << "..xxxxxxxx...";
        QTest::newRow("motion before the start") << 1 << 0 << "...mmSMqE..."
                                                 << "..xxxxxxx...";
        QTest::newRow("motion that never starts") << 1 << 0 << "..m...mm.."
                                                  << "..........";
        QTest::newRow("events close together") << 2 << 2 << "SqE.SqE..."
                                               << "xxxxxxxxx.";
        QTest::newRow("nothing around") << 0 << 0 << "..SME..mS"
                                        << "..xxx..xx";
    }

    void keeperKeepsEventsWithPicturesAround() {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(QString, readings);
        MotionKeeper keeper(before, after);
        MotionPictureHold hold(before, after);
        QString numbered(readings.size(), '.'), saved = numbered;
        int motionInRow = 0;
        for (qsizetype n = 0; n < readings.size(); ++n) {
            const QChar c = readings[n];
            MotionReading reading;
            reading.motion = QString("mSM").contains(c);
            reading.eventStarted = c == 'S';
            reading.startedBack = motionInRow;
            reading.eventEnded = c == 'E';
            reading.inEvent = QString("SMqE").contains(c);
            motionInRow = c == 'm' ? motionInRow + 1 : 0;
            for (const int64_t number : keeper.take(reading))
                numbered[number] = 'x';
            for (const MotionPicture& picture : hold.take({QByteArray::number(n), {}, {}}, reading))
                saved[picture.bytes.toInt()] = 'x';
        }
        QFETCH(QString, kept);
        QCOMPARE(numbered, kept);
        QCOMPARE(saved, kept);
    }

    void heldPicturesStayWithinTheirBytes() {
        MotionPictureHold hold(5, 0, 1000);
        for (int n = 0; n < 10; ++n) {
            QVERIFY(hold.take({QByteArray(600, char('0' + n)), {}, {}}, {}).isEmpty());
            QVERIFY(hold.heldBytes() <= 1000);
        }
        MotionReading start;
        start.motion = start.eventStarted = start.inEvent = true;
        const QList<MotionPicture> saved = hold.take({QByteArray(600, 'S'), {}, {}}, start);
        QCOMPARE(saved.size(), 2); // of the five before, only the last fitted
        QCOMPARE(saved[0].bytes[0], '9');
        QCOMPARE(saved[1].bytes[0], 'S');
    }

    void noticesAreRationed() {
        MotionReading start, during;
        start.motion = start.eventStarted = start.inEvent = true;
        during.motion = during.inEvent = true;
        const int64_t minute = 60'000;
        MotionNoticeLimiter off, everyTen(10);
        QVERIFY(!off.shouldNotify(start, 0));
        QVERIFY(everyTen.shouldNotify(start, 100 * minute));
        QVERIFY(!everyTen.shouldNotify(during, 101 * minute));
        QVERIFY(!everyTen.shouldNotify(start, 109 * minute));
        QVERIFY(everyTen.shouldNotify(start, 110 * minute));
        QVERIFY(everyTen.shouldNotify(start, 50 * minute)); // a clock set back is no wait
    }

    void oddPicturesTellNoMotion() {
        QVERIFY(MakeMotionFrame(QImage()).isNull());
        QCOMPARE(MakeMotionFrame(filledPicture(Qt::red, 1, 1)).pixelCount(), 1);
        QImage strip(5000, 2, QImage::Format_Indexed8);
        strip.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        strip.fill(1);
        const MotionFrame stripFrame = MakeMotionFrame(strip);
        QCOMPARE(QSize(stripFrame.width(), stripFrame.height()), QSize(MotionFrame::longSide, 1));
        QCOMPARE(stripFrame.at(50, 0), 255);
        // nothing watched, frames that cannot be read, and frames changing shape
        MotionMask everything;
        everything.setMasked(QRect(0, 0, MotionMask::columns, MotionMask::rows), true);
        MotionDetector blind({}, everything), muddled;
        std::mt19937 random(3);
        for (int n = 0; n < pictures; ++n) {
            const MotionFrame frame = panelFrame(camJpeg(scene("crossing", n, random)));
            QVERIFY(!blind.feed(frame).inEvent);
            QVERIFY(!muddled.feed(n % 3 == 0 ? MotionFrame() : n % 2 ? frame : stripFrame).motion);
        }
    }

    void damagedTextReadsAsDefaults_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("read"); // as written back; empty: the defaults
        const QString custom = "on=0 sensitivity=custom before=2 after=2 notice=0 factor=2.5 "
                               "difference=6 area=0.4 cells=3 row=4 quiet=5";
        QTest::newRow("custom") << custom << custom;
        QTest::newRow("high") << "notice=30 on=1 sensitivity=high after=5 before=0"
                              << "on=1 sensitivity=high before=0 after=5 notice=30";
        QTest::newRow("a name not known") << "on=1 colour=red"
                                          << "on=1 sensitivity=medium before=2 after=2 notice=0";
        for (const char* damaged :
             {"on=2", "on=1 sensitivity=loud", "before=-1", "after=51", "on=1 on=1", "on", "=1",
              "sensitivity=custom factor=0.5", "area=nan", "area=inf", "notice=99999999999"})
            QTest::newRow(damaged) << damaged << QString();
    }

    void damagedTextReadsAsDefaults() {
        QFETCH(QString, settings);
        QFETCH(QString, read);
        QCOMPARE(MotionSettings::fromText(settings).toText(),
                 read.isEmpty() ? MotionSettings().toText() : read);
    }

    void damagedMaskReadsAsNone_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("masked");
        QTest::newRow("top-left 8 x 2") << "32x24:0,8,24,8,728" << 16;
        QTest::newRow("lower-right quarter")
            << maskOf(QRectF(0.5, 0.5, 0.5, 0.5)).toText() << MotionMask::columns * 6;
        QTest::newRow("empty") << "32x24:" << 0;
        QTest::newRow("too many cells") << "32x24:768,1" << 0;
        QTest::newRow("too few cells") << "32x24:0,8,24" << 0;
        QTest::newRow("negative") << "32x24:-1,769" << 0;
        QTest::newRow("not a number") << "32x24:0,8,x,752" << 0;
        QTest::newRow("huge") << "32x24:99999999999,1" << 0;
        QTest::newRow("another grid") << "16x12:0,192" << 0;
        QTest::newRow("endless") << "32x24:" + QString("0,").repeated(100000) + "768" << 0;
    }

    void damagedMaskReadsAsNone() {
        QFETCH(QString, text);
        QFETCH(int, masked);
        const MotionMask mask = MotionMask::fromText(text);
        QCOMPARE(mask.maskedCount(), masked);
        QCOMPARE(mask.toText(), masked ? text : QString());
    }

    void savedPicturesAreJudged() {
        QTemporaryDir folder;
        QStringList paths;
        std::mt19937 random(9);
        for (int n = 0; n < pictures; ++n) {
            paths << folder.filePath(QString("cam%1.jpg").arg(n, 2, 10, QChar('0')));
            QFile file(paths.last());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(n == 8 ? QByteArray("no picture") : camJpeg(scene("crossing", n, random)));
        }
        paths << folder.filePath("pipe.jpg"); // would never end if read
        QCOMPARE(mkfifo(QFile::encodeName(paths.last()).constData(), 0600), 0);
        MotionSettings settings;
        settings.picturesBefore = 2;
        settings.picturesAfter = 1;
        const MotionJudgement judged = JudgeSavedPictures(paths, settings, {});
        std::vector<qsizetype> kept{7, 9};   // before the event, past the unreadable picture
        for (qsizetype n = 10; n <= 28; ++n) // the event to its end at 27, and one after
            kept.push_back(n);
        QCOMPARE(judged.kept, kept);
        QCOMPARE(judged.events, 1);
        QCOMPARE(judged.unreadable, 2);
        const auto stopAtFive = [](qsizetype done, qsizetype) { return done < 5; };
        const MotionJudgement stopped = JudgeSavedPictures(paths, settings, {}, stopAtFive);
        QVERIFY(stopped.stopped && stopped.kept.empty());
    }
};

WEBCAMS_TEST(MotionTest)
#include "test_motion.moc"
