#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

// A picture made small and grey for the motion test: at most `longSide` pixels on its long side,
// keeping the picture's proportions. Each pixel is the mean brightness (0 to 255) of the part of
// the picture it covers, so JPEG noise and single-pixel specks weigh little.
class MotionFrame {
  public:
    static constexpr int longSide = 96;

    MotionFrame() = default;
    // `grey` holds width x height pixels, row by row; a wrong count gives a null frame.
    MotionFrame(int width, int height, std::vector<uint8_t> grey);

    bool isNull() const { return m_grey.empty(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int pixelCount() const { return int(m_grey.size()); }
    const uint8_t* constData() const { return m_grey.data(); }
    uint8_t at(int x, int y) const { return m_grey[size_t(y * m_width + x)]; }

  private:
    int m_width = 0, m_height = 0;
    std::vector<uint8_t> m_grey;
};

// The motion frame of a decoded picture. Reads at most a few pixels of each part the frame's
// pixels cover, so its cost hardly grows with the picture's size. Safe on any thread; a null
// picture gives a null frame.
MotionFrame MakeMotionFrame(const QImage& picture);
