#include "motion/brightnessshift.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// A band's median is trusted when the band holds this share of the watched pixels: something
// moving that covers half of it is then large enough to be seen in any case.
constexpr double leastBandShare = 0.06;
// A curve's slope beyond the outermost bands keeps to what exposure can do.
constexpr float leastSlope = 0.2f, mostSlope = 5.0f;

int medianOf(const int* counts, int total) {
    int seen = 0;
    for (int i = 0; i < 511; ++i) {
        seen += counts[i];
        if (2 * seen >= total)
            return i - 255;
    }
    return 0;
}

} // namespace

void BrightnessShift::learn(const float* background, const uint8_t* frame, const uint8_t* watched,
                            int count) {
    std::fill(m_moves.begin(), m_moves.end(), 0);
    std::array<int, 256> atLevel{};
    for (int i = 0; i < count; ++i) {
        if (!watched[i])
            continue;
        const int level = int(background[i] + 0.5f); // the background keeps within 0 to 255
        ++m_moves[std::size_t((level / bandWidth) * 511 + int(frame[i]) - level + 255)];
        ++atLevel[std::size_t(level)];
    }
    const int total = std::accumulate(atLevel.begin(), atLevel.end(), 0);
    std::array<float, bands> x{}, y{};
    int points = 0;
    for (int band = 0; band < bands; ++band) {
        int n = 0;
        int64_t levels = 0;
        for (int level = band * bandWidth; level < (band + 1) * bandWidth; ++level) {
            n += atLevel[std::size_t(level)];
            levels += int64_t(level) * atLevel[std::size_t(level)];
        }
        if (n < 4 || n < total * leastBandShare)
            continue;
        x[std::size_t(points)] = float(double(levels) / n);
        y[std::size_t(points)] =
            x[std::size_t(points)] + float(medianOf(&m_moves[std::size_t(band * 511)], n));
        ++points;
    }
    joinPoints(x.data(), y.data(), points);
    double moved = 0;
    for (int level = 0; level < 256; ++level)
        moved += atLevel[std::size_t(level)] * std::abs(m_curve[std::size_t(level)] - float(level));
    m_meanMove = total > 0 ? float(moved / total) : 0.f;
}

void BrightnessShift::joinPoints(const float* x, const float* y, int points) {
    for (int level = 0; level < 256; ++level) {
        const float at = float(level);
        float value = at;
        if (points == 1) {
            value = at + y[0] - x[0];
        } else if (points > 1) {
            // the segment over `at`, or the outermost one beyond the ends
            int segment = 0;
            while (segment < points - 2 && at > x[segment + 1])
                ++segment;
            const float run = std::max(x[segment + 1] - x[segment], 1.f);
            const float slope = (y[segment + 1] - y[segment]) / run;
            if (at < x[0])
                value = y[0] + (at - x[0]) * std::clamp(slope, leastSlope, mostSlope);
            else if (at > x[points - 1])
                value =
                    y[points - 1] + (at - x[points - 1]) * std::clamp(slope, leastSlope, mostSlope);
            else
                value = y[segment] + (at - x[segment]) * slope;
        }
        m_curve[std::size_t(level)] = std::clamp(value, 0.f, 255.f);
    }
}
