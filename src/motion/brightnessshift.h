#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// How the whole picture's brightness moved between the background and a new picture: the
// median change of each band of background brightness, joined into a curve. Auto-exposure,
// clouds, lights switched on and a night-mode switch move every part of the picture alike (the
// dark parts one way, the bright ones another), which the curve follows; something moving
// covers too little of any band to move its median.
class BrightnessShift {
  public:
    // Learns the curve from the watched pixels (`watched` 1) of a background and a frame of
    // `count` pixels.
    void learn(const float* background, const uint8_t* frame, const uint8_t* watched, int count);

    // The background brightness `level` (0 to 255) as the new picture shows it.
    float apply(float level) const {
        const int low = std::min(int(level), 254);
        const float part = level - float(low);
        return m_curve[std::size_t(low)] +
               (m_curve[std::size_t(low) + 1] - m_curve[std::size_t(low)]) * part;
    }

    // The mean move of the watched pixels' brightness, in grey levels.
    float meanMove() const { return m_meanMove; }

  private:
    static constexpr int bands = 8, bandWidth = 256 / bands;
    // moves from -255 to 255, counted per band
    std::vector<int> m_moves = std::vector<int>(std::size_t(bands) * 511);
    std::array<float, 256> m_curve{};
    float m_meanMove = 0;

    void joinPoints(const float* x, const float* y, int points);
};
