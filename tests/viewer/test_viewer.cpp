// The viewer pane on its own: selection, zoom and scrolling, saving, the full-screen view.
#include "common/background.h"
#include "common/datetimetext.h"
#include "common/twips.h"
#include "engine/followedcam.h"
#include "ui/elidedlabel.h"
#include "ui/imagecontrol.h"
#include "ui/screentwips.h"
#include "viewer/detailsblock.h"
#include "viewer/fullscreenview.h"
#include "viewer/historystrip.h"
#include "viewer/layout.h"
#include "viewer/viewerpane.h"

#include "config/camsettings.h"
#include "config/settings.h"
#include "history/camrules.h"
#include "viewer/maskeditor.h"

#include "motionscenes.h"
#include "pictures.h"
#include "sandbox.h"
#include "scriptedfilechooser.h"
#include "scriptedprompter.h"
#include "testmain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimeZone>
#include <QToolButton>
#include <QWheelEvent>

namespace {

int twips(int pixels) {
    return pixelsToTwips(pixels, screenDotsPerInch());
}

// Two panels' worth of pictures: "A" red 640 x 480, "B" blue 100 x 50.
struct FakePanels : FollowedCam {
    QList<QImage> pictures{filledPicture(Qt::red, 640, 480), filledPicture(Qt::blue, 100, 50)};
    QList<QByteArray> camNames{"A", "B"};
    int selected = -1;

    bool hasPlace() const override { return selected >= 0; }
    PictureToSave picture() const override { return {pictures.value(selected), {}}; }
    QByteArray name() const override { return camNames.value(selected); }
    CamNames names() const override { return {name(), {}}; }
};

// A shown viewer in a window of 900 x 700 pixels, laid out by the main window's rules, at zoom 1
// (Fit, the first choice, is switched off).
struct Viewer {
    Sandbox box;
    BackgroundQueue files{1};
    QWidget window;
    FakePanels panels;
    ViewerPane* viewer = nullptr;
    QString status;

    Viewer() {
        QDir().mkpath(box.path("cam"));
        viewer = new ViewerPane(&window, panels, box.path("cam"), files);
        viewer->details()->setFit(false);
        QObject::connect(viewer, &ViewerPane::statusText, &window,
                         [this](const QString& text) { status = text; });
        window.resize(900, 700);
        window.show();
        // a viewport narrower than 640 pixels
        viewer->arrange(ArrangeMainWindowTwips(twips(700), twips(900), twips(25)));
    }

    void select(int index) {
        panels.selected = index;
        viewer->showSelection(panels.pictures[index], panels.pictures[index].size(),
                              {QString(panels.camNames[index]), "30", " A", "12/7/2026", QString(),
                               QString(), QString(), QString()},
                              "30");
    }

    QScrollBar* slider() const { return viewer->details()->zoomSlider(); }
    QString label(const char* name) const { return viewer->findChild<QLabel*>(name)->text(); }
    QToolButton* button(const char* name) const { return viewer->findChild<QToolButton*>(name); }
    int usableWidth() const {
        return twips(viewer->viewport()->width()) - twips(viewer->verticalBar()->width());
    }
};

} // namespace

class ViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void aSelectionShowsThePictureLarge() {
        Viewer f;
        f.select(0);
        QVERIFY(f.viewer->isVisible());
        QVERIFY(f.viewer->details()->isVisible());
        QCOMPARE(f.viewer->naturalWidth(), twips(640));
        QCOMPARE(f.viewer->naturalHeight(), twips(480));
        QCOMPARE(f.viewer->picture().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(f.label("lblName"), QString("A"));
        QCOMPARE(f.label("lblRefresh"), QString("30"));
        QCOMPARE(f.label("lblLastChanged"), QString(" A"));
        QCOMPARE(f.label("lblNextRefresh"), QString("30"));
        f.select(1);
        QCOMPARE(f.label("lblName"), QString("B"));
        QCOMPARE(f.viewer->imgMainTwips().size(), QSize(twips(100), twips(50)));
    }

