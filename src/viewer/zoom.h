#pragma once

#include <cstdint>
#include <optional>

// How the viewer's picture is sized and scrolled for a zoom factor, in twips. A scroll bar is
// enabled only when the zoomed picture is strictly larger than the usable part of the viewport;
// its maximum is the overhang, over the full range so every part can be reached.
struct ZoomLayout {
    int32_t imageWidth = 0, imageHeight = 0;
    bool horizontalEnabled = false, verticalEnabled = false;
    int32_t horizontalMaximum = 0, verticalMaximum = 0;
};

// The whole picture in an area, its proportions kept, centred; `percent` of its natural size.
struct FitLayout {
    int32_t left = 0, top = 0, width = 1, height = 1;
    int percent = 100;
};
FitLayout ComputeFit(int32_t naturalWidth, int32_t naturalHeight, int32_t areaWidth,
                     int32_t areaHeight);

// Nothing when factor x natural size does not fit in 32 bits. The factor may lie between whole
// ones (the wheel's smooth steps); sizes are rounded to the nearest twip.
std::optional<ZoomLayout> ComputeZoom(double factor, int32_t naturalWidth, int32_t naturalHeight,
                                      int32_t viewportWidth, int32_t verticalBarWidth,
                                      int32_t viewportHeight, int32_t horizontalBarHeight);
