#pragma once

#include <QImage>
#include <array>
#include <cstdint>

// A picture made very small and grey, enough to tell a dark picture and one nearly the same as
// another without looking at every pixel.
class PictureSketch {
  public:
    PictureSketch() = default;
    explicit PictureSketch(const QImage& picture);

    bool isNull() const { return m_null; }
    // The mean brightness, 0 (black) to 255 (white).
    int brightness() const;
    // The mean difference of brightness from `other`, 0 to 255.
    double differenceFrom(const PictureSketch& other) const;

    static constexpr int width = 16, height = 12;

  private:
    std::array<uint8_t, width * height> m_grey{};
    bool m_null = true;
};