    void zoomAndScrollMoveThePicture() {
        Viewer f;
        f.select(0);
        QVERIFY(f.viewer->horizontalBar()->isEnabled()); // 640 pixels is wider than the viewport
        f.slider()->setValue(3);
        QCOMPARE(f.viewer->imgMainTwips().width(), 3 * twips(640));
        QVERIFY(f.viewer->horizontalBar()->isEnabled());
        QVERIFY(f.viewer->verticalBar()->isEnabled());
        QCOMPARE(f.viewer->horizontalBar()->maximum(), 3 * twips(640) - f.usableWidth());

        f.viewer->horizontalBar()->setValue(f.viewer->horizontalBar()->maximum());
        QCOMPARE(f.viewer->imgMainTwips().x(), -f.viewer->horizontalBar()->maximum());
        f.viewer->verticalBar()->setValue(600);
        QCOMPARE(f.viewer->imgMainTwips().y(), -600);

        f.select(1); // small picture: back at the corner, no bars
        f.slider()->setValue(1);
        QVERIFY(!f.viewer->horizontalBar()->isEnabled());
        QVERIFY(!f.viewer->verticalBar()->isEnabled());
        QCOMPARE(f.viewer->imgMainTwips().topLeft(), QPoint(0, 0));
    }

    void zoomingOutAtTheRightEndKeepsThePictureInView() {
        Viewer f;
        f.select(0);
        f.slider()->setValue(3);
        QScrollBar* across = f.viewer->horizontalBar();
        QScrollBar* down = f.viewer->verticalBar();
        across->setValue(across->maximum());
        down->setValue(down->maximum());
        f.slider()->setValue(2); // smaller ranges clamp both bars
        QCOMPARE(across->value(), across->maximum());
        QCOMPARE(f.viewer->imgMainTwips().x(), -across->value());
        QCOMPARE(f.viewer->imgMainTwips().y(), -down->value());
        // the right edge lies at the viewport's usable edge, not left of the view
        QCOMPARE(f.viewer->imgMainTwips().right() + 1, f.usableWidth());
        // and stays within reach when the viewer gets narrower
        f.viewer->arrange(ArrangeMainWindowTwips(twips(700), twips(700), twips(25)));
        across->setValue(across->maximum());
        QCOMPARE(f.viewer->imgMainTwips().right() + 1, f.usableWidth());
    }

    void aSmallerOverhangingPictureKeepsThePictureInView() {
        Viewer f;
        f.panels.pictures[1] = filledPicture(Qt::blue, 300, 200); // 900 x 600 at factor 3
        f.select(0);
        f.slider()->setValue(3);
        QScrollBar* across = f.viewer->horizontalBar();
        across->setValue(across->maximum());
        f.select(1);
        QVERIFY(across->isEnabled());
        QCOMPARE(across->value(), across->maximum());
        QCOMPARE(f.viewer->imgMainTwips().x(), -across->value());
        QCOMPARE(f.viewer->imgMainTwips().right() + 1, f.usableWidth());
    }

    void factorFiveOfAWidePictureReachesItsRightEdge() {
        Viewer f;
        f.select(0);
        f.slider()->setValue(5);
        const int width = 5 * twips(640);
        QVERIFY(width - f.usableWidth() > 32767);
        f.viewer->horizontalBar()->setValue(f.viewer->horizontalBar()->maximum());
        QCOMPARE(f.viewer->imgMainTwips().x() + width, f.usableWidth());
    }

    void aZoomedPictureIsDrawnWhereItShows() {
        Viewer f;
        QImage halves(400, 200, QImage::Format_RGB32);
        halves.fill(Qt::red);
        for (int y = 0; y < 200; ++y)
            for (int x = 200; x < 400; ++x)
                halves.setPixel(x, y, qRgb(0, 0, 255));
        f.panels.pictures[0] = halves;
        f.select(0);
        f.slider()->setValue(5); // 2000 x 1000 pixels, drawn only where it shows
        const QPoint middle(f.viewer->viewport()->width() / 3, f.viewer->viewport()->height() / 3);
        QCOMPARE(f.viewer->viewport()->grab().toImage().pixel(middle), qRgb(255, 0, 0));
        f.viewer->horizontalBar()->setValue(f.viewer->horizontalBar()->maximum());
        QCOMPARE(f.viewer->viewport()->grab().toImage().pixel(middle), qRgb(0, 0, 255));
    }

