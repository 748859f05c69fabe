#include "video/picturerule.h"

#include <algorithm>

DecodeMode ChooseDecodeMode(int32_t intervalSecs, std::optional<int64_t> keyDistanceMs) {
    if (intervalSecs <= 0)
        return DecodeMode::EveryPicture;
    if (!keyDistanceMs)
        return DecodeMode::KeyPictures;
    const int64_t interval = int64_t(intervalSecs) * 1000;
    return interval + *keyDistanceMs / 10 >= *keyDistanceMs ? DecodeMode::KeyPictures
                                                            : DecodeMode::EveryPicture;
}

bool PictureSchedule::due(int64_t atMs, int64_t spacingMs) const {
    return !m_started || atMs + std::max<int64_t>(spacingMs, 0) / 2 >= m_next;
}

void PictureSchedule::handed(int64_t atMs, int64_t intervalMs) {
    m_next = (m_started ? m_next : atMs) + intervalMs;
    if (m_next <= atMs)
        m_next = atMs + intervalMs; // fell behind: a new grid from here
    m_started = true;
}

int64_t StreamClock::at(int64_t stampMs) {
    if (!m_started) {
        m_started = true;
        m_offset = -stampMs;
        return m_last = 0;
    }
    int64_t time = stampMs + m_offset;
    if (time < m_last - 1000 || time > m_last + 10000) {
        constexpr int64_t onePicture = 40;
        m_offset = m_last + onePicture - stampMs;
        time = m_last + onePicture;
    }
    m_last = std::max(m_last, time);
    return time;
}

std::optional<int64_t> PictureRule::keyDistanceMs() const {
    if (m_distanceCount == 0)
        return std::nullopt;
    return *std::max_element(m_distances.begin(),
                             m_distances.begin() + std::min<int>(m_distanceCount, 4));
}

PictureRule::Packet PictureRule::packet(bool key, int64_t atMs) {
    ++m_packetsSinceKey;
    if (key) {
        if (m_lastKey && atMs > *m_lastKey) {
            const int64_t distance = atMs - *m_lastKey;
            m_distances[size_t(m_distanceCount++ % 4)] = distance;
            m_picturesPerSecond = m_packetsSinceKey * 1000.0 / double(distance);
        }
        m_lastKey = atMs;
        m_packetsSinceKey = 0;
    }
    if (mode() == DecodeMode::KeyPictures) {
        m_decoding = false;
        const int64_t spacing = keyDistanceMs().value_or(0);
        if (!key || !m_schedule.due(atMs, spacing))
            return Packet::Drop;
        m_schedule.handed(atMs, int64_t(m_intervalSecs) * 1000);
        return Packet::HandKey;
    }
    if (!m_decoding && !key)
        return Packet::Drop;
    m_decoding = true;
    return Packet::Decode;
}

bool PictureRule::picture(int64_t atMs) {
    const int64_t spacing =
        m_picturesPerSecond > 0 ? int64_t(1000 / m_picturesPerSecond) : fastestPictureGapMs;
    const int64_t interval = std::max<int64_t>(int64_t(m_intervalSecs) * 1000, fastestPictureGapMs);
    if (!m_schedule.due(atMs, spacing))
        return false;
    m_schedule.handed(atMs, interval);
    return true;
}
