#include "common/twips.h"

#include <cmath>

int twipsToPixels(int twips, double dotsPerInch) {
    return int(std::lround(double(twips) * dotsPerInch / twipsPerInch));
}

int pixelsToTwips(int pixels, double dotsPerInch) {
    return int(std::lround(double(pixels) * twipsPerInch / dotsPerInch));
}

int32_t PixelsToTwipsEven(int pixels, double dotsPerInch) {
    return int32_t(std::nearbyint(double(pixels) * twipsPerInch / dotsPerInch));
}
