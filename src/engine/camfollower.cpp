#include "engine/camfollower.h"

#include "camlist/camlistmodel.h"
#include "engine/camengine.h"
#include "source/picturesource.h"

CamFollower::CamFollower(CamEngine& engine, QObject* parent) : QObject(parent), m_engine(engine) {
    m_engine.addSink(this);
    connect(&m_engine, &CamEngine::ticked, this, [this](int index) {
        if (index != m_place)
            return;
        emit ticked(m_engine.nextRefreshText(index));
        emit age(m_engine.ageText(index));
    });
    connect(&m_engine, &CamEngine::fetchingChanged, this, [this](int index, bool on) {
        if (index == m_place)
            emit fetching(on);
    });
    connect(&m_engine, &CamEngine::wholePictureReady, this,
            [this](int index, const QImage& picture) {
                if (index == m_place && m_showing)
                    emit pictureArrived(picture);
            });
    connect(&m_engine, &CamEngine::detailsChanged, this, [this](int index) {
        if (index == m_place)
            emit detailsChanged(m_engine.detailsOf(index, m_engine.place(index).details));
    });
    connect(&m_engine, &CamEngine::placeStopped, this, [this](int index) {
        if (index == m_place)
            stopFollowing();
    });
}

CamFollower::~CamFollower() {
    m_engine.removeSink(this);
}

bool CamFollower::hasPlace() const {
    return m_place >= 0 && m_place < CamEngine::maxRunningCams;
}

void CamFollower::stopFollowing() {
    if (m_showing && m_place >= 0)
        m_engine.wantWhole(m_place, false);
    m_place = -1;
    m_showing = false;
    emit stopped();
}

void CamFollower::follow(int index) {
    if (index < 0 || index >= CamEngine::maxRunningCams)
        return; // only places 0 to 23 ever run
    if (!m_showing || index != m_place) {
        if (m_showing && m_place >= 0)
            m_engine.wantWhole(m_place, false);
        m_engine.wantWhole(index, true);
    }
    m_place = index;
    m_showing = true;
    const CamPlace& place = m_engine.place(index);
    const bool whole = !place.wholePicture.isNull();
    const QImage shown = whole ? place.wholePicture : place.shownPicture;
    const QSize size = place.shownSize.isValid() ? place.shownSize : shown.size();
    // the view measures the picture when it is chosen; without one it does so at the first
    m_withoutPicture = shown.isNull();
    emit followed(shown, size, m_engine.detailsOf(index), m_engine.nextRefreshText(index));
    emit age(m_engine.ageText(index));
    if (!whole)
        m_engine.requestWholePicture(index);
}

void CamFollower::followNextRunning(int step) {
    const int count = CamEngine::maxRunningCams;
    const int from = m_place >= 0 ? m_place : (step > 0 ? count - 1 : 0);
    for (int offset = 1; offset <= count; ++offset) {
        const int index = ((from + step * offset) % count + count) % count;
        if (m_engine.isRunning(index)) {
            if (index != m_place)
                follow(index);
            return;
        }
    }
}

void CamFollower::completed(const CamPlace& place, const Completion& completion) {
    if (place.index != m_place || completion.kind != Completion::Kind::Picture)
        return;
    const DecodedPicture& decoded = completion.decoded.decoded;
    if (decoded.whole || !m_showing)
        emit pictureArrived(decoded.picture);
    if (m_showing && m_withoutPicture)
        follow(place.index); // the first picture is measured as a click would
    else if (m_showing && !decoded.whole)
        m_engine.requestWholePicture(place.index); // followed while it was decoded small
}

PictureToSave CamFollower::picture() const {
    if (m_place < 0)
        return {};
    const CamPlace& place = m_engine.place(m_place);
    if (!place.wholePicture.isNull())
        return {place.wholePicture, {}};
    // a coded picture (a video's) is saved as shown until its whole picture is at hand
    return place.fileBytes.isEmpty() || !place.fileFormat.isEmpty()
               ? PictureToSave{place.shownPicture, {}}
               : PictureToSave{{}, place.fileBytes};
}

QByteArray CamFollower::name() const {
    return m_place >= 0 ? m_engine.source(m_place)->name() : QByteArray();
}

CamNames CamFollower::names() const {
    const QByteArray cam = name();
    if (cam.isEmpty())
        return {};
    CamNames names = m_engine.camList().namesOf(cam.toStdString());
    if (names.current != cam) // a cam no longer listed under that name
        names = {cam, {}};
    return names;
}
