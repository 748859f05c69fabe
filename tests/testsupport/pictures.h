#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <cstdlib>

// Picture files made on the spot for tests.

inline QByteArray encodedPicture(const QImage& image, const char* format, int quality = -1,
                                 bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

inline QImage filledPicture(QColor colour, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

inline QByteArray jpegOf(QColor colour, int width = 40, int height = 30) {
    return encodedPicture(filledPicture(colour, width, height), "JPEG", 95);
}

inline QByteArray pngOf(QColor colour, int width = 20, int height = 10) {
    return encodedPicture(filledPicture(colour, width, height), "PNG");
}

// A one-pixel GIF, written out by hand (the toolkit writes no GIF).
inline const QByteArray tinyGif = QByteArray::fromHex("474946383961010001008000"
                                                      "00ffffff000000"
                                                      "2c000000000100010000020244010"
                                                      "03b");

// Whether a pixel has about the colour asked for (pictures pass through lossy JPEG).
inline bool sameColour(QRgb pixel, QColor colour, int tolerance = 12) {
    return std::abs(qRed(pixel) - colour.red()) < tolerance &&
           std::abs(qGreen(pixel) - colour.green()) < tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) < tolerance;
}
