#pragma once

#include <cstdint>

// Twips on this screen: the design's lengths converted with the primary screen's logical
// resolution.

// The primary screen's logical dots per inch (96 when there is no screen).
double screenDotsPerInch();
int tw(int twips);           // twips to pixels on this screen
int32_t twipsOf(int pixels); // pixels to twips on this screen
