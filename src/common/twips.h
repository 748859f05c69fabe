#pragma once

#include <cstdint>

// Window geometry is designed in twips (1440 to the inch, 15 to a pixel at 96 dots per inch)
// and converted with the screen's logical resolution.
inline constexpr int twipsPerInch = 1440;

int twipsToPixels(int twips, double dotsPerInch);
int pixelsToTwips(int pixels, double dotsPerInch);
// A length in pixels as whole twips at the given resolution, ties to even.
int32_t PixelsToTwipsEven(int pixels, double dotsPerInch);
