#include "photolike.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <random>

QImage makePhotoLikePicture(int width, int height, unsigned seed) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(0.55, QColor(200, 210, 230));
    sky.setColorAt(1, QColor(90, 110, 70));
    painter.fillRect(image.rect(), sky);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 40; ++i) { // buildings
        const double x = unit(random) * width, w = (0.02 + unit(random) * 0.08) * width;
        const double h = (0.1 + unit(random) * 0.35) * height;
        painter.fillRect(
            QRectF(x, height * 0.75 - h, w, h),
            QColor::fromHsv(int(unit(random) * 360), 40, 60 + int(unit(random) * 150)));
        for (int k = 0; k < 30; ++k) // windows
            painter.fillRect(QRectF(x + unit(random) * w, height * 0.75 - unit(random) * h,
                                    width / 300.0 + 1, height / 200.0 + 1),
                             QColor(250, 230, 150));
    }
    QPainterPath hill;
    hill.moveTo(0, height * 0.8);
    hill.cubicTo(width * 0.3, height * 0.7, width * 0.6, height * 0.9, width, height * 0.78);
    hill.lineTo(width, height);
    hill.lineTo(0, height);
    painter.fillPath(hill, QColor(60, 90, 50));
    painter.end();
    // sensor noise
    std::normal_distribution<double> noise(0, 6);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            auto clamp = [](double v) { return std::clamp(int(v), 0, 255); };
            const double n = noise(random);
            row[x] =
                qRgb(clamp(qRed(row[x]) + n), clamp(qGreen(row[x]) + n), clamp(qBlue(row[x]) + n));
        }
    }
    return image;
}
