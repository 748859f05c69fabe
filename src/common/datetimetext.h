#pragma once

#include <QDateTime>
#include <QString>

// Dates and times as the user's locale writes them: the short date with the year in four
// digits, and the long time without a time-zone name.
QString shortDateFormat();
QString shortDateText(const QDate& date);
// The locale's long time format without the time zone.
QString longTimeFormat();
QString longTimeText(const QTime& time);
// The general date format: short date, a blank, long time.
QString generalDateText(const QDateTime& moment);
