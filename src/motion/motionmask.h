#pragma once

#include <QRect>
#include <QRectF>
#include <QString>
#include <bitset>
#include <cstdint>
#include <vector>

// The parts of a cam's picture the motion test ignores (a time overlay, a tree, a road): cells of
// a grid laid over the picture in its own proportions, whatever its size.
class MotionMask {
  public:
    static constexpr int columns = 32, rows = 24;

    bool isEmpty() const { return m_cells.none(); }
    int maskedCount() const { return int(m_cells.count()); }
    bool isMasked(int column, int row) const;
    void setMasked(int column, int row, bool masked);
    // Masks (or frees) the cells, clipped to the grid.
    void setMasked(const QRect& cells, bool masked);

    // The cells any part of which lies in `area`, given as shares of the picture (0 to 1 across
    // and down): a rectangle drawn over the picture as the viewer shows it.
    static QRect cellsOf(const QRectF& area);

    // Which pixels of a `width` x `height` frame are watched (1) or masked (0), each by the
    // cell its centre lies in.
    std::vector<uint8_t> watchedPixels(int width, int height) const;

    // A short text for the settings: "32x24:" then the lengths of the runs of free and masked
    // cells, row by row, starting with free ones ("32x24:0,8,24,8,728" masks the top-left 8 x 2
    // cells). No mask is the empty text; a damaged text reads as no mask.
    QString toText() const;
    static MotionMask fromText(const QString& text);

    bool operator==(const MotionMask&) const = default;

  private:
    std::bitset<columns * rows> m_cells;
};
