#include "viewer/viewerpane.h"

#include "common/background.h"
#include "common/datetimetext.h"
#include "common/filechooser.h"
#include "common/twips.h"
#include "engine/camfollower.h"
#include "imaging/savepath.h"
#include "ui/imagecontrol.h"
#include "ui/screentwips.h"
#include "ui/widgetkit.h"
#include "viewer/detailsblock.h"
#include "viewer/fullscreenview.h"
#include "viewer/historystrip.h"
#include "viewer/layout.h"
#include "viewer/maskeditor.h"
#include "viewer/picturemouse.h"
#include "viewer/zoom.h"

#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTime>
#include <QTimer>

namespace {

QScrollBar* makeScrollBar(QWidget* parent, const char* name, Qt::Orientation orientation) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(name);
    bar->setRange(0, 0);
    bar->setSingleStep(300);
    bar->setPageStep(2000);
    bar->setTracking(false); // only a let-go thumb moves the picture
    return bar;
}

} // namespace

ViewerPane::ViewerPane(QWidget* parent, const FollowedCam& source, QString camFolder,
                       BackgroundQueue& files)
    : QGroupBox(tr("Viewer"), parent), m_source(source), m_camFolder(std::move(camFolder)),
      m_files(files) {
    setObjectName("frmMain");
    setFont(designFont("Verdana", 8.25, true));
    setGeometryTwips(this, 6600, 0, 8655, 10815);
    hide();

    m_viewport = new QWidget(this);
    m_viewport->setObjectName("Picture1");
    m_viewport->setAutoFillBackground(true);
    // the picture shows between the scroll bars, never under or beyond them
    m_pictureArea = new QWidget(m_viewport);
    m_pictureArea->setObjectName("pictureArea");
    m_image = new ImageControl(m_pictureArea);
    m_image->setObjectName("imgMain");
    m_maskEditor = new MaskEditor(m_image);
    m_mouse = new PictureMouse(*this, m_pictureArea, m_image);
    m_horizontal = makeScrollBar(m_viewport, "HScroll1", Qt::Horizontal);
    m_vertical = makeScrollBar(m_viewport, "VScroll2", Qt::Vertical);
    m_corner = new QPushButton(m_viewport);
    m_corner->setObjectName("Command1");
    m_horizontal->setAccessibleName(tr("Scroll the picture sideways"));
    m_vertical->setAccessibleName(tr("Scroll the picture up and down"));
    m_corner->setAccessibleName(tr("Corner of the scroll bars"));
    m_corner->setFocusPolicy(Qt::NoFocus);
    m_details = new DetailsBlock(this);
    m_history = new HistoryStrip(this);
    m_history->hide();
    m_historyReader = new BackgroundQueue(1);

    connect(m_horizontal, &QScrollBar::valueChanged, this, &ViewerPane::scrollPictureHorizontally);
    connect(m_vertical, &QScrollBar::valueChanged, this, &ViewerPane::scrollPictureVertically);
    connect(m_details, &DetailsBlock::zoomChanged, this, &ViewerPane::applyChosenZoom);
    connect(m_details, &DetailsBlock::saveClicked, this, &ViewerPane::saveShownPicture);
    connect(m_details, &DetailsBlock::saveAsClicked, this, &ViewerPane::saveShownPictureAs);
    connect(m_details, &DetailsBlock::fullScreenClicked, this, &ViewerPane::openFullScreenView);
    connect(m_details, &DetailsBlock::maskEditToggled, this, &ViewerPane::editMask);
    connect(m_details, &DetailsBlock::textsChanged, this, &ViewerPane::followDetailsHeight);
    connect(m_history, &HistoryStrip::pictureChosen, this, [this](const QImage& picture) {
        if (m_livePicture.isNull())
            m_livePicture = m_image->picture();
        showAtOwnSize(picture);
        m_savedShown = true;
    });
    connect(m_history, &HistoryStrip::liveChosen, this, [this] {
        m_savedShown = false;
        if (!m_livePicture.isNull())
            showAtOwnSize(std::exchange(m_livePicture, QImage()));
    });
    connect(m_history, &HistoryStrip::exportRangeRequested, this,
            &ViewerPane::exportRangeRequested);
    connect(&m_screenSaver, &ScreenSaverSwitch::unavailable, this, [this] {
        emit statusText(tr("%1 the screen saver may start: neither the desktop portal nor the "
                           "screen saver service could hold it off")
                            .arg(longTimeText(QTime::currentTime())));
    });
    m_cycle = new QTimer(this);
    connect(m_cycle, &QTimer::timeout, this, [this] {
        if (m_fullScreen)
            emit stepCamRequested(1);
    });
}

