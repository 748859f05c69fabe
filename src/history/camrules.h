#pragma once

#include "config/camsettings.h"
#include "motion/motionmask.h"
#include "motion/motionsettings.h"

// Which of a cam's new pictures auto-save keeps, while auto-save is on for all cams: every one,
// none, at most one every `seconds`, or only those with motion (and a few around them).
struct SaveRule {
    enum class Kind { Every, Off, AtMost, OnlyMotion };
    Kind kind = Kind::Every;
    int seconds = 60;
    static constexpr int mostSeconds = 24 * 3600;
    bool operator==(const SaveRule&) const = default;
};

// A cam's own rules, kept in its settings and following a rename: what auto-save keeps
// ("every", "off", "atmost 60", "motion"), its motion choices and the mask of what motion
// ignores. A damaged text reads as the defaults.
extern const CamKey<SaveRule> saveRuleKey;
extern const CamKey<MotionSettings> motionSettingsKey;
extern const CamKey<MotionMask> motionMaskKey;
