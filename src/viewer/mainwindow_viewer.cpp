// The main window's layout and its viewer: selection of a panel, zoom and scrolling, saving the
// viewed picture and the full-screen view.
#include "campanel.h"
#include "datetimetext.h"
#include "dibsection.h"
#include "fullscreenview.h"
#include "imagecontrol.h"
#include "imagingerror.h"
#include "jpegwriter.h"
#include "localtext.h"
#include "mainwindow.h"
#include "savepath.h"
#include "twips.h"
#include "vbnumber.h"
#include "widgetkit.h"
#include "windowlock.h"
#include "zoom.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTime>
#include <QToolButton>

namespace {

QScrollBar* makeScrollBar(QWidget* parent, const char* name, Qt::Orientation orientation, int small,
                          int large) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(name);
    bar->setRange(0, 0);
    bar->setSingleStep(small);
    bar->setPageStep(large);
    bar->setTracking(false); // only a let-go thumb moves the picture
    return bar;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect twips) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    setGeometryTwips(label, twips.x(), twips.y(), twips.width(), twips.height());
    return label;
}

} // namespace

void MainWindow::buildViewerFrame() {
    frmMain = new QGroupBox("Viewer", centralWidget());
    frmMain->setObjectName("frmMain");
    frmMain->setFont(designFont("Verdana", 8.25, true));
    setGeometryTwips(frmMain, 6600, 0, 8655, 10815);
    frmMain->hide();

    Picture1 = new QWidget(frmMain);
    Picture1->setObjectName("Picture1");
    Picture1->setAutoFillBackground(true);
    imgMain = new ImageControl(Picture1);
    imgMain->setObjectName("imgMain");
    HScroll1 = makeScrollBar(Picture1, "HScroll1", Qt::Horizontal, 300, 2000);
    VScroll2 = makeScrollBar(Picture1, "VScroll2", Qt::Vertical, 300, 2000);
    Command1 = new QPushButton(Picture1);
    Command1->setObjectName("Command1");
    connect(HScroll1, &QScrollBar::valueChanged, this, &MainWindow::HScroll1_Change);
    connect(VScroll2, &QScrollBar::valueChanged, this, &MainWindow::VScroll2_Change);
    buildDetails();
}

void MainWindow::buildDetails() {
    frmDetails = new QGroupBox(frmMain);
    frmDetails->setObjectName("frmDetails");
    frmDetails->setFont(designFont());
    frmDetails->hide();

    Label6 = makeLabel(frmDetails, "Label6", "Zoom:", {180, 180, 795, 255});
    Slider1 = makeScrollBar(frmDetails, "Slider1", Qt::Horizontal, 1, 1);
    Slider1->setRange(1, 5);
    Slider1->setValue(1);
    setGeometryTwips(Slider1, 180, 420, 2835, 315);
    connect(Slider1, &QScrollBar::valueChanged, this, &MainWindow::Slider1_Change);

    cmdSave = makePictureButton(frmDetails, "cmdSave", "Save Image",
                                "save image in you /cam/ folder", ":/pictures/save.png");
    setGeometryTwips(cmdSave, 180, 840, 1395, 855);
    Command3 =
        makePictureButton(frmDetails, "Command3", "Screensaver",
                          "full screen, auto refreshing view of current cam.  click to close.",
                          ":/pictures/screensaver.png");
    setGeometryTwips(Command3, 1620, 840, 1395, 855);
    connect(cmdSave, &QToolButton::clicked, this, &MainWindow::cmdSave_Click);
    connect(Command3, &QToolButton::clicked, this, &MainWindow::Command3_Click);

    makeLabel(frmDetails, "lblNameCaption", "Name:", {180, 1920, 1995, 255});
    lblName = makeLabel(frmDetails, "lblName", {}, {1980, 1920, 2235, 255});
    makeLabel(frmDetails, "lblLastRefreshedCaption", "Last Refreshed:", {180, 2160, 2055, 375});
    lblLastRefreshed = makeLabel(frmDetails, "lblLastRefreshed", {}, {1980, 2190, 1995, 195});
    makeLabel(frmDetails, "lblLastChangedCaption", "Last Changed:", {180, 2400, 2115, 315});
    lblLastChanged = makeLabel(frmDetails, "lblLastChanged", {}, {1920, 2430, 1995, 195});
    makeLabel(frmDetails, "lblTimeCaption", "Current Time:", {180, 2640, 2175, 255})->hide();
    lblTime = makeLabel(frmDetails, "lblTime", {}, {1920, 2665, 1995, 195});
    lblTime->hide();
    makeLabel(frmDetails, "lblRefreshCaption", "Refresh Rate:", {180, 2880, 2055, 255});
    lblRefresh = makeLabel(frmDetails, "lblRefresh", {}, {1980, 2910, 1995, 195});
    makeLabel(frmDetails, "lblNextRefreshCaption", "Next Refresh:", {180, 3120, 2235, 285});
    lblNextRefresh = makeLabel(frmDetails, "lblNextRefresh", {}, {1980, 3170, 1995, 195});
}

int32_t MainWindow::twipsOf(int pixels) const {
    return pixelsToTwips(pixels, screenDotsPerInch());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ArrangeMainWindow();
}

