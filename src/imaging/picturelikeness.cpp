#include "imaging/picturelikeness.h"

#include <cstdlib>
#include <numeric>

PictureSketch::PictureSketch(const QImage& picture) {
    if (picture.isNull())
        return;
    // smoothed down first, so noise and a clock's digits weigh little
    const QImage small =
        picture.convertToFormat(QImage::Format_Grayscale8)
            .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            m_grey[size_t(y * width + x)] = small.constScanLine(y)[x];
    m_null = false;
}

int PictureSketch::brightness() const {
    return std::accumulate(m_grey.begin(), m_grey.end(), 0) / int(m_grey.size());
}

double PictureSketch::differenceFrom(const PictureSketch& other) const {
    int total = 0;
    for (size_t i = 0; i < m_grey.size(); ++i)
        total += std::abs(int(m_grey[i]) - int(other.m_grey[i]));
    return double(total) / double(m_grey.size());
}
