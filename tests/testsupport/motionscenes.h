#pragma once

#include "photolike.h"
#include "pictures.h"

#include <QFont>
#include <QPainter>
#include <QTime>
#include <algorithm>
#include <random>

// Short sequences of a cam's pictures for the motion tests: a photo-like scene with a figure
// crossing it, a car that parks, snow, rain, noise, a brightness ramp, lights switched on, a
// night-mode switch, a time overlay.
inline constexpr int pictures = 32;

// Picture `n` of a sequence of the kind named.
inline QImage scene(const QString& kind, int n, std::mt19937& random) {
    static const QImage base = makePhotoLikePicture(640, 360, 11);
    QImage picture = base.copy();
    QPainter painter(&picture);
    const bool crossing = kind.contains("crossing");
    if ((crossing && n >= 10 && n <= 24) || kind == "inside mask") { // a figure walking
        const int x = crossing ? 20 + (n - 10) * 40 : 10 + (n % 6) * 20;
        painter.setBrush(QColor(50, 35, 30));
        painter.drawEllipse(x + 12, 170, 36, 36);
        painter.fillRect(x, 205, 60, 110, QColor(140, 40, 40));
    }
    if (kind == "parks" && n >= 10) // drives in and stops at picture 15
        painter.fillRect(std::max(100, 600 - (n - 10) * 100), 200, 150, 100, QColor(30, 30, 200));
    std::uniform_real_distribution<double> unit(0, 1);
    for (int flake = 0; kind == "snow" && flake < 700; ++flake) {
        painter.setBrush(Qt::white);
        const double r = 1 + 2 * unit(random);
        painter.drawEllipse(QPointF(640 * unit(random), 360 * unit(random)), r, r);
    }
    painter.setPen(QPen(QColor(200, 200, 210), 1));
    for (int drop = 0; kind == "rain" && drop < 300; ++drop) {
        const QPointF at(640 * unit(random), 360 * unit(random));
        painter.drawLine(at, at + QPointF(3, 14));
    }
    if (kind.startsWith("clock")) { // a cam's time overlay, a minute on each picture
        painter.fillRect(0, 0, 380, 70, Qt::black);
        painter.setPen(Qt::white);
        painter.setFont(QFont("DejaVu Sans", 40, QFont::Bold));
        painter.drawText(10, 60, QTime(9, 0).addSecs(n * 67).toString("hh:mm:ss"));
    }
    painter.end();
    const bool lit = n >= 15;
    const double gain = kind == "ramp"                ? 1 - 0.5 * n / pictures
                        : kind == "lights on" && lit  ? 1.7
                        : kind == "night mode" && lit ? 0.6
                                                      : 1;
    const double offset = kind == "lights on" && lit ? 20 : kind == "night mode" && lit ? 50 : 0;
    const bool grey = kind == "night mode" && lit;
    std::normal_distribution<double> noise(0, kind == "noise" ? 14 : grey ? 8 : 3);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = grey ? qRgb(qGray(row[x]), qGray(row[x]), qGray(row[x])) : row[x];
            const double n = noise(random);
            auto level = [&](int c) { return std::clamp(int(c * gain + offset + n), 0, 255); };
            row[x] = qRgb(level(qRed(p)), level(qGreen(p)), level(qBlue(p)));
        }
    }
    return picture;
}

// As a cam sends it and a panel decodes it.
inline QByteArray camJpeg(const QImage& picture) {
    return encodedPicture(picture, "JPEG", 75);
}
