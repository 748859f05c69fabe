#include "viewer/layout.h"
#include "viewer/zoom.h"

#include "testmain.h"

#include <QTest>

class LayoutZoomTest : public QObject {
    Q_OBJECT
  private slots:
    void workedExampleOfAWindow() {
        const MainWindowLayout l = ArrangeMainWindowTwips(9000, 12000, 375);
        QCOMPARE(l.frame1Height, 7825);
        QCOMPARE(l.frmCamsHeight, 7825);
        QCOMPARE(l.frmMainHeight, 7825);
        QCOMPARE(l.frmMainWidth, 5400);
        QCOMPARE(l.list1Height, 4265);
        QCOMPARE(l.picWindowOuterHeight, 7525);
        QCOMPARE(l.vScroll1Height, 7525);
        QCOMPARE(l.picture1Width, 5000);
        QCOMPARE(l.picture1Height, 3895);
        QCOMPARE(l.frmDetailsTop, 4135);
        QCOMPARE(l.frmDetailsWidth, 5000);
        QCOMPARE(l.vScroll2Left, 4745);
        QCOMPARE(l.vScroll2Height, 3640);
        QCOMPARE(l.hScroll1Top, 3640);
        QCOMPARE(l.hScroll1Width, 4745);
        QCOMPARE(l.command1Left, 4745);
        QCOMPARE(l.command1Top, 3640);
        // the list ends 20 above the frame's bottom, the panel area 60 above it
        QCOMPARE(design::list1Top + l.list1Height, l.frmCamsHeight - 20);
        QCOMPARE(240 + l.picWindowOuterHeight, l.frmCamsHeight - 60);
    }

    void aShortWindowStillGivesPositiveSizes() {
        const MainWindowLayout l = ArrangeMainWindowTwips(3000, 12000, 375);
        QCOMPARE(l.frame1Height, 1825);
        QCOMPARE(l.list1Height, 1735);
        QCOMPARE(l.picWindowOuterHeight, 4995);
        const MainWindowLayout tiny = ArrangeMainWindowTwips(0, 0, 375);
        for (int32_t value :
             {tiny.frame1Height, tiny.frmMainWidth, tiny.list1Height, tiny.picture1Height,
              tiny.picture1Width, tiny.vScroll2Height, tiny.hScroll1Width, tiny.hScroll1Top})
            QVERIFY(value >= 0);
    }

    void widerWindowsGetMorePanelColumns_data() {
        QTest::addColumn<int>("width"); // twips
        QTest::addColumn<int>("columns");
        // clang-format off
        QTest::newRow("designed width") << 13155 << 2;
        QTest::newRow("1600 pixels") << 24000 << 4;
        QTest::newRow("2560 pixels") << 38400 << 8;
        QTest::newRow("narrow") << 10000 << 1;
        QTest::newRow("nothing") << 0 << 1;
        QTest::newRow("one per cam at most") << 1000000 << 24;
        // clang-format on
    }

    void widerWindowsGetMorePanelColumns() {
        QFETCH(int, width);
        QFETCH(int, columns);
        QCOMPARE(PanelColumnsFor(width), columns);
        // the viewer moves right by the added columns and keeps the rest of the width
        const MainWindowLayout l = ArrangeMainWindowTwips(9000, width, 375, columns);
        QCOMPARE(l.frmMainLeft, 6600 + (columns - 2) * 1680);
        QCOMPARE(l.frmMainWidth, std::abs(width - l.frmMainLeft));
        QCOMPARE(l.picture1Height, ArrangeMainWindowTwips(9000, width, 375).picture1Height);
    }

    // The wall takes three fifths of the width right of the list, as long as the viewer keeps
    // the room its details need (at least 8400 twips).
    void theWallTakesMoreOfTheWidth_data() {
        QTest::addColumn<int>("width"); // twips
        QTest::addColumn<int>("columns");
        QTest::newRow("designed width") << 13155 << 2;
        QTest::newRow("1280 pixels: the viewer's room") << 19200 << 4;
        QTest::newRow("1920 pixels") << 28800 << 9;
        QTest::newRow("2560 pixels") << 38400 << 12;
    }
    void theWallTakesMoreOfTheWidth() {
        QFETCH(int, width);
        QFETCH(int, columns);
        QCOMPARE(WallColumnsFor(width), columns);
        QVERIFY(width < 15000 ||
                ArrangeMainWindowTwips(9000, width, 375, columns).frmMainWidth >= 8400);
    }

    void smallPictureNeedsNoScrolling() {
        auto zoom = ComputeZoom(1, 3000, 2000, 5000, 195, 3895, 195);
        QVERIFY(zoom);
        QCOMPARE(zoom->imageWidth, 3000);
        QVERIFY(!zoom->horizontalEnabled);
        QVERIFY(!zoom->verticalEnabled);
    }

    void exactlyAsWideAsTheUsableWidthIsNotScrolled() {
        auto zoom = ComputeZoom(1, 4805, 100, 5000, 195, 3895, 195);
        QVERIFY(!zoom->horizontalEnabled);
        zoom = ComputeZoom(1, 4806, 100, 5000, 195, 3895, 195);
        QVERIFY(zoom->horizontalEnabled);
        QCOMPARE(zoom->horizontalMaximum, 1);
    }

    void largeZoomsScrollToTheirEnd() {
        // 640 pixels at factor 5: 48000 twips, far more than a 16-bit range could reach
        auto zoom = ComputeZoom(5, 9600, 7200, 8000, 195, 6000, 195);
        QVERIFY(zoom);
        QCOMPARE(zoom->imageWidth, 48000);
        QVERIFY(zoom->horizontalEnabled);
        QCOMPARE(zoom->horizontalMaximum, 48000 - (8000 - 195));
        QCOMPARE(zoom->verticalMaximum, 36000 - (6000 - 195));
        QVERIFY(!ComputeZoom(5, 0x7FFFFFFF / 4, 10, 8000, 195, 6000, 195));
    }

    // The whole picture, its proportions kept and centred: {natural, area, expected rectangle,
    // percent}.
    void fitShowsTheWholePicture() {
        const struct {
            QSize natural, area;
            QRect place;
            int percent;
        } rows[] = {
            {{1920, 1080}, {800, 600}, {0, 75, 800, 450}, 42}, // wide: bars above and below
            {{480, 640}, {800, 600}, {175, 0, 450, 600}, 94},  // tall: bars beside
            {{320, 240}, {960, 720}, {0, 0, 960, 720}, 300},   // small: made larger
            {{10000, 1}, {800, 600}, {0, 299, 800, 1}, 8},     // a sliver keeps a pixel
            {{0, 0}, {800, 600}, {0, 0, 1, 1}, 100},           // no picture
            {{640, 480}, {0, 600}, {0, 0, 1, 1}, 100},         // no room
        };
        for (const auto& row : rows) {
            const FitLayout fit = ComputeFit(row.natural.width(), row.natural.height(),
                                             row.area.width(), row.area.height());
            QCOMPARE(QRect(fit.left, fit.top, fit.width, fit.height), row.place);
            QCOMPARE(fit.percent, row.percent);
        }
    }
};

WEBCAMS_TEST(LayoutZoomTest)
#include "test_layoutzoom.moc"