    void laterPicturesKeepTheMeasuredSize_data() {
        QTest::addColumn<bool>("fit");
        QTest::newRow("zoom") << false;
        QTest::newRow("fit, measured again") << true;
    }
    void laterPicturesKeepTheMeasuredSize() {
        QFETCH(bool, fit);
        Viewer f;
        f.viewer->details()->setFit(fit);
        f.select(1);
        const QRect before = f.viewer->imgMainTwips();
        f.viewer->showSelectedPicture(filledPicture(Qt::green, 300, 300));
        QCOMPARE(f.viewer->imgMainTwips() == before, !fit);
        QCOMPARE(f.viewer->naturalWidth(), twips(fit ? 300 : 100));
        QCOMPARE(f.viewer->picture().size(), QSize(300, 300));
    }

    void emptyPicturesCanBeSelected() {
        Viewer f;
        f.panels.pictures[1] = QImage();
        f.select(1);
        QVERIFY(f.viewer->isVisible());
        QVERIFY(f.viewer->picture().isNull());
        // nothing to save or show large, and no size to tell
        for (const char* name : {"cmdSave", "cmdSaveAs", "Command3", "cmdMotionMask"})
            QVERIFY2(!f.button(name)->isEnabled(), name);
        f.viewer->details()->setFit(true);
        QCOMPARE(f.viewer->details()->zoomLevel(), QString("Fit"));
        f.select(0);
        QVERIFY(f.button("cmdSave")->isEnabled());
    }

