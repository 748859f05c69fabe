#include "motion/motionframe.h"

#include <algorithm>

namespace {

// Up to this many samples a side in each part a frame pixel covers: enough to smooth JPEG noise
// away, and few enough to cost little on a large picture.
constexpr int samplesPerSide = 3;

// Where each frame pixel's part of a `source`-long side begins, and the step between samples.
struct Span {
    int begin, end, step;
};

std::vector<Span> spans(int source, int frame) {
    std::vector<Span> result(static_cast<size_t>(frame));
    for (int i = 0; i < frame; ++i) {
        const int begin = int(int64_t(i) * source / frame);
        const int end = std::max(begin + 1, int(int64_t(i + 1) * source / frame));
        result[size_t(i)] = {begin, end,
                             std::max(1, (end - begin + samplesPerSide - 1) / samplesPerSide)};
    }
    return result;
}

inline int greyOf(QRgb pixel) {
    // ITU-R BT.601 weights out of 256
    return (qRed(pixel) * 77 + qGreen(pixel) * 150 + qBlue(pixel) * 29) >> 8;
}

QImage readableSource(const QImage& picture, QSize frame) {
    switch (picture.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_Grayscale8:
        return picture;
    default:
        // rare (PNG and GIF cams): shrink before converting, so a large picture costs little
        const QImage smaller = picture.width() > frame.width() * samplesPerSide
                                   ? picture.scaled(frame * samplesPerSide, Qt::IgnoreAspectRatio,
                                                    Qt::FastTransformation)
                                   : picture;
        return smaller.convertToFormat(QImage::Format_RGB32);
    }
}

} // namespace

MotionFrame::MotionFrame(int width, int height, std::vector<uint8_t> grey) {
    if (width <= 0 || height <= 0 || grey.size() != size_t(width) * size_t(height))
        return;
    m_width = width;
    m_height = height;
    m_grey = std::move(grey);
}

MotionFrame MakeMotionFrame(const QImage& picture) {
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        return {};
    const int w = picture.width(), h = picture.height();
    QSize size = w >= h ? QSize(std::min(w, MotionFrame::longSide),
                                int((int64_t(h) * std::min(w, MotionFrame::longSide) + w / 2) / w))
                        : QSize(int((int64_t(w) * std::min(h, MotionFrame::longSide) + h / 2) / h),
                                std::min(h, MotionFrame::longSide));
    size = size.expandedTo(QSize(1, 1));
    const QImage source = readableSource(picture, size);
    if (source.isNull())
        return {};
    const bool grey = source.format() == QImage::Format_Grayscale8;
    const std::vector<Span> columns = spans(source.width(), size.width());
    const std::vector<Span> rows = spans(source.height(), size.height());
    std::vector<uint8_t> pixels(size_t(size.width()) * size_t(size.height()));
    uint8_t* out = pixels.data();
    for (const Span& row : rows)
        for (const Span& column : columns) {
            int sum = 0, count = 0;
            for (int y = row.begin; y < row.end; y += row.step) {
                const uchar* line = source.constScanLine(y);
                if (grey) {
                    for (int x = column.begin; x < column.end; x += column.step)
                        sum += line[x], ++count;
                } else {
                    const auto* rgb = reinterpret_cast<const QRgb*>(line);
                    for (int x = column.begin; x < column.end; x += column.step)
                        sum += greyOf(rgb[x]), ++count;
                }
            }
            *out++ = uint8_t((sum + count / 2) / count);
        }
    return MotionFrame(size.width(), size.height(), std::move(pixels));
}
