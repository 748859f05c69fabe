#pragma once

#include <QtGlobal>

// Switches the desktop's screen saver off and on again through the session's
// org.freedesktop.ScreenSaver service. Where there is no session bus or no such service,
// nothing happens and false is returned.
class ScreenSaverSwitch {
  public:
    ~ScreenSaverSwitch();
    bool SetScreenSaverActive(bool active);

  private:
    quint32 cookie = 0;
    bool inhibited = false;
};
