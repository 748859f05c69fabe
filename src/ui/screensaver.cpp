#include "ui/screensaver.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString screenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
constexpr quint32 idleFlag = 8;    // the portal's "session goes idle"
constexpr int answerWithin = 5000; // milliseconds; a service that says nothing counts as none

QString reason() {
    return QCoreApplication::translate("ScreenSaver", "Full-screen view of a webcam");
}

} // namespace

ScreenSaverSwitch::ScreenSaverSwitch(QObject* parent) : QObject(parent) {}

ScreenSaverSwitch::~ScreenSaverSwitch() {
    // A request still on its way is let go with the connection: both services end a hold when
    // its owner leaves the bus.
    release();
}

void ScreenSaverSwitch::SetScreenSaverActive(bool active) {
    m_wanted = !active;
    if (m_asking)
        return; // the answer looks at what is wanted by then
    if (m_wanted && m_held == Held::Nothing)
        askPortal();
    else if (!m_wanted)
        release();
}

void ScreenSaverSwitch::ask(const QDBusMessage& call,
                            void (ScreenSaverSwitch::*answered)(const QDBusMessage&)) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) { // no session bus: nobody answers, now
        (this->*answered)(QDBusMessage::createError(QDBusError::Disconnected, {}));
        return;
    }
    m_asking = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, answerWithin), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, answered](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                m_asking = false;
                (this->*answered)(finished->reply());
            });
}

void ScreenSaverSwitch::askPortal() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(portalService, "/org/freedesktop/portal/desktop",
                                       "org.freedesktop.portal.Inhibit", "Inhibit");
    // no window identifier: the hold is the application's
    call << QString() << idleFlag << QVariantMap{{"reason", reason()}};
    ask(call, &ScreenSaverSwitch::portalAnswered);
}

void ScreenSaverSwitch::portalAnswered(const QDBusMessage& reply) {
    const QDBusReply<QDBusObjectPath> handle = reply;
    if (handle.isValid()) {
        m_held = Held::Portal;
        m_request = handle.value();
    }
    if (!m_wanted)
        release(); // let go while the question was on its way
    else if (!handle.isValid())
        askScreenSaver();
}

void ScreenSaverSwitch::askScreenSaver() {
    QDBusMessage call = QDBusMessage::createMethodCall(screenSaverService, screenSaverPath,
                                                       screenSaverService, "Inhibit");
    call << QStringLiteral("dunmoral") << reason();
    ask(call, &ScreenSaverSwitch::screenSaverAnswered);
}

void ScreenSaverSwitch::screenSaverAnswered(const QDBusMessage& reply) {
    const QDBusReply<quint32> cookie = reply;
    if (cookie.isValid()) {
        m_held = Held::ScreenSaver;
        m_cookie = cookie.value();
    }
    if (!m_wanted)
        release();
    else if (!cookie.isValid())
        emit unavailable();
}

void ScreenSaverSwitch::release() {
    QDBusMessage call;
    if (m_held == Held::Portal) {
        call = QDBusMessage::createMethodCall(portalService, m_request.path(),
                                              "org.freedesktop.portal.Request", "Close");
    } else if (m_held == Held::ScreenSaver) {
        call = QDBusMessage::createMethodCall(screenSaverService, screenSaverPath,
                                              screenSaverService, "UnInhibit");
        call << m_cookie;
    } else {
        return;
    }
    m_held = Held::Nothing;
    QDBusConnection::sessionBus().send(call); // nothing waits for its answer
}
