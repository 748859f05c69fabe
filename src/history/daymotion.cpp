#include "history/daymotion.h"

#include "motion/motionjudge.h"

DayMotion JudgeDayMotion(const QStringList& paths, MotionSettings settings, const MotionMask& mask,
                         const std::atomic<bool>& stop) {
    settings.on = true;
    settings.picturesBefore = settings.picturesAfter = 0;
    const MotionJudgement judged =
        JudgeSavedPictures(paths, settings, mask, [&stop](qsizetype, qsizetype) { return !stop; });
    DayMotion motion;
    motion.pictures = int(paths.size());
    motion.stopped = judged.stopped;
    // the pictures kept are the events' own: each run of neighbours is one event
    for (const qsizetype kept : judged.kept) {
        const int place = int(kept);
        if (!motion.events.empty() && motion.events.back().second == place)
            motion.events.back().second = place + 1;
        else
            motion.events.emplace_back(place, place + 1);
    }
    return motion;
}

std::optional<int> EventStartNear(const DayMotion& motion, int place, int step) {
    if (step > 0) {
        for (const auto& [first, end] : motion.events)
            if (first > place)
                return first;
        return std::nullopt;
    }
    for (auto event = motion.events.rbegin(); event != motion.events.rend(); ++event)
        if (event->first < place)
            return event->first;
    return std::nullopt;
}