    // The wheel zooms about the point under the cursor, dragging moves a zoomed picture, and
    // a double-click goes back to Fit.
    void theMouseZoomsAndMovesThePicture() {
        Viewer f;
        f.viewer->details()->setFit(true);
        f.select(0);
        QWidget* image = f.viewer->findChild<QWidget*>("imgMain");
        QWidget* area = image->parentWidget();
        // a point three quarters across and down the fitted picture
        const QRect fitted = image->geometry();
        const QPoint at =
            fitted.topLeft() + QPoint(fitted.width() * 3 / 4, fitted.height() * 3 / 4);
        const auto turnWheel = [&](QPoint point, Qt::KeyboardModifiers keys) {
            QWheelEvent wheel(point, area->mapToGlobal(point), {}, {0, 120}, Qt::NoButton, keys,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(area, &wheel);
        };
        for (int step = 0; step < 2; ++step) // Ctrl: Fit -> zoom 1 -> zoom 2
            turnWheel(at, Qt::ControlModifier);
        QCOMPARE(f.slider()->value(), 2);
        QVERIFY(!f.viewer->details()->isFit());
        const QRect zoomed = image->geometry();
        const QPoint under = at - zoomed.topLeft(); // the same point of the picture, roughly
        const QPointF share(double(at.x() - fitted.x()) / fitted.width(),
                            double(at.y() - fitted.y()) / fitted.height()); // about 3/4
        QVERIFY2(std::abs(under.x() - share.x() * zoomed.width()) <= 2 &&
                     std::abs(under.y() - share.y() * zoomed.height()) <= 2,
                 qPrintable(QString("%1,%2 of %3x%4")
                                .arg(under.x())
                                .arg(under.y())
                                .arg(zoomed.width())
                                .arg(zoomed.height())));
        const int across = f.viewer->horizontalBar()->value();
        QTest::mousePress(image, Qt::LeftButton, {}, {100, 100});
        QTest::mouseMove(image, {60, 100});
        QTest::mouseRelease(image, Qt::LeftButton, {}, {60, 100});
        QCOMPARE(f.viewer->horizontalBar()->value(), across + twips(40));
        // without Ctrl, smooth steps of a fourth of a doubling, stopping on the factors
        const QPoint middle = area->rect().center();
        turnWheel(middle, {});
        QCOMPARE(f.viewer->details()->zoomLevel(), QString("Zoom (238 %)"));
        for (int step = 0; step < 3; ++step)
            turnWheel(middle, {});
        QCOMPARE(f.viewer->details()->zoomLevel(), QString("Zoom 4"));
        QCOMPARE(image->width(), 4 * 640);
        QTest::mouseDClick(image, Qt::LeftButton, {}, {60, 100});
        QVERIFY(f.viewer->details()->isFit());
    }

    void savingWritesIntoTheCamFolder() {
        Viewer f;
        f.select(0);
        f.button("cmdSave")->click();
        QTRY_VERIFY(!f.viewer->isSaving());
        const QStringList saved = QDir(f.box.path("cam")).entryList(QDir::Files);
        QCOMPARE(saved.size(), 1);
        QVERIFY(saved.first().startsWith("A") && saved.first().endsWith(".jpg"));
        QVERIFY(f.status.endsWith(" saved as " + f.box.path("cam/" + saved.first())));
        QCOMPARE(QImage(f.box.path("cam/" + saved.first())).size(), QSize(640, 480));

        // Save As: the one-click name proposed, the chosen file written; a cancel writes nothing
        ScriptedFileChooser chooser;
        chooser.answers = {f.box.path("mine.jpg")};
        f.viewer->setFileChooser(&chooser);
        f.button("cmdSaveAs")->click();
        QTRY_VERIFY(!f.viewer->isSaving());
        QVERIFY(chooser.suggestions.value(0).startsWith(f.box.path("cam/A")));
        QCOMPARE(QImage(f.box.path("mine.jpg")).size(), QSize(640, 480));
        f.button("cmdSaveAs")->click();
        QCOMPARE(chooser.captions.size(), 2);
        QCOMPARE(QDir(f.box.programFolder()).entryList({"*.jpg"}, QDir::Files).size(), 1);
    }

    void savingTwiceInOneSecondKeepsBothPictures() {
        Viewer f;
        f.select(1);
        QTime start = QTime::currentTime();
        f.viewer->saveShownPicture();
        f.viewer->saveShownPicture();
        if (start.second() != QTime::currentTime().second())
            QSKIP("the second changed between the two saves");
        QTRY_VERIFY(!f.viewer->isSaving());
        QCOMPARE(QDir(f.box.path("cam")).entryList(QDir::Files).size(), 2); // the second "_2"
    }

    // A cam's saved pictures, older names and today's, in the order they were taken, a day at a
    // time; a broken file, another cam's and a name that is no moment are not in the way.
    void theHistoryShowsSavedPicturesAndGoesBackToLive() {
        Viewer f;
        const auto save = [&f](const QString& name, Qt::GlobalColor colour) {
            QVERIFY(filledPicture(colour, 40, 30).save(f.box.path("cam/" + name), "JPEG"));
        };
        save("A~2026-12-07_07-00-00_2.jpg", Qt::yellow);
        save("A~2026-12-07_07-00-00.jpg", Qt::green);
        save("A127202663000AM.jpg", Qt::cyan); // an older name: 06:30
        save("A~2026-12-08_10-00-00.jpg", Qt::blue);
        save("AB~2026-12-08_09-00-00.jpg", Qt::black);
        save("A~2026-13-08_09-00-00.jpg", Qt::black);
        f.box.writeFile("cam/A~2026-12-08_11-00-00.jpg", "not a picture");
        f.select(0);
        HistoryStrip* strip = f.viewer->historyStrip();
        QTRY_COMPARE(strip->history().size(), size_t(5));
        QVERIFY(strip->isVisible() && !strip->isBrowsing());
        QCOMPARE(strip->dayBox()->count(), 2);
        QCOMPARE(strip->slider()->value(), 1); // the newest, live

        const auto shownColour = [&f] { return f.viewer->picture().pixelColor(20, 15); };
        strip->slider()->setValue(0);
        QTRY_COMPARE(shownColour().blue() > 200, true);
        f.viewer->showSelectedPicture(filledPicture(Qt::magenta, 640, 480)); // waits meanwhile
        QVERIFY(shownColour().blue() > 200 && shownColour().red() < 50);
        strip->slider()->setValue(1); // the broken file says so and stays on the last picture
        QTRY_VERIFY(strip->timeLabel()->text().contains("could not be read"));

        strip->dayBox()->activated(0);
        QStringList order;
        for (int i = 0; i <= strip->slider()->maximum(); ++i)
            order << strip->history().at(strip->currentIndex() + size_t(i)).path.section('/', -1);
        QCOMPARE(order, QStringList({"A127202663000AM.jpg", "A~2026-12-07_07-00-00.jpg",
                                     "A~2026-12-07_07-00-00_2.jpg"}));
        QSignalSpy film(strip, &HistoryStrip::exportRangeRequested);
        strip->findChild<QPushButton*>("cmdHistoryExport")->click();
        QCOMPARE(film.value(0).value(1).toDateTime().time(), QTime(6, 30));
        QCOMPARE(film.value(0).value(2).toDateTime().time(), QTime(7, 0));

        // a picture saved meanwhile joins; the one shown stays under the slider
        strip->slider()->setValue(1);
        save("A~2026-12-07_06-45-00.jpg", Qt::white);
        f.viewer->noteSavedPicture("A", f.box.path("cam/A~2026-12-07_06-45-00.jpg"));
        QCOMPARE(strip->history().size(), size_t(6));
        QCOMPARE(strip->slider()->value(), 2);
        strip->findChild<QPushButton*>("cmdHistoryLive")->click();
        QVERIFY(!strip->isBrowsing());
        QCOMPARE(shownColour(), QColor(Qt::magenta));
    }

    // A figure crosses the scene in pictures 10 to 24: the day's band holds that one event, and
    // the steps land on its first picture.
    void theDaysMotionIsJudgedAndStepped() {
        Viewer f;
        std::mt19937 random(3);
        for (int n = 0; n < pictures; ++n)
            f.box.writeFile(QString("cam/A~2026-12-07_07-%1-00.jpg").arg(n, 2, 10, QChar('0')),
                            camJpeg(scene("crossing", n, random)));
        f.select(0);
        HistoryStrip* strip = f.viewer->historyStrip();
        QTRY_COMPARE(strip->history().size(), size_t(pictures));
        QTRY_VERIFY_WITH_TIMEOUT(!strip->isJudging() && !strip->dayEvents().empty(), 20000);
        QCOMPARE(strip->dayEvents().size(), size_t(1));
        const auto [first, end] = strip->dayEvents().front();
        QVERIFY2(first >= 9 && first <= 12 && end >= 24 && end <= 29,
                 qPrintable(QString("%1 to %2").arg(first).arg(end)));
        for (const auto& [from, step, to] : {std::tuple{0, 1, first}, std::tuple{first, 1, first},
                                             std::tuple{31, -1, first}, std::tuple{5, -1, 5}}) {
            strip->slider()->setValue(from);
            strip->stepEvent(step);
            QCOMPARE(strip->slider()->value(), to);
        }
    }

    // A day judged in parts, as pictures are saved, finds the event judging it whole finds.
    void aDayJudgedInPartsFindsTheSameEvent_data() {
        QTest::addColumn<QList<int>>("parts");
        QTest::newRow("whole") << QList<int>{pictures};
        QTest::newRow("before it") << QList<int>{8, pictures};
        QTest::newRow("during it") << QList<int>{16, 20, pictures};
        QTest::newRow("one at a time") << [] {
            QList<int> each;
            for (int n = 1; n <= pictures; ++n)
                each << n;
            return each;
        }();
    }
    void aDayJudgedInPartsFindsTheSameEvent() {
        QFETCH(QList<int>, parts);
        Sandbox box;
        std::mt19937 random(3);
        QStringList paths;
        for (int n = 0; n < pictures; ++n) {
            paths << box.path(QString("p%1.jpg").arg(n));
            box.writeFile(paths.last().section('/', -1), camJpeg(scene("crossing", n, random)));
        }
        const std::atomic<bool> going{false};
        DayMotion judged;
        for (const int saved : parts) {
            const int from = laterPicturesFrom(judged);
            judged = JudgeLaterPictures(judged, paths.mid(from, saved - from), from, {}, {}, going);
        }
        QCOMPARE(judged.pictures, pictures);
        QCOMPARE(judged.events.size(), size_t(1));
        const auto [first, end] = judged.events.front();
        QVERIFY2(first >= 9 && first <= 12 && end >= 24 && end <= 29,
                 qPrintable(QString("%1 to %2").arg(first).arg(end)));
    }

    // Dragging over the picture masks the cells under it, for the cam shown; a drag from a
    // masked cell frees them again.
    void theMaskIsDrawnOverThePicture() {
        Viewer f;
        ScriptedPrompter prompter;
        SettingsStore store("Tarvique Software", "Tarvique Webcams", prompter);
        CamSettings settings(store, "Tarvique Webcams", "Tarvique Webcams tests");
        f.viewer->setCamSettings(&settings);
        f.select(0);
        f.button("cmdMotionMask")->click();
        MaskEditor* editor = f.viewer->maskEditor();
        QVERIFY(editor->isVisible());
        const QPoint topLeft(2, 2), middle(editor->width() / 2, editor->height() / 2);
        const auto drag = [editor](QPoint from, QPoint to) {
            QTest::mousePress(editor, Qt::LeftButton, {}, from);
            QTest::mouseMove(editor, to);
            QTest::mouseRelease(editor, Qt::LeftButton, {}, to);
        };
        drag(topLeft, middle);
        MotionMask kept = settings.value(motionMaskKey, "A");
        QVERIFY(kept.isMasked(0, 0) && kept.isMasked(15, 11) && !kept.isMasked(17, 13));
        drag(middle, topLeft);
        QVERIFY(settings.value(motionMaskKey, "A").isEmpty());
        f.select(1); // another cam: its own mask, none
        QVERIFY(editor->mask().isEmpty());
        f.button("cmdMotionMask")->click();
        QVERIFY(!editor->isVisible());
    }

    void savingSavesThePictureTheHistoryShows_data() {
        QTest::addColumn<bool>("as");
        QTest::newRow("Save Image") << false;
        QTest::newRow("Save As") << true;
    }
    void savingSavesThePictureTheHistoryShows() {
        QFETCH(bool, as);
        Viewer f;
        for (const char* name : {"A~2026-12-07_07-00-00.jpg", "A~2026-12-07_08-00-00.jpg"})
            QVERIFY(filledPicture(Qt::green, 40, 30).save(f.box.path("cam/") + name, "JPEG"));
        f.select(0); // red, 640 x 480
        QTRY_COMPARE(f.viewer->historyStrip()->history().size(), size_t(2));
        f.viewer->historyStrip()->slider()->setValue(0);
        QTRY_COMPARE(f.viewer->picture().size(), QSize(40, 30));
        ScriptedFileChooser chooser;
        chooser.answers = {f.box.path("mine.jpg")};
        f.viewer->setFileChooser(&chooser);
        as ? f.viewer->saveShownPictureAs() : f.viewer->saveShownPicture();
        QTRY_VERIFY(!f.viewer->isSaving());
        QCOMPARE(QImage(f.status.section(" saved as ", 1)).size(), QSize(40, 30));
    }

    void oddNamesSaveInsideTheFolder_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("slash") << QByteArray("a/b");
        QTest::newRow("question") << QByteArray("?");
        QTest::newRow("star") << QByteArray("*");
        QTest::newRow("letters") << QByteArray("\xc3\xa9t\xc3\xa9");
    }
    void oddNamesSaveInsideTheFolder() {
        QFETCH(QByteArray, name);
        Viewer f;
        f.panels.camNames[1] = name;
        f.select(1);
        f.viewer->saveShownPicture();
        QTRY_VERIFY(!f.viewer->isSaving());
        QCOMPARE(QDir(f.box.path("cam")).entryList(QDir::Files).size(), 1);
        QCOMPARE(QDir(f.box.programFolder()).entryList(QDir::Files), QStringList());
    }