void ViewerPane::follow(CamFollower& selection) {
    connect(&selection, &CamFollower::followed, this, &ViewerPane::showSelection);
    connect(&selection, &CamFollower::ticked, this, &ViewerPane::setNextRefresh);
    connect(&selection, &CamFollower::fetching, this, &ViewerPane::showFullScreenIndicator);
    connect(&selection, &CamFollower::pictureArrived, this, &ViewerPane::showSelectedPicture);
    connect(&selection, &CamFollower::detailsChanged, this, &ViewerPane::writeDetails);
    connect(&selection, &CamFollower::stopped, this, &ViewerPane::hideViewer);
    connect(&selection, &CamFollower::age, this, &ViewerPane::setAge);
    connect(this, &ViewerPane::stepCamRequested, &selection, &CamFollower::followNextRunning);
}

void ViewerPane::stepZoom(int step) {
    if (!isVisible())
        return;
    if (m_details->isFit())
        m_details->zoomSlider()->setValue(m_details->zoomSlider()->value() + step);
    else // the middle of what is shown stays in the middle
        m_mouse->zoomAbout(step, m_pictureArea->rect().center(), false);
}

void ViewerPane::toggleFitWhileViewing() {
    if (isVisible())
        toggleFit();
}

void ViewerPane::openFullScreenWhileViewing() {
    if (isVisible())
        openFullScreenView();
}

void ViewerPane::setCycleSeconds(int seconds) {
    m_cycleSeconds = std::max(0, seconds);
    m_cycle->stop();
    m_cycle->setInterval(m_cycleSeconds * 1000);
    if (m_fullScreen && m_cycleSeconds > 0)
        m_cycle->start();
}

ViewerPane::~ViewerPane() {
    closeFullScreen();
    delete m_historyReader; // waits for a listing under way
}

void ViewerPane::arrange(const MainWindowLayout& layout) {
    m_layout = layout;
    m_arranged = true;
    MainWindowLayout l = layout;
    const int32_t detailsHeight = m_detailsHeight = m_details->heightFor(l);
    for (int32_t* bottom :
         {&l.picture1Height, &l.vScroll2Height, &l.hScroll1Top, &l.command1Top, &l.frmDetailsTop})
        *bottom -= detailsHeight - design::frmDetailsHeight;
    // the history strip takes the bottom of the picture's place
    const bool strip = !m_history->history().empty();
    m_history->setVisible(strip);
    if (strip) {
        const int32_t height =
            std::min(twipsOf(m_history->sizeHint().height()), l.picture1Height / 2);
        for (int32_t* bottom :
             {&l.picture1Height, &l.vScroll2Height, &l.hScroll1Top, &l.command1Top})
            *bottom -= height;
        setGeometryTwips(m_history, 120, design::picture1Top + l.picture1Height, l.picture1Width,
                         height);
    }
    setGeometryTwips(this, l.frmMainLeft, design::frmMainTop, l.frmMainWidth, l.frmMainHeight);
    setGeometryTwips(m_viewport, 120, design::picture1Top, l.picture1Width, l.picture1Height);
    setGeometryTwips(m_details, 120, l.frmDetailsTop, l.frmDetailsWidth, detailsHeight);
    setGeometryTwips(m_pictureArea, 0, 0, l.vScroll2Left, l.hScroll1Top);
    setGeometryTwips(m_vertical, l.vScroll2Left, 0, design::scrollBarThickness, l.vScroll2Height);
    setGeometryTwips(m_horizontal, 0, l.hScroll1Top, l.hScroll1Width, design::scrollBarThickness);
    setGeometryTwips(m_corner, l.command1Left, l.command1Top, design::command1Size,
                     design::command1Size);
    if (!isHidden())
        ApplyZoom(); // the fit, or the zoomed picture's scroll ranges, follow the viewer's size
}

