#pragma once

#include "motion/motiondetector.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <cstdint>
#include <deque>
#include <vector>

// Which pictures to keep when only pictures with motion are kept: every picture of an event
// (from the first with motion to the quiet one that ends it), `before` pictures before it and
// `after` pictures after it. Pictures are counted from 0 in the order given; a picture that may
// yet be kept is held back until that is known.
class MotionKeeper {
  public:
    MotionKeeper(int before, int after);

    // Takes the reading of the next picture; gives the numbers of the pictures to keep now, in
    // order (held pictures first, then maybe this one).
    std::vector<int64_t> take(const MotionReading& reading);
    // Pictures numbered from this one on are held back; earlier ones not kept are dropped.
    int64_t firstHeld() const { return m_firstHeld; }

  private:
    int m_before, m_after;
    int64_t m_next = 0, m_firstHeld = 0;
    int m_afterLeft = 0, m_motionInRow = 0;
};

// A picture held back for keeping: its file's bytes and when it was taken.
struct MotionPicture {
    QByteArray bytes;
    QDateTime taken;
    QByteArray format; // of a coded picture (a video's); empty for a picture file
};

// The pictures held back by a MotionKeeper, by their bytes. The bytes held are bounded: when
// they pass `mostBytes`, the oldest held pictures go.
class MotionPictureHold {
  public:
    MotionPictureHold(int before, int after, qsizetype mostBytes = 16 << 20);

    // Takes the next picture and its reading; gives the pictures to save now, in order.
    QList<MotionPicture> take(MotionPicture picture, const MotionReading& reading);
    qsizetype heldBytes() const { return m_heldBytes; }
    qsizetype heldCount() const { return qsizetype(m_held.size()); }

  private:
    MotionKeeper m_keeper;
    qsizetype m_mostBytes, m_heldBytes = 0;
    int64_t m_next = 0;
    std::deque<std::pair<int64_t, MotionPicture>> m_held;
};

// Whether a desktop notice goes out when motion starts: at most one in `minutes` minutes, none
// when `minutes` is 0. Times are milliseconds of a clock that does not jump (a steady clock's).
class MotionNoticeLimiter {
  public:
    explicit MotionNoticeLimiter(int minutes = 0) : m_minutes(minutes) {}

    void setMinutes(int minutes) { m_minutes = minutes; }
    bool shouldNotify(const MotionReading& reading, int64_t nowMsecs);

  private:
    int m_minutes;
    bool m_notified = false;
    int64_t m_lastMsecs = 0;
};
