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
    motion.settled = motion.events.empty() || motion.events.back().second < motion.pictures
                         ? motion.pictures
                         : motion.events.back().first;
    return motion;
}

int laterPicturesFrom(const DayMotion& before) {
    constexpr int learnAgain = 12; // more than a scene takes to learn
    // bounds the work of a busy cam whose events follow each other closely
    constexpr int mostBack = 240;
    // the scene is learnt from quiet pictures: a moving figure learnt as part of it would
    // read as motion once it has gone
    int from = before.settled - learnAgain;
    for (auto event = before.events.rbegin(); event != before.events.rend(); ++event) {
        if (event->second <= from)
            break;
        from = event->first - learnAgain;
    }
    return std::max({0, from, before.settled - mostBack});
}

DayMotion JudgeLaterPictures(DayMotion before, const QStringList& paths, int firstPlace,
                             const MotionSettings& settings, const MotionMask& mask,
                             const std::atomic<bool>& stop) {
    DayMotion later = JudgeDayMotion(paths, settings, mask, stop);
    if (later.stopped)
        return later;
    // the events that are over hold; the one that went on is judged again
    std::erase_if(before.events, [&](const auto& event) { return event.first >= before.settled; });
    for (auto [first, end] : later.events) {
        first += firstPlace, end += firstPlace;
        if (end <= before.settled)
            continue; // among the pictures only learnt from
        if (!before.events.empty() && before.events.back().second >= first)
            before.events.back().second = std::max(before.events.back().second, end);
        else
            before.events.emplace_back(first, end);
    }
    before.pictures = firstPlace + int(paths.size());
    before.settled = firstPlace + later.settled;
    return before;
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
