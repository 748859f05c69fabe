#pragma once

#include "config/camalerts.h"

#include <cstdint>
#include <optional>

// Follows one running cam's fetches and tells when it went dark and when it is back. A single
// failed fetch is never dark: at least two in a row, and the minutes without a picture. Of the
// "went dark" words at most one an hour goes out; "back" follows each that went out. Times are
// seconds since 1970.
class DarkWatch {
  public:
    enum class State { Fine, NoPicture, SamePicture };
    enum class Word { None, NoPicture, SamePicture, Back };

    void start(const CamAlerts& alerts, int64_t now);
    void setAlerts(const CamAlerts& alerts);
    const CamAlerts& alerts() const { return m_alerts; }

    void pictureCame(int64_t now, bool changed);
    void fetchFailed();

    // The state now and, when it changed in a way the owner is told of, the word to send.
    Word check(int64_t now);
    State state() const { return m_state; }
    // Minutes without a picture or hours with the same one, for the words and the mark.
    int64_t darkFor(int64_t now) const;

  private:
    CamAlerts m_alerts;
    int64_t m_lastPicture = 0, m_lastChange = 0;
    int m_failuresInARow = 0;
    State m_state = State::Fine;
    bool m_told = false; // the owner was told of the dark state now
    std::optional<int64_t> m_lastToldDark;
};
