#include "engine/motionwatch.h"

#include "config/camsettings.h"
#include "config/desktopnotifier.h"
#include "engine/camengine.h"
#include "history/camrules.h"
#include "motion/motiontext.h"
#include "source/picturesource.h"

MotionWatch::MotionWatch(CamEngine& engine, DesktopNotifier* notifier, QObject* parent)
    : QObject(parent), m_engine(engine), m_notifier(notifier) {
    m_clock.start();
    m_engine.addSink(this);
    // a change of a running cam's choices or mask is taken at once
    connect(&m_engine.settings(), &CamSettings::changed, this,
            [this](const QByteArray& cam, const QString& section) {
                if (section != "Motion" && section != "MotionMask")
                    return;
                for (int index = 0; index < CamEngine::placeCount; ++index)
                    if (m_engine.isRunning(index) && m_engine.source(index)->name() == cam)
                        follow(m_engine.place(index));
            });
}

MotionWatch::~MotionWatch() {
    m_engine.removeSink(this);
}

void MotionWatch::follow(const CamPlace& place) {
    Watched& watched = m_places.at(size_t(place.index));
    const QByteArray cam = place.source->name();
    const MotionSettings settings = m_engine.settings().value(motionSettingsKey, cam);
    const bool wasInEvent = watched.reading.inEvent;
    watched.on = settings.on;
    watched.detector.setThresholds(settings.thresholds());
    watched.detector.setMask(m_engine.settings().value(motionMaskKey, cam));
    watched.notices.setMinutes(settings.noticeMinutes);
    m_engine.setMotionFrames(place.index, settings.on);
    if (!settings.on) {
        watched.detector.reset();
        watched.reading = {};
        if (wasInEvent)
            emit motionChanged(cam, false);
    }
}

void MotionWatch::camStarted(const CamPlace& place) {
    Watched& watched = m_places.at(size_t(place.index));
    watched.detector.reset();
    watched.last = {};
    watched.reading = {};
    follow(place);
}

void MotionWatch::camEdited(const CamPlace& place, bool otherAddress) {
    if (otherAddress) // another scene
        m_places.at(size_t(place.index)).detector.reset();
    follow(place);
}

void MotionWatch::camStopped(const CamPlace& place) {
    Watched& watched = m_places.at(size_t(place.index));
    if (watched.reading.inEvent)
        emit motionChanged(place.source->name(), false);
    watched.on = false;
    watched.detector.reset();
    watched.last = {};
    watched.reading = {};
    m_engine.setMotionFrames(place.index, false);
}

void MotionWatch::completed(const CamPlace& place, const Completion& completion) {
    const Watched& watched = m_places.at(size_t(place.index));
    if (!watched.on)
        return;
    if (completion.kind == Completion::Kind::Picture)
        feed(place, completion.decoded.motion);
    else if (completion.kind == Completion::Kind::SamePicture ||
             completion.kind == Completion::Kind::Unchanged)
        feed(place, watched.last); // nothing moved
}

void MotionWatch::feed(const CamPlace& place, const MotionFrame& frame) {
    Watched& watched = m_places.at(size_t(place.index));
    if (frame.isNull())
        return;
    watched.detector.setPace(place.source->isStreaming() ? MotionPace::Stream : MotionPace::Stills);
    const bool wasInEvent = watched.reading.inEvent;
    watched.reading = watched.detector.feed(frame);
    watched.last = frame;
    const QByteArray cam = place.source->name();
    if (watched.reading.inEvent != wasInEvent)
        emit motionChanged(cam, watched.reading.inEvent);
    if (m_notifier && watched.notices.shouldNotify(watched.reading, m_clock.elapsed())) {
        const QString name = QString::fromLocal8Bit(cam);
        m_notifier->notify(tr("Motion at %1").arg(name),
                           tr("Something moves in the picture of %1.").arg(name));
    }
}

QString MotionWatch::levelText(const QByteArray& cam) const {
    for (int index = 0; index < CamEngine::placeCount; ++index)
        if (m_engine.isRunning(index) && m_engine.source(index)->name() == cam && isWatching(index))
            return MotionLevelText(reading(index));
    return {};
}

QString MotionWatch::stateNote(const CamPlace& place) const {
    return showsMotion(place) ? tr("motion") : QString();
}

bool MotionWatch::showsMotion(const CamPlace& place) const {
    const Watched& watched = m_places.at(size_t(place.index));
    return watched.on && watched.reading.inEvent;
}

void MotionWatch::addDetails(const CamPlace& place, CamDetails& details) const {
    const Watched& watched = m_places.at(size_t(place.index));
    if (watched.on)
        details.motion = MotionLevelText(watched.reading);
}
