#include "viewer/zoom.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

std::optional<int32_t> product(double a, int32_t b) {
    const double value = std::nearbyint(a * double(b));
    if (!(value <= std::numeric_limits<int32_t>::max() &&
          value >= std::numeric_limits<int32_t>::min()))
        return std::nullopt;
    return int32_t(value);
}

} // namespace

std::optional<ZoomLayout> ComputeZoom(double factor, int32_t naturalWidth, int32_t naturalHeight,
                                      int32_t viewportWidth, int32_t verticalBarWidth,
                                      int32_t viewportHeight, int32_t horizontalBarHeight) {
    const std::optional<int32_t> width = product(factor, naturalWidth);
    const std::optional<int32_t> height = product(factor, naturalHeight);
    if (!width || !height)
        return std::nullopt;
    ZoomLayout zoom;
    zoom.imageWidth = *width;
    zoom.imageHeight = *height;
    const float usableWidth = float(viewportWidth - verticalBarWidth);
    const float usableHeight = float(viewportHeight - horizontalBarHeight);
    if (float(zoom.imageWidth) > usableWidth) {
        zoom.horizontalEnabled = true;
        zoom.horizontalMaximum = int32_t(std::nearbyint(float(zoom.imageWidth) - usableWidth));
    }
    if (float(zoom.imageHeight) > usableHeight) {
        zoom.verticalEnabled = true;
        zoom.verticalMaximum = int32_t(std::nearbyint(float(zoom.imageHeight) - usableHeight));
    }
    return zoom;
}

FitLayout ComputeFit(int32_t naturalWidth, int32_t naturalHeight, int32_t areaWidth,
                     int32_t areaHeight) {
    FitLayout fit;
    if (naturalWidth <= 0 || naturalHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return fit;
    // the side that meets the area first sets the scale; the other keeps the proportions
    const double scale =
        std::min(double(areaWidth) / naturalWidth, double(areaHeight) / naturalHeight);
    fit.width = std::clamp(int32_t(std::lround(naturalWidth * scale)), 1, areaWidth);
    fit.height = std::clamp(int32_t(std::lround(naturalHeight * scale)), 1, areaHeight);
    fit.left = (areaWidth - fit.width) / 2;
    fit.top = (areaHeight - fit.height) / 2;
    fit.percent = std::max(1, int(std::lround(scale * 100)));
    return fit;
}