void ViewerPane::followDetailsHeight() {
    if (m_arranged && !isHidden() && m_details->heightFor(m_layout) != m_detailsHeight)
        arrange(m_layout);
}

void ViewerPane::setImagePlace(const QRect& place) {
    m_imagePlace = place;
    setGeometryTwips(m_image, place);
}

void ViewerPane::showSelection(const QImage& picture, QSize pictureSize, const CamDetails& details,
                               const QString& nextRefresh) {
    ++m_pictures;
    m_livePicture = QImage();
    m_savedShown = false;
    if (m_history->isBrowsing()) {
        const QSignalBlocker quiet(m_history);
        m_history->goLive();
    }
    const CamNames cam = m_source.hasPlace() ? m_source.names() : CamNames();
    if (cam != m_history->history().names() || m_history->history().empty())
        readHistory(cam);
    show();
    m_details->show();
    setImagePlace({m_imagePlace.x(), m_imagePlace.y(), 10, 10});
    m_image->setStretch(false);
    m_image->setPicture(picture);
    // the picture's own size at this screen's resolution; no picture leaves the image as it is
    const bool none = picture.isNull() || pictureSize.isEmpty();
    m_hasPicture = !none;
    m_details->enablePictureActions(m_hasPicture);
    m_naturalWidth = none ? 10 : PixelsToTwipsEven(pictureSize.width(), screenDotsPerInch());
    m_naturalHeight = none ? 10 : PixelsToTwipsEven(pictureSize.height(), screenDotsPerInch());
    ApplyZoom(); // releases the lock
    writeDetails(details);
    setNextRefresh(nextRefresh);
}

void ViewerPane::ApplyZoom() {
    m_image->setStretch(true);
    if (m_details->isFit()) {
        // the whole picture between the bars, which have nothing to scroll
        const FitLayout fit =
            ComputeFit(m_naturalWidth, m_naturalHeight, twipsOf(m_pictureArea->width()),
                       twipsOf(m_pictureArea->height()));
        for (QScrollBar* bar : {m_horizontal, m_vertical}) {
            const QSignalBlocker quiet(bar);
            bar->setMaximum(0);
            bar->setEnabled(false);
        }
        setImagePlace({fit.left, fit.top, fit.width, fit.height});
        m_details->showZoomLevel(m_hasPicture ? fit.percent : -1);
        showNeededBars();
        return;
    }
    if (m_imagePlace.x() > 0 || m_imagePlace.y() > 0) // centred while fitted
        setImagePlace({QPoint(0, 0), m_imagePlace.size()});
    m_details->showZoomLevel(0);
    const std::optional<ZoomLayout> zoom =
        ComputeZoom(m_details->zoomScale(), m_naturalWidth, m_naturalHeight,
                    twipsOf(m_viewport->width()), twipsOf(m_vertical->width()),
                    twipsOf(m_viewport->height()), twipsOf(m_horizontal->height()));
    if (zoom) {
        // The new size first: a lower maximum clamps a bar's value, and its change handler
        // then moves the picture to where the bar says. That place is kept, not the old one.
        setImagePlace({m_imagePlace.topLeft(), QSize(zoom->imageWidth, zoom->imageHeight)});
        // a bar that is not needed keeps no thumb
        m_horizontal->setMaximum(zoom->horizontalEnabled ? zoom->horizontalMaximum : 0);
        if (!zoom->horizontalEnabled)
            setImagePlace({QPoint(0, m_imagePlace.y()), m_imagePlace.size()});
        m_horizontal->setEnabled(zoom->horizontalEnabled);
        m_vertical->setMaximum(zoom->verticalEnabled ? zoom->verticalMaximum : 0);
        if (!zoom->verticalEnabled)
            setImagePlace({QPoint(m_imagePlace.x(), 0), m_imagePlace.size()});

        m_vertical->setEnabled(zoom->verticalEnabled);
    }
    showNeededBars();
}

double ViewerPane::fitScale() const {
    const FitLayout fit =
        ComputeFit(m_naturalWidth, m_naturalHeight, twipsOf(m_pictureArea->width()),
                   twipsOf(m_pictureArea->height()));
    return m_naturalWidth > 0 ? double(fit.width) / m_naturalWidth : 1.0;
}

