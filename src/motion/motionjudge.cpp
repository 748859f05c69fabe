#include "motion/motionjudge.h"

#include "imaging/picturedecoder.h"
#include "motion/motiondetector.h"
#include "motion/motionkeeper.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 mostFileBytes = 64 << 20;
// About a panel's picture area: the size pictures are decoded to for the motion test.
const QSize judgedSize(160, 120);

} // namespace

MotionJudgement JudgeMotionFrames(qsizetype count, const MotionFrameAt& frameAt,
                                  const MotionSettings& settings, const MotionMask& mask,
                                  const MotionProgress& progress) {
    MotionJudgement judgement;
    MotionDetector detector(settings.thresholds(), mask, MotionPace::Stills);
    MotionKeeper keeper(settings.picturesBefore, settings.picturesAfter);
    // the keeper counts the readable pictures; their places in the list, while they may be kept
    std::vector<qsizetype> places;
    int64_t firstPlace = 0; // the keeper's number of places[0]
    for (qsizetype place = 0; place < count; ++place) {
        const MotionFrame frame = frameAt(place);
        if (frame.isNull()) {
            ++judgement.unreadable;
        } else {
            places.push_back(place);
            const MotionReading reading = detector.feed(frame);
            judgement.events += reading.eventStarted;
            for (const int64_t number : keeper.take(reading))
                judgement.kept.push_back(places[size_t(number - firstPlace)]);
            const int64_t gone = keeper.firstHeld() - firstPlace;
            places.erase(places.begin(), places.begin() + std::min<int64_t>(gone, places.size()));
            firstPlace = keeper.firstHeld();
        }
        if (progress && !progress(place + 1, count)) {
            judgement.stopped = true;
            break;
        }
    }
    return judgement;
}

MotionFrame MotionFrameOfFile(const QString& path) {
    // only a plain file: opening a named pipe would wait for a writer
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > mostFileBytes)
        return {};
    return MakeMotionFrame(DecodePicture(file.read(mostFileBytes), judgedSize).picture);
}

MotionJudgement JudgeSavedPictures(const QStringList& paths, const MotionSettings& settings,
                                   const MotionMask& mask, const MotionProgress& progress) {
    return JudgeMotionFrames(
        paths.size(), [&paths](qsizetype place) { return MotionFrameOfFile(paths[place]); },
        settings, mask, progress);
}
