#include "common/datetimetext.h"

#include <QLocale>
#include <QRegularExpression>

QString shortDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    // the year is always written whole: "M/d/yy" becomes "M/d/yyyy"
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(twoDigitYear, QStringLiteral("yyyy"));
    return format;
}

QString shortDateText(const QDate& date) {
    return QLocale().toString(date, shortDateFormat());
}

QString longTimeFormat() {
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    // drop the time-zone name ("t") and the blank before it
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    format.remove(zone);
    return format.trimmed();
}

QString longTimeText(const QTime& time) {
    return QLocale().toString(time, longTimeFormat());
}

QString generalDateText(const QDateTime& moment) {
    return shortDateText(moment.date()) + " " + longTimeText(moment.time());
}