void ViewerPane::showNeededBars() {
    // a bar shows only while the picture is larger than the view that way
    m_horizontal->setVisible(m_horizontal->isEnabled());
    m_vertical->setVisible(m_vertical->isEnabled());
    m_corner->setVisible(m_horizontal->isEnabled() && m_vertical->isEnabled());
}

void ViewerPane::toggleFit() {
    if (!m_details->isFit()) {
        m_details->setFit(true);
        return;
    }
    const QSignalBlocker quiet(m_details);
    m_details->setZoomScale(1);
    ApplyZoom();
}

void ViewerPane::scrollPictureHorizontally() {
    setImagePlace(m_imagePlace.translated(-m_horizontal->value() - m_imagePlace.x(), 0));
}

void ViewerPane::scrollPictureVertically() {
    setImagePlace(m_imagePlace.translated(0, -m_vertical->value() - m_imagePlace.y()));
}

void ViewerPane::showSelectedPicture(const QImage& picture) {
    ++m_pictures;
    if (m_history->isBrowsing()) { // shown when the user goes back to it
        m_livePicture = picture;
        return;
    }
    m_image->setPicture(picture);
    if (!picture.isNull() && !std::exchange(m_hasPicture, true))
        m_details->enablePictureActions(true);
    // a fit is of the picture shown: one of another size is measured again (a zoom keeps the
    // size measured at the selection)
    if (m_details->isFit() && !isHidden() && !picture.isNull())
        measure(picture.size());
    if (!m_fullScreen || !m_fullScreenView)
        return;
    m_fullScreenView->showIndicator(false);
    m_fullScreenView->showPicture(picture);
}

void ViewerPane::writeDetails(const CamDetails& details) {
    m_details->writeDetails(details);
}

void ViewerPane::setNextRefresh(const QString& text) {
    if (text.isEmpty())
        return;
    m_details->setNextRefresh(text);
}

void ViewerPane::setAge(const QString& text) {
    m_details->setAge(text);
}

void ViewerPane::setTime(const QString& text) {
    m_details->setTime(text);
}

void ViewerPane::showFullScreenIndicator(bool on) {
    if (m_fullScreen && m_fullScreenView)
        m_fullScreenView->showIndicator(on);
}

void ViewerPane::hideViewer() {
    ++m_pictures;
    editMask(false);
    hide();
    m_details->hide();
}

void ViewerPane::showAtOwnSize(const QImage& picture) {
    ++m_pictures;
    m_image->setPicture(picture);
    measure(picture.size());
    if (m_fullScreen && m_fullScreenView)
        m_fullScreenView->showPicture(picture);
}

void ViewerPane::measure(QSize pictureSize) {
    const int32_t width = PixelsToTwipsEven(pictureSize.width(), screenDotsPerInch());
    const int32_t height = PixelsToTwipsEven(pictureSize.height(), screenDotsPerInch());
    if (width != m_naturalWidth || height != m_naturalHeight) {
        m_naturalWidth = width;
        m_naturalHeight = height;
        ApplyZoom();
    }
}

QImage ViewerPane::picture() const {
    return m_image->picture();
}

void ViewerPane::openFullScreenView() {
    m_fullScreen = true;
    m_screenSaver.SetScreenSaverActive(false);
    if (!m_fullScreenView) {
        m_fullScreenView = new FullScreenView(this);
        connect(m_fullScreenView, &FullScreenView::unloaded, this, [this] {
            // however the view was closed: the flag goes and the screen saver comes back
            m_fullScreen = false;
            m_cycle->stop();
            m_screenSaver.SetScreenSaverActive(true);
        });
        connect(m_fullScreenView, &FullScreenView::stepRequested, this,
                &ViewerPane::stepCamRequested);
    }
    if (m_cycleSeconds > 0 && !m_cycle->isActive())
        m_cycle->start();
    m_fullScreenView->showPicture(m_image->picture());
    // over the whole screen, also where no window manager honours the full-screen request
    if (const QScreen* display = screen())
        m_fullScreenView->setGeometry(display->geometry());
    m_fullScreenView->showFullScreen();
    m_fullScreenView->raise();
    m_fullScreenView->activateWindow();
}

FullScreenView* ViewerPane::fullScreenView() const {
    return m_fullScreenView;
}

void ViewerPane::closeFullScreen() {
    if (m_fullScreenView)
        m_fullScreenView->close();
}
