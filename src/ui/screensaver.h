#pragma once

#include <QDBusObjectPath>
#include <QObject>

class QDBusMessage;

// Holds the desktop's screen saver off while asked to: through the desktop portal's Inhibit
// (idle) where there is a portal, else through the session's org.freedesktop.ScreenSaver
// service. No call waits on the window's thread, so a service that hangs holds nothing up; when
// neither service takes the request, unavailable() says so.
class ScreenSaverSwitch : public QObject {
    Q_OBJECT
  public:
    explicit ScreenSaverSwitch(QObject* parent = nullptr);
    ~ScreenSaverSwitch() override;
    // false: hold the screen saver off; true: let it start again.
    void SetScreenSaverActive(bool active);
    bool isHeldOff() const { return m_held != Held::Nothing; }

  signals:
    // Neither the portal nor the screen-saver service holds the screen saver off.
    void unavailable();

  private:
    enum class Held { Nothing, Portal, ScreenSaver };
    void askPortal();
    void askScreenSaver();
    void release();
    // Sends `call`; `answered` gets the reply or the error, unless this goes first.
    void ask(const QDBusMessage& call, void (ScreenSaverSwitch::*answered)(const QDBusMessage&));
    void portalAnswered(const QDBusMessage& reply);
    void screenSaverAnswered(const QDBusMessage& reply);

    bool m_wanted = false; // the screen saver is to be held off
    bool m_asking = false; // a request is on its way
    Held m_held = Held::Nothing;
    QDBusObjectPath m_request; // the portal's handle of the hold
    quint32 m_cookie = 0;      // the screen-saver service's
};
