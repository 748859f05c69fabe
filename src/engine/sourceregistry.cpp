#include "engine/sourceregistry.h"

#include "common/background.h"
#include "imaging/picturecheck.h"
#include "imaging/picturedecoder.h"
#include "net/camfetcher.h"
#include "net/proxymemory.h"
#include "net/receptionbudget.h"
#include "video/videodecode.h"
#include "video/videosource.h"

namespace {

PictureSource* makeHttpSource(const SourceServices& services, QObject* parent) {
    auto* source = new CamFetcher(parent, services.tickers);
    source->setPictureTest(IsWholeKnownPicture);
    source->setOtherKindTest(VideoSource::takesAnswer);
    source->setWorkers(services.workers);
    source->setProxyMemory(services.proxies);
    source->setReceptionBudget(services.budget);
    if (services.now)
        source->setClock(services.now);
    return source;
}

PictureSource* makeVideoSource(const SourceServices& services, QObject* parent) {
    auto* source = new VideoSource(parent);
    if (services.now)
        source->setClock(services.now);
    return source;
}

} // namespace

SourceRegistry::SourceRegistry(SourceServices services) : m_services(std::move(services)) {
    if (!m_services.budget)
        m_services.budget = std::make_shared<ReceptionBudget>(programReceptionBytes);
    if (!m_services.workers)
        m_services.workers = std::make_shared<BackgroundQueue>(2);
    if (!m_services.proxies)
        m_services.proxies = std::make_shared<ProxyMemory>();
    // still pictures and MJPEG streams over HTTP; first, as it takes what no other kind does
    m_kinds.push_back(
        {"http", [](const QByteArray&) { return true; }, nullptr, makeHttpSource, {}, nullptr});
    // video over RTSP, and HLS playlists an HTTP address turns out to give
    m_kinds.push_back({"video", VideoSource::takesAddress, VideoSource::takesAnswer,
                       makeVideoSource, "video/",
                       [](const QByteArray& format, const QByteArray& body, QSize fit) {
                           return DecodeVideoPicture(format, body, fit);
                       }});
}

QByteArray SourceRegistry::kindOf(const QByteArray& address) const {
    for (auto kind = m_kinds.rbegin(); kind != m_kinds.rend(); ++kind)
        if (kind->takesAddress && kind->takesAddress(address))
            return kind->name;
    return m_kinds.front().name;
}

QByteArray SourceRegistry::kindOfAnswer(const QByteArray& contentType,
                                        std::string_view firstBytes) const {
    for (const Kind& kind : m_kinds)
        if (kind.takesAnswer && kind.takesAnswer(contentType, firstBytes))
            return kind.name;
    return {};
}

PictureSource* SourceRegistry::make(const QByteArray& kind, QObject* parent) const {
    for (const Kind& known : m_kinds)
        if (known.name == kind)
            return known.make(m_services, parent);
    return m_kinds.front().make(m_services, parent);
}

SourceRegistry::CodedDecoder SourceRegistry::decoder() const {
    return [kinds = m_kinds](const QByteArray& format, const QByteArray& body, QSize fit) {
        for (const Kind& kind : kinds)
            if (kind.decode && !kind.formats.isEmpty() && format.startsWith(kind.formats))
                return kind.decode(format, body, fit);
        return DecodedPicture{};
    };
}