    void failedSaveIsReportedAndTheViewerStays() {
        Viewer f;
        f.select(1);
        const QImage before = f.viewer->picture();
        ReadOnlyFolder readOnly(f.box.path("cam"));
        f.viewer->saveShownPicture();
        QTRY_VERIFY(!f.viewer->isSaving());
        QVERIFY(f.status.contains("could not be saved"));
        QCOMPARE(f.viewer->picture(), before);
    }

    void nothingSelectedSavesNothing() {
        Viewer f;
        f.viewer->saveShownPicture();
        QVERIFY(QDir(f.box.path("cam")).entryList(QDir::Files).isEmpty());
        QCOMPARE(f.status, QString());
    }

    // Fit shows the whole picture without bars until a factor is chosen; Ctrl+0 goes between
    // Fit and zoom 1; the level shown says which.
    void fitShowsTheWholePictureUntilAFactorIsChosen() {
        Viewer f;
        f.viewer->details()->setFit(true);
        f.select(0); // 640 x 480, larger than the viewport
        const QRect place = f.viewer->imgMainTwips();
        QVERIFY(place.left() >= 0 && place.right() < f.usableWidth());
        QCOMPARE(place.width() * 480 / 640, place.height());
        QVERIFY(!f.viewer->horizontalBar()->isEnabled() && !f.viewer->verticalBar()->isEnabled());
        QVERIFY(f.viewer->details()->zoomLevel().startsWith("Fit ("));
        f.select(1); // the choice stays from one cam to the next
        QVERIFY(f.viewer->details()->isFit());
        f.slider()->setValue(2);
        QVERIFY(!f.viewer->details()->isFit());
        QCOMPARE(f.viewer->details()->zoomLevel(), QString("Zoom 2"));
        QCOMPARE(f.viewer->imgMainTwips(), QRect(0, 0, twips(200), twips(100)));
        f.viewer->toggleFit();
        QVERIFY(f.viewer->details()->isFit());
        f.viewer->toggleFit();
        QCOMPARE(f.viewer->details()->zoomLevel(), QString("Zoom 1"));
        QCOMPARE(f.viewer->imgMainTwips(), QRect(0, 0, twips(100), twips(50)));
    }

