#include "ui/screentwips.h"

#include "common/twips.h"

#include <QGuiApplication>
#include <QScreen>

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