void MainWindow::ArrangeMainWindow() {
    const QRect outer = frameGeometry();
    layout = ArrangeMainWindowTwips(twipsOf(outer.height()), twipsOf(outer.width()),
                                    twipsOf(StatusBar1->height()));
    const MainWindowLayout& l = layout;
    setGeometryTwips(Frame1, 0, design::frame1Top, 2535, l.frame1Height);
    setGeometryTwips(frmCams, 2640, design::frmCamsTop, 3915, l.frmCamsHeight);
    setGeometryTwips(frmMain, design::frmMainLeft, design::frmMainTop, l.frmMainWidth,
                     l.frmMainHeight);
    setGeometryTwips(List1, 60, design::list1Top, 2355, l.list1Height);
    setGeometryTwips(picWindowOuter, 120, 240, 3495, l.picWindowOuterHeight);
    setGeometryTwips(VScroll1, 3600, 240, 255, l.vScroll1Height);
    setGeometryTwips(Picture1, 120, design::picture1Top, l.picture1Width, l.picture1Height);
    setGeometryTwips(frmDetails, 120, l.frmDetailsTop, l.frmDetailsWidth, design::frmDetailsHeight);
    setGeometryTwips(VScroll2, l.vScroll2Left, 0, design::scrollBarThickness, l.vScroll2Height);
    setGeometryTwips(HScroll1, 0, l.hScroll1Top, l.hScroll1Width, design::scrollBarThickness);
    setGeometryTwips(Command1, l.command1Left, l.command1Top, design::command1Size,
                     design::command1Size);
}

void MainWindow::setImgMainTwips(const QRect& place) {
    imgMainPlace = place;
    setGeometryTwips(imgMain, place.x(), place.y(), place.width(), place.height());
    imgMain->lower(); // under the scroll bars
}

void MainWindow::imgCam_Click(int index) {
    if (index < 0 || index >= maxRunningCams)
        return; // only panels 0 to 23 ever run
    selected = qint16(index);
    lockDrawing(true);
    frmMain->show();
    frmDetails->show();
    setImgMainTwips({imgMainPlace.x(), imgMainPlace.y(), 10, 10});
    imgMain->setStretch(false);
    const QImage picture = panel(index)->imgCam->picture();
    imgMain->setPicture(picture);
    // the picture's own size at this screen's resolution; no picture leaves the image as it is
    naturalWidth = picture.isNull() ? 10 : PixelsToTwipsEven(picture.width(), screenDotsPerInch());
    naturalHeight =
        picture.isNull() ? 10 : PixelsToTwipsEven(picture.height(), screenDotsPerInch());
    ApplyZoom();
    writeDetails(*panel(index));
    selectedPanelTicked(*panel(index)); // "Next Refresh", and the time query
}

void MainWindow::ApplyZoom() {
    lockDrawing(true);
    imgMain->setStretch(true);
    const std::optional<ZoomLayout> zoom = ComputeZoom(
        Slider1->value(), naturalWidth, naturalHeight, twipsOf(Picture1->width()),
        twipsOf(VScroll2->width()), twipsOf(Picture1->height()), twipsOf(HScroll1->height()));
    if (zoom) {
        QRect place(imgMainPlace.x(), imgMainPlace.y(), zoom->imageWidth, zoom->imageHeight);
        if (zoom->horizontalEnabled)
            HScroll1->setMaximum(zoom->horizontalMaximum);
        else
            place.moveLeft(0);
        HScroll1->setEnabled(zoom->horizontalEnabled);
        if (zoom->verticalEnabled)
            VScroll2->setMaximum(zoom->verticalMaximum);
        else
            place.moveTop(0);
        VScroll2->setEnabled(zoom->verticalEnabled);
        setImgMainTwips(place);
    }
    lockDrawing(false); // on every path
}

void MainWindow::HScroll1_Change() {
    setImgMainTwips(imgMainPlace.translated(-HScroll1->value() - imgMainPlace.x(), 0));
}

void MainWindow::VScroll2_Change() {
    setImgMainTwips(imgMainPlace.translated(0, -VScroll2->value() - imgMainPlace.y()));
}

void MainWindow::cmdSave_Click() {
    if (selected < 0 || selected >= maxRunningCams)
        return;
    CamPanel& camPanel = *panel(selected);
    const QString path = SavePath(camFolder(), camPanel.txtName, QDateTime::currentDateTime());
    const QImage picture = camPanel.imgCam->picture();
    try {
        cDIBSection dib;
        dib.CreateFromPicture(picture);
        WriteJpegFile(dib, path, 90);
    } catch (const ImagingError& error) {
        setStatusText(QString("%1 the picture could not be saved as %2: %3")
                          .arg(longTimeText(QTime::currentTime()), path, localText(error.what())));
        return;
    }
    lockDrawing(true);
    imgMain->setPicture(picture);
    lockDrawing(false);
    setStatusText(longTimeText(QTime::currentTime()) + " saved as " + path);
}

FullScreenView* MainWindow::fullScreenView() const {
    return Form6;
}

void MainWindow::Command3_Click() {
    fullScreen = true;
    screenSaver.SetScreenSaverActive(false);
    if (!Form6) {
        Form6 = new FullScreenView(this);
        connect(Form6, &FullScreenView::unloaded, this, [this] {
            // however the view was closed: the flag goes and the screen saver comes back
            fullScreen = false;
            screenSaver.SetScreenSaverActive(true);
        });
    }
    Form6->Image1->setStretch(true);
    Form6->Image1->setPicture(imgMain->picture());
    // over the whole screen, also where no window manager honours the full-screen request
    if (const QScreen* display = screen())
        Form6->setGeometry(display->geometry());
    Form6->showFullScreen();
    Form6->raise();
    Form6->activateWindow();
}

void MainWindow::showFullScreenIndicator() {
    if (Form6)
        Form6->picrefresh->show();
}

void MainWindow::showSelectedPicture(const QImage& picture) {
    imgMain->setPicture(picture);
    if (!fullScreen || !Form6)
        return;
    Form6->picrefresh->hide();
    Form6->Image1->setStretch(true);
    Form6->Image1->setPicture(picture);
}
