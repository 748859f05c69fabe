#include "common/datetimetext.h"

#include <QLocale>
#include <QRegularExpression>

QString shortDateText(const QDate& date) {
    return QLocale().toString(date, QLocale::ShortFormat);
}

QString longTimeText(const QTime& time) {
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    // drop the time-zone name ("t") and the blank before it
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    format.remove(zone);
    return QLocale().toString(time, format.trimmed());
}

QString generalDateText(const QDateTime& moment) {
    return shortDateText(moment.date()) + " " + longTimeText(moment.time());
}
