#include "motion/motiondetector.h"

#include <algorithm>
#include <cmath>

namespace {

// How fast the background and each cell's noise follow the scene, per picture. Cells that
// changed follow a fifth as fast, so something passing does not become background; a cell
// changed for `settling` pictures in a row follows at `settled`, so something that stopped (a
// parked car) becomes background, and so does the place it left.
struct Rates {
    float background, noise;
    int settling;
};

constexpr float changedPace = 0.2f, settled = 0.3f;

Rates ratesOf(MotionPace pace, bool warmingUp) {
    if (warmingUp)
        return {0.3f, 0.3f, 1};
    return pace == MotionPace::Stills ? Rates{0.1f, 0.1f, 6} : Rates{0.03f, 0.03f, 40};
}

// A new cam's noise is learnt on its first pictures, which tell no motion.
int warmUpPictures(MotionPace pace) {
    return pace == MotionPace::Stills ? 3 : 8;
}

constexpr float startingNoise = 2.f, leastNoise = 0.5f, mostNoise = 40.f;
// Changes this wide are a new scene rather than motion.
constexpr double newSceneShare = 0.5;
// A sudden move of the whole picture's brightness by this many grey levels (lights switched on,
// the sun behind a cloud, a jump of the exposure) is followed by no curve exactly (each colour
// clips on its own, a lamp lights what is near it more): the scene is learnt anew.
constexpr float suddenLightMove = 12.f;

} // namespace

MotionDetector::MotionDetector(const MotionThresholds& thresholds, const MotionMask& mask,
                               MotionPace pace)
    : m_thresholds(thresholds), m_mask(mask), m_pace(pace) {}

void MotionDetector::setThresholds(const MotionThresholds& thresholds) {
    m_thresholds = thresholds;
}

void MotionDetector::setMask(const MotionMask& mask) {
    m_mask = mask;
    m_watched = m_mask.watchedPixels(m_width, m_height);
    m_watchedCount = int(std::count(m_watched.begin(), m_watched.end(), 1));
}

void MotionDetector::reset() {
    m_width = m_height = 0;
    m_background.clear();
    m_inRow = m_quiet = 0;
    m_inEvent = false;
}

MotionReading MotionDetector::feed(const MotionFrame& frame) {
    if (frame.isNull()) {
        MotionReading reading;
        reading.thresholdPercent = m_thresholds.leastAreaPercent;
        reading.inEvent = m_inEvent;
        return reading;
    }
    if (frame.width() != m_width || frame.height() != m_height || m_background.empty()) {
        learnScene(frame);
        return judge(0, true);
    }
    double level = 0;
    if (!compare(frame, level)) {
        learnScene(frame);
        return judge(0, true);
    }
    if (m_warmUp > 0) {
        --m_warmUp;
        return judge(level, true);
    }
    return judge(level, false);
}

void MotionDetector::learnScene(const MotionFrame& frame) {
    const bool sameSize = frame.width() == m_width && frame.height() == m_height;
    m_width = frame.width();
    m_height = frame.height();
    const size_t count = size_t(frame.pixelCount());
    m_background.assign(frame.constData(), frame.constData() + count);
    if (!sameSize || m_noise.size() != count) { // a cam's noise outlasts a new scene
        m_noise.assign(count, startingNoise);
        m_warmUp = warmUpPictures(m_pace);
    }
    m_changed.assign(count, 0);
    m_changedRuns.assign(count, 0);
    setMask(m_mask);
}

bool MotionDetector::compare(const MotionFrame& frame, double& levelPercent) {
    const int count = frame.pixelCount();
    const uint8_t* pixels = frame.constData();
    m_shift.learn(m_background.data(), pixels, m_watched.data(), count);
    const Rates rates = ratesOf(m_pace, m_warmUp > 0);
    const float factor = float(m_thresholds.noiseFactor);
    const float least = float(m_thresholds.leastDifference);
    float* background = m_background.data();
    float* noises = m_noise.data();
    const uint8_t* watched = m_watched.data();
    uint8_t* changed = m_changed.data();
    uint8_t* runs = m_changedRuns.data();
    int changedCount = 0;
    for (int i = 0; i < count; ++i) {
        const float expected = m_shift.apply(background[i]);
        const float difference = float(pixels[i]) - expected;
        const float size = std::abs(difference);
        const float noise = noises[i];
        const bool isChanged = (watched[i] != 0) & (size > std::max(least, factor * noise));
        changed[i] = isChanged;
        changedCount += isChanged;
        uint8_t& run = runs[i];
        run = isChanged ? uint8_t(std::min(run + 1, 255)) : 0;
        const float pace = isChanged ? changedPace : 1.f;
        const float follow = run >= rates.settling ? settled : rates.background * pace;
        background[i] = expected + follow * difference;
        const float learnt = noise + rates.noise * pace * (std::min(size, 3 * noise + 1) - noise);
        const float bounded = std::min(std::max(learnt, leastNoise), mostNoise);
        noises[i] = noise + float(watched[i]) * (bounded - noise);
    }
    if (m_watchedCount == 0) {
        levelPercent = 0;
        return true;
    }
    if (double(changedCount) / m_watchedCount > newSceneShare ||
        m_shift.meanMove() > suddenLightMove)
        return false;
    const int kept = m_cells.keepGroups(m_changed, m_width, m_height, m_thresholds.leastCells);
    levelPercent = 100.0 * kept / m_watchedCount;
    return true;
}

MotionReading MotionDetector::judge(double levelPercent, bool learning) {
    MotionReading reading;
    reading.levelPercent = levelPercent;
    reading.thresholdPercent = m_thresholds.leastAreaPercent;
    reading.learning = learning;
    reading.motion = !learning && m_watchedCount > 0 && levelPercent >= reading.thresholdPercent;
    const int needed = m_pace == MotionPace::Stills ? 1 : m_thresholds.streamPicturesInRow;
    if (!m_inEvent) {
        m_inRow = reading.motion ? m_inRow + 1 : 0;
        if (m_inRow >= needed) {
            m_inEvent = true;
            m_quiet = 0;
            reading.eventStarted = true;
            reading.startedBack = needed - 1;
        }
        reading.inEvent = m_inEvent;
        return reading;
    }
    reading.inEvent = true;
    m_quiet = reading.motion ? 0 : m_quiet + 1;
    if (m_quiet >= m_thresholds.quietPictures) {
        reading.eventEnded = true;
        m_inEvent = false;
        m_inRow = 0;
    }
    return reading;
}