    void fullScreenFollowsTheSelectedCamUntilClicked() {
        Viewer f;
        f.select(0);
        f.button("Command3")->click();
        QVERIFY(f.viewer->fullScreenOn());
        FullScreenView* view = f.viewer->fullScreenView();
        QVERIFY(view && view->isVisible());
        auto* image = view->findChild<ImageControl*>("Image1");
        QCOMPARE(view->picture(), f.viewer->picture());
        QVERIFY(image->stretch());
        // as large as it fits, its proportions kept, in the middle of the black screen
        const double scale = std::min(view->width() / 640.0, view->height() / 480.0);
        QCOMPARE(image->size(), QSize(qRound(640 * scale), qRound(480 * scale)));
        QCOMPARE(image->geometry().center(), view->rect().center());

        f.viewer->showFullScreenIndicator(true); // a fetch of the selected cam begins
        QVERIFY(view->isIndicatorShown());
        f.viewer->showSelectedPicture(filledPicture(Qt::green, 10, 10));
        QCOMPARE(view->picture().size(), QSize(10, 10));
        QVERIFY(!view->isIndicatorShown());

        // Left and Right ask for the previous and next running cam
        QSignalSpy steps(f.viewer, &ViewerPane::stepCamRequested);
        QTest::keyClick(view, Qt::Key_Right);
        QTest::keyClick(view, Qt::Key_Left);
        QCOMPARE(steps.size(), 2);
        QCOMPARE(steps[0][0].toInt(), 1);
        QCOMPARE(steps[1][0].toInt(), -1);
        f.viewer->setCycleSeconds(1); // and the next one on its own, while the view is open
        QTRY_COMPARE(steps.size(), 3);
        QCOMPARE(steps[2][0].toInt(), 1);

        // CTest gives no session bus: neither the portal nor the screen-saver service answers
        QTRY_VERIFY(f.status.contains("the screen saver may start"));
        QTest::mouseClick(image, Qt::LeftButton);
        QVERIFY(!f.viewer->fullScreenOn());
        QTRY_VERIFY(!f.viewer->fullScreenView());
        f.viewer->showSelectedPicture(filledPicture(Qt::blue, 5, 5)); // leaves the closed view
        f.viewer->showFullScreenIndicator(true);
    }

