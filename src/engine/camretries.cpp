#include "engine/camretries.h"

#include "engine/camengine.h"
#include "source/picturesource.h"

#include <QUrl>

namespace {

QString hostOf(const CamPlace& place) {
    return QUrl(QString::fromUtf8(place.source->address())).host().toLower();
}

} // namespace

CamRetries::CamRetries(CamEngine& engine, QObject* parent) : QObject(parent), m_engine(engine) {
    m_engine.addSink(this);
}

CamRetries::~CamRetries() {
    m_engine.removeSink(this);
}

bool CamRetries::mayRetry(const CamPlace& place) const {
    const PictureSource& source = *place.source;
    return place.running && !source.isFetching() && !source.isStreaming() && !source.isHalted() &&
           !source.isWaitingForCredentials() && source.failures() > 0;
}

int CamRetries::retryAll() {
    int asked = 0;
    for (int index = 0; index < CamEngine::placeCount; ++index)
        if (mayRetry(m_engine.place(index))) {
            m_engine.refreshNow(index);
            ++asked;
        }
    return asked;
}

void CamRetries::completed(const CamPlace& place, const Completion& completion) {
    if (completion.kind != Completion::Kind::Picture &&
        completion.kind != Completion::Kind::Unchanged &&
        completion.kind != Completion::Kind::SamePicture)
        return;
    // only those that could not reach the server: one the server refused keeps its pace; the
    // host is read only when some cam waits so (not for every picture of every cam)
    QString host;
    for (int index = 0; index < CamEngine::placeCount; ++index) {
        const CamPlace& other = m_engine.place(index);
        if (index == place.index || !other.freshness.isUnreachable() || !mayRetry(other))
            continue;
        if (host.isEmpty() && (host = hostOf(place)).isEmpty())
            return;
        if (hostOf(other) == host)
            m_engine.refreshNow(index);
    }
}
