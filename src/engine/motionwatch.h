#pragma once

#include "engine/picturesink.h"
#include "motion/motiondetector.h"
#include "motion/motionkeeper.h"

#include <QElapsedTimer>
#include <QObject>
#include <array>

class CamEngine;
class DesktopNotifier;

// Watches the running cams whose owners switched motion on: the motion frame the decode
// workers make with each new picture goes through the cam's detector, in the order the pictures
// came (the same picture again counts as a quiet one). While an event lasts the cam's mark and
// its name in the list say so; an event's start may be told by a desktop notification, at most
// one in the minutes the owner chose. Auto-save asks the last reading to keep only pictures
// with motion.
class MotionWatch : public QObject, public PictureSink {
    Q_OBJECT
  public:
    MotionWatch(CamEngine& engine, DesktopNotifier* notifier, QObject* parent = nullptr);
    ~MotionWatch() override;

    bool isWatching(int index) const { return m_places.at(size_t(index)).on; }
    // The reading of the place's last new picture.
    const MotionReading& reading(int index) const { return m_places.at(size_t(index)).reading; }
    // "motion 3.2 % (starts at 1.5 %)" of a running cam watched; empty otherwise.
    QString levelText(const QByteArray& cam) const;

    void camStarted(const CamPlace& place) override;
    void camEdited(const CamPlace& place, bool otherAddress) override;
    void completed(const CamPlace& place, const Completion& completion) override;
    void camStopped(const CamPlace& place) override;
    QString stateNote(const CamPlace& place) const override;
    bool showsMotion(const CamPlace& place) const override;
    void addDetails(const CamPlace& place, CamDetails& details) const override;

  signals:
    // Motion in a cam's picture began (`on`) or ended.
    void motionChanged(const QByteArray& cam, bool on);

  private:
    struct Watched {
        bool on = false;
        MotionDetector detector;
        MotionFrame last;
        MotionReading reading;
        MotionNoticeLimiter notices;
    };
    // The cam's choices, read again (they changed, or the cam started).
    void follow(const CamPlace& place);
    void feed(const CamPlace& place, const MotionFrame& frame);

    CamEngine& m_engine;
    DesktopNotifier* m_notifier;
    QElapsedTimer m_clock; // steady, for the notices' rationing
    std::array<Watched, 26> m_places;
};