    void escapeClosesTheViewLikeAClick() {
        Viewer f;
        f.panels.pictures[1] = QImage(); // an empty viewer: a black screen
        f.select(1);
        f.viewer->openFullScreenView();
        QTest::keyClick(f.viewer->fullScreenView(), Qt::Key_Escape);
        QVERIFY(!f.viewer->fullScreenOn());
    }

    void detailsCaptionsStandWhereDesigned() {
        Viewer f;
        f.select(0);
        const QList<std::pair<const char*, QString>> captions = {
            {"Label6", "Zoom:"},
            {"lblNameCaption", "Name:"},
            {"lblLastRefreshedCaption", "Last Refreshed:"},
            {"lblLastChangedCaption", "Last Changed:"},
            {"lblRefreshCaption", "Refresh Rate:"},
            {"lblNextRefreshCaption", "Next Refresh:"}};
        for (const auto& [name, text] : captions)
            QCOMPARE(f.label(name), text);
        QVERIFY(f.viewer->findChild<QLabel*>("lblTimeCaption")->isHidden());
        QCOMPARE(f.button("cmdSave")->text(), QString("Save Image"));
        QCOMPARE(f.button("cmdSave")->toolTip(), QString("save image in you /cam/ folder"));
        QCOMPARE(f.button("Command3")->text(), QString("Screensaver"));
        QCOMPARE(f.slider()->minimum(), 1);
        QCOMPARE(f.slider()->maximum(), 5);
        QCOMPARE(f.button("cmdSave")->pos(), QPoint(tw(180), tw(840)));
    }

