#include "viewer/fullscreenview.h"

#include "ui/imagecontrol.h"
#include "ui/widgetkit.h"
#include "viewer/zoom.h"

#include <QKeyEvent>

FullScreenView::FullScreenView(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setObjectName("Form6");
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    m_picture = new ImageControl(this);
    m_picture->setObjectName("Image1");
    m_picture->setGeometry(rect());
    m_indicator = new ImageControl(this);
    m_indicator->setObjectName("picrefresh");
    m_indicator->setPicture(QImage(":/pictures/fullscreen-refresh.png"));
    m_indicator->setStretch(true);
    setGeometryTwips(m_indicator, 0, 0, 720, 720);
    m_indicator->hide();
    connect(m_picture, &ImageControl::clicked, this, &FullScreenView::closeByClick);
}

void FullScreenView::showPicture(const QImage& picture) {
    m_picture->setStretch(true);
    m_picture->setPicture(picture);
    placePicture();
}

void FullScreenView::placePicture() {
    const QSize own = m_picture->picture().size();
    if (own.isEmpty()) {
        m_picture->setGeometry(rect());
        return;
    }
    const FitLayout fit = ComputeFit(own.width(), own.height(), width(), height());
    m_picture->setGeometry(fit.left, fit.top, fit.width, fit.height);
}

QImage FullScreenView::picture() const {
    return m_picture->picture();
}

void FullScreenView::showIndicator(bool on) {
    m_indicator->setVisible(on);
}

bool FullScreenView::isIndicatorShown() const {
    return m_indicator->isVisible();
}

void FullScreenView::closeByClick() {
    close();
}

void FullScreenView::resizeEvent(QResizeEvent*) {
    placePicture();
}

void FullScreenView::mousePressEvent(QMouseEvent*) {
    close(); // a click on a bar beside the picture closes the view as one on the picture does
}

void FullScreenView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        close();
    else if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)
        emit stepRequested(event->key() == Qt::Key_Left ? -1 : 1);
    else
        QWidget::keyPressEvent(event);
}

void FullScreenView::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit unloaded();
}
