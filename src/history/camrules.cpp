#include "history/camrules.h"

#include <QStringList>

namespace {

std::optional<SaveRule> readSaveRule(const QString& text) {
    const QStringList words = text.split(' ', Qt::SkipEmptyParts);
    const QString kind = words.value(0);
    if (kind == "every" && words.size() == 1)
        return SaveRule{};
    if (kind == "off" && words.size() == 1)
        return SaveRule{SaveRule::Kind::Off};
    if (kind == "motion" && words.size() == 1)
        return SaveRule{SaveRule::Kind::OnlyMotion};
    bool number = false;
    const int seconds = words.value(1).toInt(&number);
    if (kind == "atmost" && words.size() == 2 && number && seconds >= 1 &&
        seconds <= SaveRule::mostSeconds)
        return SaveRule{SaveRule::Kind::AtMost, seconds};
    return std::nullopt;
}

QString saveRuleText(const SaveRule& rule) {
    switch (rule.kind) {
    case SaveRule::Kind::Off:
        return "off";
    case SaveRule::Kind::AtMost:
        return QString("atmost %1").arg(rule.seconds);
    case SaveRule::Kind::OnlyMotion:
        return "motion";
    case SaveRule::Kind::Every:
        break;
    }
    return {}; // the design's rule needs no word
}

std::optional<MotionSettings> readMotion(const QString& text) {
    return MotionSettings::fromText(text);
}

QString motionText(const MotionSettings& settings) {
    return settings == MotionSettings{} ? QString() : settings.toText();
}

std::optional<MotionMask> readMask(const QString& text) {
    return MotionMask::fromText(text);
}

QString maskText(const MotionMask& mask) {
    return mask.toText();
}

} // namespace

const CamKey<SaveRule> saveRuleKey{"Saving", {}, readSaveRule, saveRuleText};
const CamKey<MotionSettings> motionSettingsKey{"Motion", {}, readMotion, motionText};
const CamKey<MotionMask> motionMaskKey{"MotionMask", {}, readMask, maskText};
