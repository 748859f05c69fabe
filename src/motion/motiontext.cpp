#include "motion/motiontext.h"

#include <QCoreApplication>
#include <QLocale>

QString MotionLevelText(const MotionReading& reading) {
    if (reading.learning)
        return QCoreApplication::translate("Motion", "motion: learning the scene");
    const QLocale locale;
    const QString level = locale.toString(reading.levelPercent, 'f', 1);
    const QString threshold = locale.toString(reading.thresholdPercent, 'f', 1);
    if (reading.inEvent)
        return QCoreApplication::translate("Motion", "motion %1 % (starts at %2 %), under way")
            .arg(level, threshold);
    return QCoreApplication::translate("Motion", "motion %1 % (starts at %2 %)")
        .arg(level, threshold);
}

QString MotionSensitivityText(MotionSensitivity sensitivity) {
    switch (sensitivity) {
    case MotionSensitivity::Low:
        return QCoreApplication::translate("Motion", "Low");
    case MotionSensitivity::Medium:
        return QCoreApplication::translate("Motion", "Medium");
    case MotionSensitivity::High:
        return QCoreApplication::translate("Motion", "High");
    case MotionSensitivity::Custom:
        break;
    }
    return QCoreApplication::translate("Motion", "Custom");
}
