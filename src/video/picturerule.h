#pragma once

#include <array>
#include <cstdint>
#include <optional>

// Which of a stream's pictures are decoded and which handed on: the reading thread asks these
// for every packet, so a cam refreshed every few seconds decodes nothing but the key pictures
// it shows. Times are milliseconds of the stream's own clock (StreamClock).

enum class DecodeMode {
    KeyPictures,  // non-key pictures are dropped undecoded; a key picture goes on coded
    EveryPicture, // every picture is decoded; the one due is handed on raw
};

// Pictures go on at most this often when the interval is 0 ("every picture"): 30 a second.
inline constexpr int64_t fastestPictureGapMs = 34;

// Key pictures alone serve when the interval is at least the distance between them (a tenth of
// that distance is let go, for a clock's jitter); an interval of 0, or a shorter one, needs
// every picture. Until the distance is known, key pictures are tried.
DecodeMode ChooseDecodeMode(int32_t intervalSecs, std::optional<int64_t> keyDistanceMs);

// One picture per interval on a steady grid: the picture closest to each due time goes, so key
// pictures two seconds apart serve an interval of two seconds every time, not every other
// time. A stream that falls behind by an interval or more starts a new grid.
class PictureSchedule {
  public:
    // `spacingMs` is the usual distance between the pictures offered: the one within half of
    // it of the due time goes.
    bool due(int64_t atMs, int64_t spacingMs) const;
    void handed(int64_t atMs, int64_t intervalMs);
    void reset() { m_started = false; }

  private:
    bool m_started = false;
    int64_t m_next = 0;
};

// A stream's timestamps as a clock that starts at 0 and bridges jumps (a reconnected source, a
// playlist's discontinuity): a step back of more than a second or ahead of more than ten counts
// as one picture's time.
class StreamClock {
  public:
    int64_t at(int64_t stampMs);

  private:
    bool m_started = false;
    int64_t m_offset = 0;
    int64_t m_last = 0;
};

class PictureRule {
  public:
    enum class Packet { Drop, HandKey, Decode };

    void setInterval(int32_t seconds) { m_intervalSecs = seconds; }
    int32_t interval() const { return m_intervalSecs; }
    // A packet of the stream at `atMs`: dropped, handed on as a key picture, or decoded
    // (decoding begins at a key picture).
    Packet packet(bool key, int64_t atMs);
    // The key picture handed on could not be used: the next one is due at once.
    void retryNext() { m_schedule.reset(); }
    // A picture decoded from the packets, shown at `atMs`: whether it goes on.
    bool picture(int64_t atMs);

    DecodeMode mode() const { return ChooseDecodeMode(m_intervalSecs, keyDistanceMs()); }
    // The longest of the last four distances between key pictures, once two were seen.
    std::optional<int64_t> keyDistanceMs() const;
    // Pictures a second from key to key, once two key pictures were seen.
    double picturesPerSecond() const { return m_picturesPerSecond; }

  private:
    int32_t m_intervalSecs = 0;
    PictureSchedule m_schedule;
    bool m_decoding = false;
    std::optional<int64_t> m_lastKey;
    std::array<int64_t, 4> m_distances{};
    int m_distanceCount = 0;
    int m_packetsSinceKey = 0;
    double m_picturesPerSecond = 0;
};
