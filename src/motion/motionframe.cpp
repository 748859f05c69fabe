#include "motion/motionframe.h"

#include <algorithm>

namespace {

// Up to this many samples a side in each part a frame pixel covers: enough to smooth JPEG noise
// away, and few enough to cost little on a large picture.
constexpr int samplesPerSide = 3;

// Where each frame pixel's part of a `source`-long side begins, the step between its samples
// and how many there are (1 to samplesPerSide).
struct Span {
    int begin, step, count;
};

std::vector<Span> spans(int source, int frame) {
    std::vector<Span> result(static_cast<size_t>(frame));
    for (int i = 0; i < frame; ++i) {
        const int begin = int(int64_t(i) * source / frame);
        const int end = std::max(begin + 1, int(int64_t(i + 1) * source / frame));
        const int step = std::max(1, (end - begin + samplesPerSide - 1) / samplesPerSide);
        result[size_t(i)] = {begin, step, (end - begin + step - 1) / step};
    }
    return result;
}

void addColourRow(const QRgb* line, const std::vector<Span>& columns, uint32_t* redBlue,
                  uint32_t* green) {
    for (const Span& column : columns) {
        const QRgb* p = line + column.begin;
        uint32_t rb = p[0] & 0x00FF00FFu, g = p[0] & 0x0000FF00u;
        for (int k = 1; k < column.count; ++k) {
            p += column.step;
            rb += p[0] & 0x00FF00FFu;
            g += p[0] & 0x0000FF00u;
        }
        *redBlue++ += rb;
        *green++ += g;
    }
}

void addGreyRow(const uchar* line, const std::vector<Span>& columns, uint32_t* sums) {
    for (const Span& column : columns) {
        uint32_t sum = 0;
        for (int k = 0; k < column.count; ++k)
            sum += line[column.begin + k * column.step];
        *sums++ += sum;
    }
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
    std::vector<uint8_t> pixels(size_t(size.width()) * size_t(size.height()));
    uint8_t* out = pixels.data();
    // red and blue summed side by side in one number, green in another (at most 9 samples a
    // pixel, so neither spills into the other)
    std::vector<uint32_t> redBlue(columns.size()), green(columns.size());
    for (const Span& row : spans(source.height(), size.height())) {
        std::fill(redBlue.begin(), redBlue.end(), 0);
        std::fill(green.begin(), green.end(), 0);
        for (int r = 0; r < row.count; ++r) {
            const uchar* line = source.constScanLine(row.begin + r * row.step);
            if (grey)
                addGreyRow(line, columns, green.data());
            else
                addColourRow(reinterpret_cast<const QRgb*>(line), columns, redBlue.data(),
                             green.data());
        }
        for (size_t c = 0; c < columns.size(); ++c) {
            const uint32_t count = uint32_t(columns[c].count * row.count);
            const uint32_t level = grey ? green[c] << 8
                                        : (redBlue[c] >> 16) * 77 + (green[c] >> 8) * 150 +
                                              (redBlue[c] & 0xFFFF) * 29; // BT.601, of 256
            *out++ = uint8_t((level + 128 * count) / (256 * count));
        }
    }
    return MotionFrame(size.width(), size.height(), std::move(pixels));
}
