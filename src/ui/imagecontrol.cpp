#include "ui/imagecontrol.h"

#include <QMouseEvent>
#include <QPainter>

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {}

void ImageControl::setPicture(const QImage& picture) {
    full = picture;
    encoded.clear();
    scaled = QImage();
    update();
}

void ImageControl::setCompactPicture(const QImage& decoded, const QByteArray& fileBytes) {
    full = QImage();
    encoded = fileBytes;
    if (decoded.isNull() || size().isEmpty())
        scaled = QImage();
    else if (decoded.size() == size())
        scaled = decoded;
    else
        scaled = decoded.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    update();
}

QImage ImageControl::picture() const {
    return full.isNull() && !encoded.isEmpty() ? QImage::fromData(encoded) : full;
}

void ImageControl::setStretch(bool on) {
    stretching = on;
    update();
}

void ImageControl::paintEvent(QPaintEvent*) {
    if (!hasPicture())
        return;
    QPainter painter(this);
    if (!stretching) {
        painter.drawImage(0, 0, picture());
        return;
    }
    if (scaled.size() != size() && !size().isEmpty()) {
        // large pictures are scaled once, not at every paint
        scaled = picture().scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    painter.drawImage(0, 0, scaled);
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
