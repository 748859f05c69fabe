#include "ui/imagecontrol.h"

#include <QMouseEvent>
#include <QPainter>

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {}

void ImageControl::setPicture(const QImage& picture) {
    full = picture;
    encoded.clear();
    scaled = QImage();
    coverWhenStretched();
    update();
}

void ImageControl::coverWhenStretched() {
    // A stretched picture covers the whole control: what lies under it need not be painted.
    setAttribute(Qt::WA_OpaquePaintEvent, stretching && hasPicture());
}

void ImageControl::setCompactPicture(const QImage& shown, const QByteArray& fileBytes) {
    full = QImage();
    encoded = fileBytes;
    scaled = shown; // made at the control's size by whoever decoded it
    coverWhenStretched();
    update();
}

void ImageControl::setStretch(bool on) {
    stretching = on;
    coverWhenStretched();
    update();
}

void ImageControl::paintEvent(QPaintEvent* event) {
    if (!hasPicture() || size().isEmpty())
        return;
    QPainter painter(this);
    if (!stretching) {
        painter.drawImage(0, 0, picture());
        return;
    }
    if (full.isNull()) {
        // a compact picture: its copy, stretched when the control changed size since
        painter.drawImage(rect(), scaled);
        return;
    }
    if (width() > full.width() || height() > full.height()) {
        // Shown larger than it is (the viewer, zoomed in): only the part that shows is drawn,
        // scaled as it is drawn; a whole scaled copy could take hundreds of megabytes.
        const QRectF target = event->rect();
        const double xScale = double(full.width()) / width();
        const double yScale = double(full.height()) / height();
        const QRectF source(target.x() * xScale, target.y() * yScale, target.width() * xScale,
                            target.height() * yScale);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, full, source);
        return;
    }
    if (scaled.size() != size()) {
        // shown smaller: scaled once, not at every paint
        scaled = full.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    painter.drawImage(0, 0, scaled);
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