    void detailTextsFitOrAreCutWithTheirWholeTextShown() {
        Viewer f;
        f.select(0);
        const QString changed = " Mon, 07 Dec 2026 17:45:12 GMT and a good deal more besides";
        f.viewer->writeDetails({"A", "30", changed, "12/7/2026", {}, {}, {}, {}});
        auto* lastChanged = f.viewer->findChild<ElidedLabel*>("lblLastChanged");
        QCOMPARE(lastChanged->text(), changed);
        QVERIFY(lastChanged->isElided());
        lastChanged->grab(); // painted: its tooltip says what is cut
        QCOMPARE(lastChanged->toolTip(), changed);
        // a date the server sent is shown as the locale writes it, the header in the tooltip
        const QString header = "Mon, 07 Dec 2026 17:45:12 GMT";
        f.viewer->writeDetails({"A", "30", " " + header, "12/7/2026", {}, {}, {}, {}});
        const QDateTime moment(QDate(2026, 12, 7), QTime(17, 45, 12), QTimeZone::utc());
        QCOMPARE(lastChanged->text(), generalDateText(moment.toLocalTime()));
        QCOMPARE(lastChanged->toolTip(), header);
        // an hour that clocks going forward skip in Europe is a moment all the same in GMT
        f.viewer->writeDetails({"A", "30", "Sun, 28 Mar 2027 02:30:00 GMT", {}, {}, {}, {}, {}});
        QCOMPARE(lastChanged->text(),
                 generalDateText(
                     QDateTime(QDate(2027, 3, 28), QTime(2, 30), QTimeZone::utc()).toLocalTime()));
        // each caption's text starts on its value's line
        for (const char* row :
             {"lblName", "lblLastRefreshed", "lblLastChanged", "lblRefresh", "lblNextRefresh"}) {
            const auto* value = f.viewer->findChild<QLabel*>(row);
            const auto* caption = f.viewer->findChild<QLabel*>(QString(row) + "Caption");
            QCOMPARE(caption->y() + caption->contentsRect().y(), value->y());
        }
        // a long state sentence wraps, and the details take the room its lines need
        const auto* details = f.viewer->findChild<QWidget*>("frmDetails");
        const int designedHeight = details->height();
        const int bottom = details->geometry().bottom();
        f.viewer->setAge("offline: " +
                         QString("the cam refused the user name or password; ").repeated(4));
        const auto* age = f.viewer->findChild<QLabel*>("lblAge");
        QTRY_VERIFY(details->height() > designedHeight);
        QTRY_VERIFY(age->heightForWidth(age->width()) <= age->height());
        QVERIFY(age->geometry().bottom() < details->contentsRect().bottom());
        // taken from the picture's place: the picture ends above the details, which end where
        // they did
        QVERIFY(f.viewer->viewport()->geometry().bottom() < details->y());
        QCOMPARE(details->geometry().bottom(), bottom);
    }

    void theZoomedPictureShowsOnlyBetweenTheBars() {
        Viewer f;
        f.select(0); // red
        f.slider()->setValue(2);
        const QImage shown = f.viewer->viewport()->grab().toImage();
        const QRect bar = f.viewer->verticalBar()->geometry();
        for (const QPoint beside : {QPoint(bar.right() + 2, 10),
                                    QPoint(10, f.viewer->horizontalBar()->geometry().bottom() + 2)})
            if (shown.rect().contains(beside))
                QVERIFY(!sameColour(shown.pixel(beside), Qt::red));
        f.slider()->setValue(1);
        f.select(1); // small: the bars keep no thumb
        QCOMPARE(f.viewer->horizontalBar()->maximum(), 0);
        QCOMPARE(f.viewer->verticalBar()->maximum(), 0);
    }
};

WEBCAMS_TEST(ViewerTest)
#include "test_viewer.moc"
