#include "timelapse/dailyfilms.h"

#include "imaging/savename.h"

namespace {

// `time` of `day`, or where the clock skips it, the first moment after (the next hour).
QDateTime momentOf(const QDate& day, const QTime& time) {
    QDateTime moment(day, time);
    for (int hour = time.hour() + 1; !moment.isValid() && hour < 24; ++hour)
        moment = QDateTime(day, QTime(hour, 0));
    return moment;
}

} // namespace

std::vector<QDate> DueFilmDays(const DailyFilmRule& rule, const QDate& lastMade,
                               const QDateTime& now, int mostDays) {
    std::vector<QDate> days;
    if (!rule.on)
        return days;
    // yesterday's film once the hour has come today; before it, the day before's
    const QDate latest = now.date().addDays(now.time() >= rule.at ? -1 : -2);
    QDate first = lastMade.isValid() ? lastMade.addDays(1) : latest;
    if (first.daysTo(latest) >= mostDays)
        first = latest.addDays(1 - mostDays);
    for (QDate day = first; day <= latest; day = day.addDays(1))
        days.push_back(day);
    return days;
}

TimelapseOptions DailyFilmOptions(const DailyFilmRule& rule, const QString& camFolder,
                                  const QByteArray& cam, const QDate& day,
                                  const QString& filmFolder) {
    TimelapseOptions options;
    options.camFolder = camFolder;
    options.camName = cam;
    options.output = filmFolder + "/" + QString::fromStdString(SaveNameCamPart(cam.toStdString())) +
                     saveNameSeparator + day.toString(Qt::ISODate) + (rule.mp4 ? ".mp4" : ".avi");
    options.framesPerSecond = rule.framesPerSecond;
    options.from = momentOf(day, QTime(rule.fromHour, 0));
    options.to = momentOf(day, QTime(rule.toHour - 1, 59, 59));
    options.skipDark = rule.skipDark;
    options.skipRepeats = rule.skipRepeats;
    options.onlyMotion = rule.onlyMotion;
    return options;
}
