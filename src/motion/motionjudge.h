#pragma once

#include "motion/motionframe.h"
#include "motion/motionmask.h"
#include "motion/motionsettings.h"

#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

// Which of a cam's saved pictures show motion, judged from the pictures themselves (so pictures
// saved before motion was watched can be judged too): the pictures of each event, with the
// settings' pictures before and after it.
struct MotionJudgement {
    std::vector<qsizetype> kept; // places in the list given, in order
    int events = 0;
    int unreadable = 0; // pictures that could not be read (never kept)
    bool stopped = false;
};

// Called after each picture with how many are done; returning false stops the judging.
using MotionProgress = std::function<bool(qsizetype done, qsizetype total)>;
// The frame of the picture at a place in the list; a null frame when it cannot be read.
using MotionFrameAt = std::function<MotionFrame(qsizetype place)>;

// Judges `count` pictures, taken in order from `frameAt`: one frame at a time, none kept. Takes
// about a picture's decode for each: run it off the window's thread.
MotionJudgement JudgeMotionFrames(qsizetype count, const MotionFrameAt& frameAt,
                                  const MotionSettings& settings, const MotionMask& mask,
                                  const MotionProgress& progress = {});

// Judges picture files, in the order given: each is read (up to 64 MB) and decoded small.
MotionJudgement JudgeSavedPictures(const QStringList& paths, const MotionSettings& settings,
                                   const MotionMask& mask, const MotionProgress& progress = {});

// A picture file's motion frame, decoded small as the panels decode it; a null frame when the
// file cannot be read.
MotionFrame MotionFrameOfFile(const QString& path);
