#include "ui/screentwips.h"

#include "common/twips.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>

double desktopFontScale() {
    const double points = QGuiApplication::font().pointSizeF();
    return points > 9.0 ? points / 9.0 : 1.0;
}

double screenDotsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return (dpi > 0 ? dpi : 96.0) * desktopFontScale();
}

int tw(int twips) {
    return twipsToPixels(twips, screenDotsPerInch());
}

int32_t twipsOf(int pixels) {
    return pixelsToTwips(pixels, screenDotsPerInch());
}
