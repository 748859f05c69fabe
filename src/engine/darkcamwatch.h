#pragma once

#include "engine/darkwatch.h"
#include "engine/picturesink.h"

#include <QObject>
#include <array>

class CamEngine;
class DesktopNotifier;

// Watches the running cams whose owners asked for word when they go dark: each place's
// DarkWatch is fed with its completions and asked every second, and its words go to the
// desktop's notifications; its state to the place's mark and, by a signal, to the list.
class DarkCamWatch : public QObject, public PictureSink {
    Q_OBJECT
  public:
    DarkCamWatch(CamEngine& engine, DesktopNotifier& notifier, QObject* parent = nullptr);
    ~DarkCamWatch() override;

    const DarkWatch& watch(int index) const { return m_watches.at(size_t(index)); }

    void camStarted(const CamPlace& place) override;
    void completed(const CamPlace& place, const Completion& completion) override;
    void ticked(const CamPlace& place) override;
    void camStopped(const CamPlace& place) override;
    QString stateNote(const CamPlace& place) const override;

  signals:
    // A running cam went dark (`note` says how) or is fine again (`note` is empty).
    void darkStateChanged(const QByteArray& cam, const QString& note);

  private:
    void check(const CamPlace& place);
    void alertsChanged(const QByteArray& cam);

    CamEngine& m_engine;
    DesktopNotifier& m_notifier;
    std::array<DarkWatch, 26> m_watches;
};
