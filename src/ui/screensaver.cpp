#include "ui/screensaver.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

ScreenSaverSwitch::~ScreenSaverSwitch() {
    if (inhibited)
        SetScreenSaverActive(true);
}

bool ScreenSaverSwitch::SetScreenSaverActive(bool active) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusInterface service("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                           "org.freedesktop.ScreenSaver", bus);
    if (!service.isValid())
        return false;
    if (!active) {
        if (inhibited)
            return true;
        const QDBusReply<quint32> reply = service.call(
            "Inhibit", QStringLiteral("dunmoral"),
            QCoreApplication::translate("ScreenSaver", "Full-screen view of a webcam"));
        if (!reply.isValid())
            return false;
        cookie = reply.value();
        inhibited = true;
        return true;
    }
    if (!inhibited)
        return true;
    inhibited = false;
    return service.call("UnInhibit", cookie).type() != QDBusMessage::ErrorMessage;
}
