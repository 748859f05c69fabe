#pragma once

#include "motion/motionmask.h"
#include "motion/motionsettings.h"

#include <QStringList>
#include <atomic>
#include <optional>
#include <utility>
#include <vector>

// The motion events among a day's saved pictures, as places in the day's list: [first, end) of
// each event, in order.
struct DayMotion {
    std::vector<std::pair<int, int>> events;
    int pictures = 0; // how many pictures were judged
    // The events before this place are over; an event that lasts to the last picture judged
    // may go on, and is judged again with the pictures that follow.
    int settled = 0;
    bool stopped = false;
};

// Judges the pictures (of one day, in order) by the cam's motion choices and mask: the events
// alone, without the pictures kept around them. Takes about a small decode a picture: run it off
// the window's thread; `stop` set ends it early.
DayMotion JudgeDayMotion(const QStringList& paths, MotionSettings settings, const MotionMask& mask,
                         const std::atomic<bool>& stop);

// `before` carried on over the pictures saved since it was made: `paths` are the day's pictures
// from place `firstPlace` on (laterPicturesFrom), a few before its settled place among them so
// the scene is learnt again; the events found from the settled place on replace those after it.
DayMotion JudgeLaterPictures(DayMotion before, const QStringList& paths, int firstPlace,
                             const MotionSettings& settings, const MotionMask& mask,
                             const std::atomic<bool>& stop);
// Where the pictures for JudgeLaterPictures start.
int laterPicturesFrom(const DayMotion& before);

// The first picture of the event after `place` (step 1) or of the one before it (step -1; when
// `place` is inside an event past its first picture, that event's first).
std::optional<int> EventStartNear(const DayMotion& motion, int place, int step);
