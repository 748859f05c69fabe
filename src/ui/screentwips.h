#pragma once

#include <cstdint>

// Twips on this screen: the design's lengths converted with the primary screen's logical
// resolution.

// The primary screen's logical dots per inch (96 when there is no screen), times the desktop
// font's scale: the design's sizes were made for a 9-point font and grow with a larger one.
double screenDotsPerInch();
// How much larger than 9 points the desktop's font is (1 at 9 points or less).
double desktopFontScale();
int tw(int twips);           // twips to pixels on this screen
int32_t twipsOf(int pixels); // pixels to twips on this screen
