#include "engine/darkcamwatch.h"

#include "config/camsettings.h"
#include "config/desktopnotifier.h"
#include "engine/camengine.h"
#include "source/picturesource.h"

DarkCamWatch::DarkCamWatch(CamEngine& engine, DesktopNotifier& notifier, QObject* parent)
    : QObject(parent), m_engine(engine), m_notifier(notifier) {
    m_engine.addSink(this);
    connect(&m_engine.settings(), &CamSettings::changed, this,
            [this](const QByteArray& cam, const QString& section) {
                if (section == "Alerts")
                    alertsChanged(cam);
            });
}

DarkCamWatch::~DarkCamWatch() {
    m_engine.removeSink(this);
}

void DarkCamWatch::alertsChanged(const QByteArray& cam) {
    for (int index = 0; index < CamEngine::placeCount; ++index) {
        const CamPlace& place = m_engine.place(index);
        if (!place.running || place.source->name() != cam)
            continue;
        DarkWatch& watch = m_watches.at(size_t(index));
        const DarkWatch::State before = watch.state();
        watch.setAlerts(m_engine.settings().alerts().read(cam));
        if (watch.state() != before) // switched off while dark
            emit darkStateChanged(cam, {});
        check(place);
    }
}

void DarkCamWatch::camStarted(const CamPlace& place) {
    m_watches.at(size_t(place.index))
        .start(m_engine.settings().alerts().read(place.source->name()), m_engine.now());
}

void DarkCamWatch::completed(const CamPlace& place, const Completion& completion) {
    DarkWatch& watch = m_watches.at(size_t(place.index));
    switch (completion.kind) {
    case Completion::Kind::Picture:
        watch.pictureCame(m_engine.now(), true);
        check(place); // back at once
        break;
    case Completion::Kind::SamePicture:
    case Completion::Kind::Unchanged:
        watch.pictureCame(m_engine.now(), false);
        break;
    case Completion::Kind::Failure:
        watch.fetchFailed();
        check(place); // at once: a cam held for its password ticks no more
        break;
    case Completion::Kind::Unreadable:
        watch.fetchFailed();
        break;
    case Completion::Kind::NotPicture:
    case Completion::Kind::Overtaken:
        break;
    }
}

void DarkCamWatch::ticked(const CamPlace& place) {
    check(place);
}

void DarkCamWatch::camStopped(const CamPlace& place) {
    DarkWatch& watch = m_watches.at(size_t(place.index));
    if (watch.state() != DarkWatch::State::Fine)
        emit darkStateChanged(place.source->name(), {});
    watch.start({}, m_engine.now());
}

void DarkCamWatch::check(const CamPlace& place) {
    DarkWatch& watch = m_watches.at(size_t(place.index));
    const DarkWatch::State before = watch.state();
    const int64_t now = m_engine.now();
    const DarkWatch::Word word = watch.check(now);
    const QByteArray cam = place.source->name();
    if (watch.state() != before)
        emit darkStateChanged(cam, stateNote(place));
    if (word == DarkWatch::Word::None)
        return;
    const QString name = QString::fromLocal8Bit(cam);
    if (word == DarkWatch::Word::NoPicture)
        m_notifier.notify(tr("%1 has gone dark").arg(name),
                          tr("No picture for %1 min.").arg(watch.darkFor(now) / 60));
    else if (word == DarkWatch::Word::SamePicture)
        m_notifier.notify(tr("%1 shows the same picture").arg(name),
                          tr("The same picture for %1 h.").arg(watch.alerts().hoursUnchanged));
    else
        m_notifier.notify(tr("%1 is back").arg(name), tr("New pictures come again."));
}

QString DarkCamWatch::stateNote(const CamPlace& place) const {
    const DarkWatch& watch = m_watches.at(size_t(place.index));
    const int64_t darkFor = watch.darkFor(m_engine.now());
    switch (watch.state()) {
    case DarkWatch::State::NoPicture:
        return tr("no picture for %1 min").arg(darkFor / 60);
    case DarkWatch::State::SamePicture:
        return tr("the same picture for %1 h").arg(darkFor / 3600);
    case DarkWatch::State::Fine:
        break;
    }
    return {};
}
