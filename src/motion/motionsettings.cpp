#include "motion/motionsettings.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <array>
#include <optional>

namespace {

const std::array<QString, 4> sensitivityNames = {"low", "medium", "high", "custom"};

QString numberText(double value) {
    return QString::number(value, 'g', 6);
}

std::optional<double> numberIn(const QHash<QString, QString>& values, const QString& key,
                               double least, double most, double otherwise) {
    if (!values.contains(key))
        return otherwise;
    bool fine = false;
    const double value = values[key].toDouble(&fine);
    if (!fine || !(value >= least && value <= most))
        return std::nullopt;
    return value;
}

std::optional<int> wholeIn(const QHash<QString, QString>& values, const QString& key, int least,
                           int most, int otherwise) {
    if (!values.contains(key))
        return otherwise;
    bool fine = false;
    const int value = values[key].toInt(&fine);
    if (!fine || value < least || value > most)
        return std::nullopt;
    return value;
}

// "name=value" pairs split by blanks; nothing when one is not a pair or a name comes twice.
std::optional<QHash<QString, QString>> pairsOf(const QString& text) {
    QHash<QString, QString> values;
    for (const QString& pair : text.split(' ', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf('=');
        if (equals <= 0 || values.contains(pair.left(equals)))
            return std::nullopt;
        values.insert(pair.left(equals), pair.mid(equals + 1));
    }
    return values;
}

} // namespace

MotionThresholds MotionThresholds::of(MotionSensitivity sensitivity) {
    switch (sensitivity) {
    case MotionSensitivity::Low:
        return {5.0, 16, 2.5, 16, 3, 3};
    case MotionSensitivity::High:
        return {2.5, 7, 0.3, 5, 2, 4};
    case MotionSensitivity::Medium:
    case MotionSensitivity::Custom:
        break;
    }
    return {};
}

bool MotionThresholds::isValid() const {
    return noiseFactor >= 1 && noiseFactor <= 20 && leastDifference >= 1 &&
           leastDifference <= 255 && leastAreaPercent >= 0.01 && leastAreaPercent <= 100 &&
           leastCells >= 1 && leastCells <= 1000 && streamPicturesInRow >= 1 &&
           streamPicturesInRow <= 100 && quietPictures >= 1 && quietPictures <= 1000;
}

MotionThresholds MotionSettings::thresholds() const {
    return sensitivity == MotionSensitivity::Custom ? custom : MotionThresholds::of(sensitivity);
}

QString MotionSettings::toText() const {
    QString text = QString("on=%1 sensitivity=%2 before=%3 after=%4 notice=%5")
                       .arg(int(on))
                       .arg(sensitivityNames[size_t(sensitivity)])
                       .arg(picturesBefore)
                       .arg(picturesAfter)
                       .arg(noticeMinutes);
    if (sensitivity == MotionSensitivity::Custom)
        text += QString(" factor=%1 difference=%2 area=%3 cells=%4 row=%5 quiet=%6")
                    .arg(numberText(custom.noiseFactor))
                    .arg(custom.leastDifference)
                    .arg(numberText(custom.leastAreaPercent))
                    .arg(custom.leastCells)
                    .arg(custom.streamPicturesInRow)
                    .arg(custom.quietPictures);
    return text;
}

MotionSettings MotionSettings::fromText(const QString& text) {
    const MotionSettings defaults;
    const std::optional<QHash<QString, QString>> values = pairsOf(text);
    if (!values)
        return defaults;
    MotionSettings settings;
    const auto on = wholeIn(*values, "on", 0, 1, 0);
    const auto before = wholeIn(*values, "before", 0, mostPictures, defaults.picturesBefore);
    const auto after = wholeIn(*values, "after", 0, mostPictures, defaults.picturesAfter);
    const auto notice = wholeIn(*values, "notice", 0, mostNoticeMinutes, 0);
    const auto found = std::find(sensitivityNames.begin(), sensitivityNames.end(),
                                 values->value("sensitivity", "medium"));
    const MotionThresholds d;
    const auto factor = numberIn(*values, "factor", 1, 20, d.noiseFactor);
    const auto difference = wholeIn(*values, "difference", 1, 255, d.leastDifference);
    const auto area = numberIn(*values, "area", 0.01, 100, d.leastAreaPercent);
    const auto cells = wholeIn(*values, "cells", 1, 1000, d.leastCells);
    const auto row = wholeIn(*values, "row", 1, 100, d.streamPicturesInRow);
    const auto quiet = wholeIn(*values, "quiet", 1, 1000, d.quietPictures);
    if (!on || !before || !after || !notice || found == sensitivityNames.end() || !factor ||
        !difference || !area || !cells || !row || !quiet)
        return defaults;
    settings.on = *on == 1;
    settings.sensitivity = MotionSensitivity(found - sensitivityNames.begin());
    settings.picturesBefore = *before;
    settings.picturesAfter = *after;
    settings.noticeMinutes = *notice;
    settings.custom = {*factor, *difference, *area, *cells, *row, *quiet};
    return settings;
}
