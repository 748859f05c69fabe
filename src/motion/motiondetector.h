#pragma once

#include "motion/brightnessshift.h"
#include "motion/changedcells.h"
#include "motion/motionframe.h"
#include "motion/motionmask.h"
#include "motion/motionsettings.h"

#include <cstdint>
#include <vector>

// How a cam brings its pictures: still pictures fetched now and then, or a stream (an MJPEG or
// video cam) of several a second. Pictures of a stream lie close in time, so the background
// learns more slowly per picture and an event needs several pictures with motion in a row.
enum class MotionPace { Stills, Stream };

// What the motion test says of one picture.
struct MotionReading {
    double levelPercent = 0;     // the share of the watched picture that changed, 0 to 100
    double thresholdPercent = 0; // the share from which a picture has motion
    bool motion = false;         // this picture has motion
    bool eventStarted = false;   // an event starts with this picture
    int startedBack = 0;         // at a start: the motion began this many pictures earlier
    bool eventEnded = false;     // the event ends with this (quiet) picture
    bool inEvent = false;        // the picture belongs to an event, its start and end included
    bool learning = false;       // the scene is being learnt anew: no motion is told
};

// Tells motion in the pictures of one cam, given in order as motion frames. Each picture is
// compared with a background that follows the scene slowly; a cell has changed when it differs
// by more than the cam's own noise, learnt cell by cell, allows. A change of the whole picture's
// brightness is taken out first, changed cells too few to make a group are specks, and a picture
// has motion when the groups cover enough of the watched picture.
//
// The first pictures of a cam only learn its noise (3 of a still cam, 8 of a stream). A frame of
// another size (the cam's picture changed shape), a change of more than half the picture (the
// cam turned) or a sudden large move of the whole picture's brightness (lights switched on, a
// night-mode switch) makes it learn the scene anew from that picture. Those pictures tell no
// motion. A cell changed for several pictures in a row (6 of a still cam, 40 of a stream)
// becomes background quickly, so a car that parks, or the place something left, ends its event.
//
// A plain object: fed on one thread at a time, a few tens of microseconds a picture.
class MotionDetector {
  public:
    explicit MotionDetector(const MotionThresholds& thresholds = {}, const MotionMask& mask = {},
                            MotionPace pace = MotionPace::Stills);

    void setThresholds(const MotionThresholds& thresholds);
    void setMask(const MotionMask& mask);
    void setPace(MotionPace pace) { m_pace = pace; }
    // Forgets the scene and any event: the next picture is learnt.
    void reset();

    // A null frame (a picture that could not be read) changes nothing and has no motion.
    MotionReading feed(const MotionFrame& frame);

  private:
    MotionThresholds m_thresholds;
    MotionMask m_mask;
    MotionPace m_pace;
    int m_width = 0, m_height = 0, m_watchedCount = 0;
    std::vector<float> m_background, m_noise;
    std::vector<uint8_t> m_watched, m_changed;
    std::vector<uint8_t> m_changedRuns; // pictures in a row each cell has changed
    BrightnessShift m_shift;
    ChangedCells m_cells;
    int m_warmUp = 0, m_inRow = 0, m_quiet = 0;
    bool m_inEvent = false;

    void learnScene(const MotionFrame& frame);
    // The changed cells' share of the watched picture; false when nearly all of it changed.
    bool compare(const MotionFrame& frame, double& levelPercent);
    MotionReading judge(double levelPercent, bool learning);
};
