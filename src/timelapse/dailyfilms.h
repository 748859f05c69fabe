#pragma once

#include "timelapse/timelapseexport.h"

#include <QDate>
#include <QTime>

// A cam's film of each day: made at `at` of the next day, of the pictures between `fromHour`
// and `toHour` (0 to 24) of the day.
struct DailyFilmRule {
    bool on = false;
    QTime at{1, 0};
    int fromHour = 0, toHour = 24;
    bool skipDark = false, skipRepeats = false;
    int framesPerSecond = 10;
    bool onlyMotion = false; // only the pictures with motion, by the cam's motion choices
    bool mp4 = false;        // H.264 in MP4 instead of Motion-JPEG in AVI
    bool operator==(const DailyFilmRule&) const = default;
};

// The days whose film is due at `now`: every day after `lastMade` up to yesterday, once the
// rule's hour of the day after has come, at most `mostDays` of them (the latest). A rule that
// never made a film starts with yesterday.
std::vector<QDate> DueFilmDays(const DailyFilmRule& rule, const QDate& lastMade,
                               const QDateTime& now, int mostDays = 7);

// The options of `day`'s film of `cam`, written as "<cam>~yyyy-MM-dd.avi" (or ".mp4") in
// `filmFolder`.
TimelapseOptions DailyFilmOptions(const DailyFilmRule& rule, const QString& camFolder,
                                  const QByteArray& cam, const QDate& day,
                                  const QString& filmFolder);
