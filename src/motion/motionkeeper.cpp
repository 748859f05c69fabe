#include "motion/motionkeeper.h"

#include <algorithm>

MotionKeeper::MotionKeeper(int before, int after)
    : m_before(std::max(0, before)), m_after(std::max(0, after)) {}

std::vector<int64_t> MotionKeeper::take(const MotionReading& reading) {
    const int64_t number = m_next++;
    std::vector<int64_t> kept;
    if (reading.inEvent) {
        // an event keeps what it began with, and the pictures before that
        const int64_t from = reading.eventStarted
                                 ? std::max(m_firstHeld, number - reading.startedBack - m_before)
                                 : m_firstHeld;
        for (int64_t held = from; held <= number; ++held)
            kept.push_back(held);
        m_afterLeft = reading.eventEnded ? m_after : 0;
        m_motionInRow = 0;
        m_firstHeld = number + 1;
        return kept;
    }
    if (m_afterLeft > 0) {
        --m_afterLeft;
        m_firstHeld = number + 1;
        return {number};
    }
    // held: the pictures that may come before an event, and the motion not yet an event
    m_motionInRow = reading.motion ? m_motionInRow + 1 : 0;
    m_firstHeld = std::max(m_firstHeld, number + 1 - m_before - m_motionInRow);
    return kept;
}

MotionPictureHold::MotionPictureHold(int before, int after, qsizetype mostBytes)
    : m_keeper(before, after), m_mostBytes(mostBytes) {}

QList<MotionPicture> MotionPictureHold::take(MotionPicture picture, const MotionReading& reading) {
    m_heldBytes += picture.bytes.size();
    m_held.emplace_back(m_next++, std::move(picture));
    QList<MotionPicture> toSave;
    for (const int64_t number : m_keeper.take(reading)) {
        while (!m_held.empty() && m_held.front().first < number) { // gone for their bytes
            m_heldBytes -= m_held.front().second.bytes.size();
            m_held.pop_front();
        }
        if (!m_held.empty() && m_held.front().first == number) {
            m_heldBytes -= m_held.front().second.bytes.size();
            toSave.append(std::move(m_held.front().second));
            m_held.pop_front();
        }
    }
    while (!m_held.empty() &&
           (m_held.front().first < m_keeper.firstHeld() || m_heldBytes > m_mostBytes)) {
        m_heldBytes -= m_held.front().second.bytes.size();
        m_held.pop_front();
    }
    return toSave;
}

bool MotionNoticeLimiter::shouldNotify(const MotionReading& reading, int64_t nowMsecs) {
    if (m_minutes <= 0 || !reading.eventStarted)
        return false;
    if (m_notified && nowMsecs >= m_lastMsecs && nowMsecs - m_lastMsecs < m_minutes * 60'000LL)
        return false;
    m_notified = true;
    m_lastMsecs = nowMsecs;
    return true;
}
