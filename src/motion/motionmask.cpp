#include "motion/motionmask.h"

#include <QStringList>
#include <cmath>

namespace {

const QString textStart = QStringLiteral("32x24:");

} // namespace

bool MotionMask::isMasked(int column, int row) const {
    if (column < 0 || column >= columns || row < 0 || row >= rows)
        return false;
    return m_cells[size_t(row * columns + column)];
}

void MotionMask::setMasked(int column, int row, bool masked) {
    if (column < 0 || column >= columns || row < 0 || row >= rows)
        return;
    m_cells[size_t(row * columns + column)] = masked;
}

void MotionMask::setMasked(const QRect& cells, bool masked) {
    const QRect clipped = cells.intersected(QRect(0, 0, columns, rows));
    for (int row = clipped.top(); row <= clipped.bottom(); ++row)
        for (int column = clipped.left(); column <= clipped.right(); ++column)
            setMasked(column, row, masked);
}

QRect MotionMask::cellsOf(const QRectF& area) {
    const QRectF normal = area.normalized().intersected(QRectF(0, 0, 1, 1));
    if (normal.isEmpty())
        return {};
    const int left = int(std::floor(normal.left() * columns));
    const int top = int(std::floor(normal.top() * rows));
    const int right = int(std::ceil(normal.right() * columns)) - 1;
    const int bottom = int(std::ceil(normal.bottom() * rows)) - 1;
    return QRect(QPoint(left, top),
                 QPoint(std::min(right, columns - 1), std::min(bottom, rows - 1)));
}

std::vector<uint8_t> MotionMask::watchedPixels(int width, int height) const {
    if (width <= 0 || height <= 0)
        return {};
    std::vector<uint8_t> watched(size_t(width) * size_t(height), 1);
    if (isEmpty())
        return watched;
    for (int y = 0; y < height; ++y) {
        const int row = int((int64_t(2 * y + 1) * rows) / (2 * int64_t(height)));
        for (int x = 0; x < width; ++x) {
            const int column = int((int64_t(2 * x + 1) * columns) / (2 * int64_t(width)));
            watched[size_t(y * width + x)] = isMasked(column, row) ? 0 : 1;
        }
    }
    return watched;
}

QString MotionMask::toText() const {
    if (isEmpty())
        return {};
    QStringList runs;
    bool masked = false;
    int run = 0;
    for (size_t i = 0; i < m_cells.size(); ++i) {
        if (m_cells[i] != masked) {
            runs << QString::number(run);
            masked = !masked;
            run = 0;
        }
        ++run;
    }
    runs << QString::number(run);
    return textStart + runs.join(',');
}

MotionMask MotionMask::fromText(const QString& text) {
    if (!text.startsWith(textStart))
        return {};
    const QStringList runs = text.mid(textStart.size()).split(',');
    if (runs.size() > columns * rows + 1)
        return {};
    MotionMask mask;
    size_t cell = 0;
    bool masked = false;
    for (const QString& runText : runs) {
        bool number = false;
        const int run = runText.toInt(&number);
        if (!number || run < 0 || size_t(run) > mask.m_cells.size() - cell)
            return {};
        for (int i = 0; i < run; ++i)
            mask.m_cells[cell++] = masked;
        masked = !masked;
    }
    return cell == mask.m_cells.size() ? mask : MotionMask();
}
