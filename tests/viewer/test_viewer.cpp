#include "campanel.h"
#include "fullscreenview.h"
#include "imagecontrol.h"
#include "pictures.h"
#include "scriptedserver.h"
#include "twips.h"
#include "windowfixture.h"

#include <QBuffer>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

namespace {

QImage pictureOf(QColor colour, int width, int height) {
    return filledPicture(colour, width, height);
}

int twips(int pixels) {
    return pixelsToTwips(pixels, screenDotsPerInch());
}

// A shown main window with cams "A" and "B" running in panels 0 and 1, each holding a picture.
struct Viewer : WindowFixture {
    Viewer()
        : WindowFixture(camList(
              {{"A", "http://127.0.0.1/none", "30"}, {"B", "http://127.0.0.1/none", "30"}})) {
        window->show();
        window->setWindowState(Qt::WindowNoState);
        window->resize(900, 700); // a viewport narrower than 640 pixels
        start("A");
        start("B");
        window->panel(0)->imgCam->setPicture(pictureOf(Qt::red, 640, 480));
        window->panel(1)->imgCam->setPicture(pictureOf(Qt::blue, 100, 50));
    }
};

} // namespace

class ViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void layoutFollowsTheWindowSize() {
        WindowFixture f(camList({}));
        f.window->show();
        // a tiny request gives the smallest window there can be; the rules hold all the same
        for (QSize size : {QSize(1200, 800), QSize(300, 200), QSize(1, 1), QSize(1500, 990)}) {
            f.window->setWindowState(Qt::WindowNoState);
            f.window->resize(size);
            QTRY_COMPARE(f.window->size(), size.expandedTo(f.window->minimumSizeHint()));
            // the outer size counts the window's frame
            const QSize outer = f.window->frameGeometry().size();
            const MainWindowLayout expected = ArrangeMainWindowTwips(
                twips(outer.height()), twips(outer.width()), twips(f.window->StatusBar1->height()));
            QCOMPARE(f.window->currentLayout().frame1Height, expected.frame1Height);
            QCOMPARE(f.window->frmCams->height(), tw(expected.frmCamsHeight));
            QCOMPARE(f.window->Picture1->width(), tw(expected.picture1Width));
            QCOMPARE(f.window->frmDetails->y(), tw(expected.frmDetailsTop));
        }
    }

    void clickingAPanelShowsItLarge() {
        Viewer f;
        QTest::mouseClick(f.window->panel(0)->imgCam, Qt::LeftButton);
        QCOMPARE(f.window->selectedCam(), 0);
        QVERIFY(f.window->frmMain->isVisible());
        QVERIFY(f.window->frmDetails->isVisible());
        QCOMPARE(f.window->naturalWidth, twips(640));
        QCOMPARE(f.window->naturalHeight, twips(480));
        QCOMPARE(f.window->imgMain->picture().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(f.window->lblName->text(), QString("A"));
        QCOMPARE(f.window->lblRefresh->text(), QString("30"));
        QCOMPARE(f.window->lblNextRefresh->text(), QString("30"));

        QTest::mouseClick(f.window->panel(1)->Picture3, Qt::LeftButton, {}, QPoint(1, 1));
        // a click on the box holding the picture selects like one on the picture
        QCOMPARE(f.window->selectedCam(), 1);
        QCOMPARE(f.window->lblName->text(), QString("B"));
        QCOMPARE(f.window->imgMainTwips().size(), QSize(twips(100), twips(50)));
    }

    void zoomAndScrollMoveThePicture() {
        Viewer f;
        f.window->imgCam_Click(0);
        QVERIFY(f.window->HScroll1->isEnabled()); // 640 pixels is wider than the viewport
        f.window->Slider1->setValue(3);
        QCOMPARE(f.window->imgMainTwips().width(), 3 * twips(640));
        QVERIFY(f.window->HScroll1->isEnabled());
        QVERIFY(f.window->VScroll2->isEnabled());
        const int usable = twips(f.window->Picture1->width()) - twips(f.window->VScroll2->width());
        QCOMPARE(f.window->HScroll1->maximum(), 3 * twips(640) - usable);

        f.window->HScroll1->setValue(f.window->HScroll1->maximum());
        QCOMPARE(f.window->imgMainTwips().x(), -f.window->HScroll1->maximum());
        f.window->VScroll2->setValue(600);
        QCOMPARE(f.window->imgMainTwips().y(), -600);

        f.window->imgCam_Click(1); // small picture: back at the corner, no bars
        f.window->Slider1->setValue(1);
        QVERIFY(!f.window->HScroll1->isEnabled());
        QVERIFY(!f.window->VScroll2->isEnabled());
        QCOMPARE(f.window->imgMainTwips().topLeft(), QPoint(0, 0));
    }

    void factorFiveOfAWidePictureReachesItsRightEdge() {
        Viewer f;
        f.window->imgCam_Click(0);
        f.window->Slider1->setValue(5);
        const int width = 5 * twips(640);
        QVERIFY(width - (twips(f.window->Picture1->width()) - twips(f.window->VScroll2->width())) >
                32767);
        f.window->HScroll1->setValue(f.window->HScroll1->maximum());
        const int usable = twips(f.window->Picture1->width()) - twips(f.window->VScroll2->width());
        QCOMPARE(f.window->imgMainTwips().x() + width, usable);
    }

    void laterPicturesKeepTheMeasuredSize() {
        Viewer f;
        f.window->imgCam_Click(1);
        const QRect before = f.window->imgMainTwips();
        f.window->showSelectedPicture(pictureOf(Qt::green, 300, 300));
        QCOMPARE(f.window->imgMainTwips(), before);
        QCOMPARE(f.window->imgMain->picture().size(), QSize(300, 300));
    }

    void emptyOrNotFoundPicturesCanBeSelected() {
        Viewer f;
        f.window->panel(1)->imgCam->setPicture(QImage());
        f.window->imgCam_Click(1);
        QVERIFY(f.window->frmMain->isVisible());
        f.window->panel(1)->imgCam->setPicture(f.window->notFoundPicture());
        f.window->imgCam_Click(1);
        QCOMPARE(f.window->imgMain->picture(), f.window->notFoundPicture());
    }

    void savingWritesIntoTheCamFolder() {
        Viewer f;
        f.window->imgCam_Click(0);
        f.window->cmdSave->click();
        const QStringList saved = QDir(f.box.path("cam")).entryList(QDir::Files);
        QCOMPARE(saved.size(), 1);
        QVERIFY(saved.first().startsWith("A") && saved.first().endsWith(".jpg"));
        QVERIFY(f.window->statusText().endsWith(" saved as " + f.box.path("cam/" + saved.first())));
        QCOMPARE(QImage(f.box.path("cam/" + saved.first())).size(), QSize(640, 480));
    }

    void savingTwiceInOneSecondReplacesTheFile() {
        Viewer f;
        f.window->imgCam_Click(1);
        QTime start = QTime::currentTime();
        f.window->cmdSave_Click();
        f.window->cmdSave_Click();
        if (start.second() != QTime::currentTime().second())
            QSKIP("the second changed between the two saves");
        QCOMPARE(QDir(f.box.path("cam")).entryList(QDir::Files).size(), 1);
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
        f.window->panel(1)->txtName = name;
        f.window->imgCam_Click(1);
        f.window->cmdSave_Click();
        QCOMPARE(QDir(f.box.path("cam")).entryList(QDir::Files).size(), 1);
        QCOMPARE(QDir(f.box.programFolder()).entryList(QDir::Files), QStringList{"00camlist.txt"});
    }

    void failedSaveIsReportedAndTheViewerStays() {
        Viewer f;
        f.window->imgCam_Click(1);
        const QImage before = f.window->imgMain->picture();
        ReadOnlyFolder readOnly(f.box.path("cam"));
        f.window->cmdSave_Click();
        QVERIFY(f.window->statusText().contains("could not be saved"));
        QCOMPARE(f.window->imgMain->picture(), before);
    }

    void fullScreenFollowsTheSelectedCamUntilClicked() {
        Viewer f;
        f.window->imgCam_Click(0);
        f.window->Command3->click();
        QVERIFY(f.window->fullScreenOn());
        FullScreenView* view = f.window->fullScreenView();
        QVERIFY(view && view->isVisible());
        QCOMPARE(view->Image1->picture(), f.window->imgMain->picture());
        QVERIFY(view->Image1->stretch());
        QCOMPARE(view->Image1->size(), view->size());

        f.window->panel(0)->cmdStart_Click(); // a fetch of the selected cam begins
        QVERIFY(view->picrefresh->isVisible());
        f.window->showSelectedPicture(pictureOf(Qt::green, 10, 10));
        QCOMPARE(view->Image1->picture().size(), QSize(10, 10));
        QVERIFY(view->picrefresh->isHidden());

        QTest::mouseClick(view->Image1, Qt::LeftButton);
        QVERIFY(!f.window->fullScreenOn());
        QTRY_VERIFY(!f.window->fullScreenView());
        f.window->showSelectedPicture(pictureOf(Qt::blue, 5, 5)); // leaves the closed view alone
    }

    void escapeClosesTheViewLikeAClick() {
        Viewer f;
        f.window->imgCam_Click(1);
        f.window->imgMain->setPicture(QImage()); // an empty viewer: a black screen
        f.window->Command3_Click();
        QTest::keyClick(f.window->fullScreenView(), Qt::Key_Escape);
        QVERIFY(!f.window->fullScreenOn());
    }

    void stoppingTheSelectedCamWhileFullScreen() {
        Viewer f;
        f.window->imgCam_Click(0);
        f.window->Command3_Click();
        f.window->panel(0)->cmdStop_Click();
        QCOMPARE(f.window->selectedCam(), -1);
        QVERIFY(f.window->frmMain->isHidden());
        f.window->panel(1)->cmdStart_Click();
        f.window->fullScreenView()->close();
        QVERIFY(!f.window->fullScreenOn());
    }

    void detailsCaptionsStandWhereDesigned() {
        Viewer f;
        f.window->imgCam_Click(0);
        const QList<std::pair<const char*, QString>> captions = {
            {"Label6", "Zoom:"},
            {"lblNameCaption", "Name:"},
            {"lblLastRefreshedCaption", "Last Refreshed:"},
            {"lblLastChangedCaption", "Last Changed:"},
            {"lblRefreshCaption", "Refresh Rate:"},
            {"lblNextRefreshCaption", "Next Refresh:"}};
        for (const auto& [name, text] : captions)
            QCOMPARE(f.window->findChild<QLabel*>(name)->text(), text);
        QVERIFY(f.window->findChild<QLabel*>("lblTimeCaption")->isHidden());
        QCOMPARE(f.window->cmdSave->text(), QString("Save Image"));
        QCOMPARE(f.window->cmdSave->toolTip(), QString("save image in you /cam/ folder"));
        QCOMPARE(f.window->Command3->text(), QString("Screensaver"));
        QCOMPARE(f.window->Slider1->minimum(), 1);
        QCOMPARE(f.window->Slider1->maximum(), 5);
        QCOMPARE(f.window->cmdSave->pos(), QPoint(tw(180), tw(840)));
    }
};

QTEST_MAIN(ViewerTest)
#include "test_viewer.moc"
