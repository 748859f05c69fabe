#include "app/windowplace.h"

#include "config/settings.h"

#include <QWidget>

namespace {

constexpr const char* section = "Window";

} // namespace

void SaveWindowPlace(SettingsStore& settings, const QString& productName, const QWidget& window) {
    settings.WriteUserSetting(productName, section, "geometry",
                              QString::fromLatin1(window.saveGeometry().toBase64()));
    settings.WriteUserSetting(productName, section, "maximized", window.isMaximized() ? "1" : "0");
}

bool RestoreWindowPlace(const SettingsStore& settings, const QString& productName,
                        QWidget& window) {
    const QByteArray geometry = QByteArray::fromBase64(
        settings.ReadUserSetting(productName, section, "geometry", {}).toLatin1());
    // a damaged value is passed over; Qt also moves a window back onto a screen it left
    if (geometry.isEmpty() || !window.restoreGeometry(geometry))
        return false;
    if (settings.ReadUserSetting(productName, section, "maximized", "0") == "1")
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    else
        window.setWindowState(window.windowState() & ~Qt::WindowMaximized);
    return true;
}
