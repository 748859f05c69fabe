#include "config/desktopnotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

void DesktopNotifier::notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                       "/org/freedesktop/Notifications",
                                                       "org.freedesktop.Notifications", "Notify");
    // application, replaces id, icon, summary, body, actions, hints, timeout (the server's)
    call << m_application << uint(0) << QString("camera-web") << summary << body << QStringList()
         << QVariantMap() << int(-1);
    bus.send(call); // an error answer, as from a missing service, goes nowhere
}
