#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

int twipsToPixels(int twips, double dotsPerInch) {
    return int(std::lround(double(twips) * dotsPerInch / twipsPerInch));
}

int pixelsToTwips(int pixels, double dotsPerInch) {
    return int(std::lround(double(pixels) * twipsPerInch / dotsPerInch));
}

double screenDotsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

int tw(int twips) {
    return twipsToPixels(twips, screenDotsPerInch());
}

void setGeometryTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(tw(left), tw(top), tw(width), tw(height));
}
