#include "imagecontrol.h"

#include <QMouseEvent>
#include <QPainter>

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {}

void ImageControl::setPicture(const QImage& picture) {
    current = picture;
    update();
}

void ImageControl::setStretch(bool on) {
    stretching = on;
    update();
}

void ImageControl::paintEvent(QPaintEvent*) {
    if (current.isNull())
        return;
    QPainter painter(this);
    if (stretching) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), current);
    } else {
        painter.drawImage(0, 0, current);
    }
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
