#pragma once

#include <QString>

// How readily a cam's picture is said to show motion.
enum class MotionSensitivity {
    Low,    // only large movement near the cam: a car, a person close by
    Medium, // a person crossing the scene
    High,   // small movement too: a cat, a person far off (more false alarms)
    Custom  // the numbers of MotionThresholds, set by hand
};

// The numbers behind a sensitivity. The motion test looks at the picture made small (96 pixels
// on its long side); each of those pixels is a cell here.
struct MotionThresholds {
    // A cell has changed when it differs from the background by more than this many times its
    // usual noise...
    double noiseFactor = 3.5;
    // ... and by at least this many grey levels (of 255).
    int leastDifference = 10;
    // The share of the watched picture, in percent, that must change for a picture to have
    // motion.
    double leastAreaPercent = 0.8;
    // The smallest group of touching changed cells that counts (smaller ones are specks: snow,
    // rain, noise).
    int leastCells = 8;
    // Pictures in a row with motion before an event starts, for streams and video cams (a
    // still cam's single picture is enough).
    int streamPicturesInRow = 2;
    // Pictures in a row without motion that end an event.
    int quietPictures = 3;

    static MotionThresholds of(MotionSensitivity sensitivity);
    bool isValid() const;
    bool operator==(const MotionThresholds&) const = default;
};

// A cam's motion choices.
struct MotionSettings {
    bool on = false;
    MotionSensitivity sensitivity = MotionSensitivity::Medium;
    MotionThresholds custom; // used when the sensitivity is Custom
    // Pictures kept before an event starts and after it ends, when only pictures with motion
    // are saved.
    int picturesBefore = 2, picturesAfter = 2;
    // A desktop notice when motion starts, at most one in this many minutes; 0: no notice.
    int noticeMinutes = 0;

    static constexpr int mostPictures = 50, mostNoticeMinutes = 24 * 60;

    MotionThresholds thresholds() const;

    // A short text for the settings: "on=1 sensitivity=high before=2 after=2 notice=0", with
    // the numbers for a custom sensitivity ("factor=3.5 difference=10 area=0.8 cells=8 row=2
    // quiet=3"). Names it does not know are skipped; a damaged text reads as the defaults.
    QString toText() const;
    static MotionSettings fromText(const QString& text);

    bool operator==(const MotionSettings&) const = default;
};
