#include "engine/darkwatch.h"

#include <utility>

namespace {

constexpr int64_t hour = 3600;

} // namespace

void DarkWatch::start(const CamAlerts& alerts, int64_t now) {
    const std::optional<int64_t> lastTold = m_lastToldDark; // a restart does not reset the hour
    *this = DarkWatch();
    m_lastToldDark = lastTold;
    m_alerts = alerts;
    m_lastPicture = m_lastChange = now;
}

void DarkWatch::pictureCame(int64_t now, bool changed) {
    m_lastPicture = now;
    if (changed)
        m_lastChange = now;
    m_failuresInARow = 0;
}

void DarkWatch::fetchFailed() {
    ++m_failuresInARow;
}

int64_t DarkWatch::darkFor(int64_t now) const {
    return now - (m_state == State::SamePicture ? m_lastChange : m_lastPicture);
}

void DarkWatch::setAlerts(const CamAlerts& alerts) {
    m_alerts = alerts;
    if (!alerts.on) { // switched off: nothing more is said, not even "back"
        m_state = State::Fine;
        m_told = false;
    }
}

DarkWatch::Word DarkWatch::check(int64_t now) {
    State state = State::Fine;
    if (m_alerts.on && m_failuresInARow >= 2 &&
        now - m_lastPicture >= int64_t(m_alerts.minutesWithoutPicture) * 60)
        state = State::NoPicture;
    else if (m_alerts.on && m_alerts.hoursUnchanged > 0 &&
             now - m_lastChange >= int64_t(m_alerts.hoursUnchanged) * hour)
        state = State::SamePicture;
    m_state = state;
    if (state == State::Fine)
        return std::exchange(m_told, false) ? Word::Back : Word::None;
    // told once for a dark spell, however it changes; a warning held back by the hour since
    // the last one goes out once that hour has passed
    if (m_told || (m_lastToldDark && now - *m_lastToldDark < hour))
        return Word::None;
    m_told = true;
    m_lastToldDark = now;
    return state == State::NoPicture ? Word::NoPicture : Word::SamePicture;
}
