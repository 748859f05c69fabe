// The newest segment of a live playlist at each interval, and nothing between.
#include "imaging/picturecheck.h"
#include "video/hlsfetch.h"
#include "video/hlsreader.h"
#include "video/videoaddress.h"
#include "video/videodecode.h"
#include "video/videotexts.h"

#include <algorithm>

namespace {

// Fetches what a segment needs: its initialisation section (kept while it stays the same) and
// its own bytes.
class SegmentFetcher {
  public:
    SegmentFetcher(InterruptGate& gate, const std::string& mediaUrl, bool withCredentials)
        : m_gate(gate), m_mediaUrl(mediaUrl), m_withCredentials(withCredentials) {}

    std::optional<ReaderFailure> fetch(const HlsSegment& segment, QByteArray& bytes) {
        if (!segment.initUri.empty()) {
            const std::string key =
                segment.initUri + "@" +
                std::to_string(segment.initRange ? segment.initRange->offset : 0);
            if (key != m_initKey) {
                m_initKey.clear();
                if (auto failure = FetchBytes(address(segment.initUri), segment.initRange,
                                              maxPlaylistBytes, m_gate, m_withCredentials, m_init))
                    return failure;
                m_initKey = key;
            }
        }
        QByteArray own;
        if (auto failure = FetchBytes(address(segment.uri), segment.range, maxSegmentBytes, m_gate,
                                      m_withCredentials, own))
            return failure;
        bytes = segment.initUri.empty() ? own : m_init + own;
        return std::nullopt;
    }

  private:
    std::string address(const std::string& uri) const {
        return WithUserInfoOf(m_mediaUrl, ResolveHlsUri(m_mediaUrl, uri));
    }

    InterruptGate& m_gate;
    const std::string& m_mediaUrl;
    bool m_withCredentials;
    std::string m_initKey;
    QByteArray m_init;
};

} // namespace

std::optional<ReaderFailure> ReadNewestSegments(ReaderLink& link, InterruptGate& gate,
                                                bool withCredentials, const HlsChoice& choice,
                                                const std::function<bool()>& restart) {
    StreamFacts facts = choice.facts;
    facts.newestSegmentOnly = true;
    HlsPlaylist media = choice.media;
    SegmentFetcher fetcher(gate, choice.mediaUrl, withCredentials);
    std::optional<int64_t> lastSequence;
    const int64_t start = SteadyMs();
    int64_t nextDue = start, lastNew = start;
    bool fresh = true, decodes = false;
    while (!link.stopping()) {
        const int64_t now = SteadyMs();
        if (now < nextDue) {
            link.waitMs(std::min<int64_t>(nextDue - now, 1000));
            continue;
        }
        if (restart())
            return std::nullopt;
        if (!std::exchange(fresh, false))
            if (auto failure = FetchPlaylist(choice.mediaUrl, gate, withCredentials, media))
                return failure;
        const int64_t target =
            std::clamp<int64_t>(int64_t(media.targetSeconds * 1000), 1000, 60000);
        if (media.segments.empty() ||
            (lastSequence && media.segments.back().sequence == *lastSequence)) {
            // nothing new yet: asked again soon, but a live stream that stands still has failed
            const int64_t silence = std::max<int64_t>(10000, 3 * target);
            if (!media.ended && now - lastNew > silence)
                return NoPictureWithin(silence);
            nextDue = now + target / 2;
            continue;
        }
        const HlsSegment& newest = media.segments.back();
        QByteArray bytes;
        if (auto failure = fetcher.fetch(newest, bytes))
            return failure;
        std::optional<WaitingPicture> picture;
        if (auto failure = NewestKeyPicture(bytes, newest.seconds, gate, facts, picture))
            return failure;
        lastSequence = newest.sequence;
        lastNew = now;
        nextDue = std::max(nextDue + int64_t(link.interval()) * 1000, now + target / 2);
        if (picture && !decodes) {
            // the first is decoded here, small, to learn its size and that it decodes at all
            const DecodedPicture probe = ProbeVideoPicture(picture->format, picture->body);
            if (probe.bound != PictureBound::None)
                return ReaderFailure{probe.refusal, FetchFailure::Protocol};
            decodes = !probe.picture.isNull();
            facts.size = probe.fullSize;
            picture->size = probe.fullSize;
        }
        link.updateFacts(facts);
        if (!decodes && now - start > 10000)
            return NoPictureWithin(now - start);
        if (picture && decodes)
            link.handOver(std::move(*picture));
    }
    return std::nullopt;
}
