#include "fetch/campanel.h"

#include "ui/imagecontrol.h"
#include "ui/progressbar.h"
#include "ui/widgetkit.h"

#include <QLabel>
#include <QToolButton>

namespace {

QString arrayName(const char* name, int index) {
    return QString("%1(%2)").arg(name).arg(index);
}

} // namespace

QRect CamPanel::designGeometryTwips(int index) {
    if (index == 24)
        return {-600, 24420, 1635, 1935};
    if (index == 25)
        return {1080, 24420, 1635, 1935};
    return {index % 2 == 0 ? 60 : 1740, 60 + 1980 * (index / 2), 1635, 1935};
}

CamPanel::CamPanel(int index, QWidget* parent) : QGroupBox(parent), m_index(index) {
    setObjectName(arrayName("Frame", index));
    setFont(designFont());
    setGeometryTwips(this, designGeometryTwips(index));
    setFrameCaption("[WebCam]");

    auto* area = new QWidget(this);
    area->setObjectName(arrayName("Picture2", index));
    setGeometryTwips(area, 180, 300, 1275, 915);
    area->setAutoFillBackground(true);
    auto* box = new ImageControl(area);
    box->setObjectName(arrayName("Picture3", index));
    box->setGeometry(area->rect());
    m_picture = new ImageControl(box);
    m_picture->setObjectName(arrayName("imgCam", index));
    setGeometryTwips(m_picture, -10, -10, 1275, 960);

    m_indicator = new ImageControl(this);
    m_indicator->setObjectName(arrayName("imgRefresh", index));
    setGeometryTwips(m_indicator, 660, 660, 315, 255);
    m_indicator->hide();

    m_progress = new ProgressBar(this);
    m_progress->setObjectName(arrayName("prgCam", index));
    setGeometryTwips(m_progress, 180, 1200, 1275, 135);

    QToolButton* refresh =
        makePictureButton(this, arrayName("cmdRefresh", index), {}, "Refresh now",
                          ":/pictures/refresh.png", ButtonFace::PictureOnly, 20);
    setGeometryTwips(refresh, 180, 1380, 495, 435);
    QToolButton* stop = makePictureButton(this, arrayName("cmdStop", index), {}, "Stop this cam",
                                          ":/pictures/stop.png", ButtonFace::PictureOnly, 20);
    setGeometryTwips(stop, 960, 1380, 495, 435);
    auto* scratch = new QLabel(this);
    scratch->setObjectName(arrayName("picTemp", index));
    setGeometryTwips(scratch, 720, 1500, 195, 195);

    connect(refresh, &QToolButton::clicked, this, &CamPanel::refreshClicked);
    connect(stop, &QToolButton::clicked, this, &CamPanel::stopClicked);
    connect(m_indicator, &ImageControl::clicked, this, &CamPanel::clicked);
    connect(m_picture, &ImageControl::clicked, this, &CamPanel::clicked);
    connect(box, &ImageControl::clicked, this, &CamPanel::clicked);
    hide();
}

void CamPanel::setFrameCaption(const QByteArray& caption) {
    m_caption = caption;
    setTitle(QString::fromLocal8Bit(caption));
}

void CamPanel::setIndicatorPicture(const QImage& picture) {
    m_indicator->setPicture(picture);
}

void CamPanel::showFetching(bool on) {
    m_indicator->setVisible(on);
    if (on)
        m_indicator->raise();
}

bool CamPanel::isFetching() const {
    return !m_indicator->isHidden();
}

void CamPanel::showProgress(float percent) {
    m_progress->setExactValue(percent);
}

float CamPanel::progress() const {
    return m_progress->exactValue();
}

void CamPanel::showPicture(const QImage& shown, const QByteArray& fileBytes) {
    m_picture->setCompactPicture(shown, fileBytes);
}

void CamPanel::showPlainPicture(const QImage& picture) {
    m_picture->setPicture(picture);
}

void CamPanel::clearPicture() {
    m_picture->setPicture(QImage());
}

QImage CamPanel::picture() const {
    return m_picture->picture();
}

QSize CamPanel::pictureSize() const {
    return m_picture->size();
}
