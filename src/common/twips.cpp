#include "common/twips.h"

#include <QGuiApplication>
#include <QScreen>
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

double screenDotsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

int tw(int twips) {
    return twipsToPixels(twips, screenDotsPerInch());
}

int32_t twipsOf(int pixels) {
    return pixelsToTwips(pixels, screenDotsPerInch());
}
