#include "timelapse/dailyfilms.h"

#include "imaging/savename.h"

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
                     saveNameSeparator + day.toString(Qt::ISODate) + ".avi";
    options.framesPerSecond = rule.framesPerSecond;
    options.from = QDateTime(day, QTime(rule.fromHour, 0));
    options.to = rule.toHour >= 24 ? QDateTime(day, QTime(23, 59, 59))
                                   : QDateTime(day, QTime(rule.toHour, 0)).addSecs(-1);
    options.skipDark = rule.skipDark;
    options.skipRepeats = rule.skipRepeats;
    return options;
}
