#include "video/hlsreader.h"

#include "video/hlsfetch.h"
#include "video/packetloop.h"
#include "video/videosource.h"
#include "video/videostream.h"
#include "video/videotexts.h"

namespace {

// Only the newest segment is fetched when the interval lasts a segment or more. Encrypted
// segments are left to FFmpeg's own reader, which decrypts them.
bool newestSegmentOnly(int32_t intervalSecs, const HlsPlaylist& media) {
    return intervalSecs > 0 && media.targetSeconds > 0 && intervalSecs >= media.targetSeconds &&
           !media.encrypted;
}

int chosenVariant(const ReaderLink& link, const std::vector<HlsVariant>& variants) {
    bool whole = false;
    const QSize shown = link.wantedSize(&whole);
    return ChooseHlsVariant(variants, shown, whole);
}

std::optional<ReaderFailure> choose(const ReaderLink& link, InterruptGate& gate,
                                    const VideoAddress& address, HlsChoice& choice,
                                    std::vector<HlsVariant>& variants) {
    HlsPlaylist playlist;
    if (auto failure = FetchPlaylist(address.url, gate, address.withCredentials, playlist))
        return failure;
    choice.mediaUrl = address.url;
    choice.facts.hls = true;
    if (playlist.kind == HlsPlaylist::Kind::Master) {
        variants = playlist.variants;
        choice.variant = chosenVariant(link, variants);
        const HlsVariant& variant = variants[size_t(choice.variant)];
        choice.mediaUrl = WithUserInfoOf(address.url, ResolveHlsUri(address.url, variant.uri));
        choice.facts.variants = int(variants.size());
        choice.facts.variantSize = variant.size;
        choice.facts.variantBandwidth = variant.bandwidth;
        if (auto failure = FetchPlaylist(choice.mediaUrl, gate, address.withCredentials, playlist))
            return failure;
        if (playlist.kind != HlsPlaylist::Kind::Media)
            return NotAPlaylist();
    }
    choice.media = playlist;
    choice.facts.segmentSecs = playlist.targetSeconds;
    choice.facts.fragmentedMp4 =
        !playlist.segments.empty() && !playlist.segments.back().initUri.empty();
    return std::nullopt;
}

std::optional<ReaderFailure> readFollowing(ReaderLink& link, InterruptGate& gate,
                                           const VideoAddress& address, const HlsChoice& choice,
                                           const std::function<bool()>& restart) {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "http,https,tcp,tls,crypto", 0);
    av_dict_set(&options, "tls_verify", "1", 0);
    av_dict_set(&options, "rw_timeout", "10000000", 0);
    OpenedStream opened;
    std::optional<ReaderFailure> failure =
        OpenStream(choice.mediaUrl, av_find_input_format("hls"), &options, gate,
                   address.withCredentials, opened);
    av_dict_free(&options);
    if (failure)
        return failure;
    if (opened.video < 0)
        return ReaderFailure{VideoSource::tr("the stream holds no video"),
                             FetchFailure::NotPicture};
    PacketLoop loop(link, gate, opened.input.get(), opened.video, choice.facts);
    loop.setPacing(true); // a segment's pictures come all at once
    loop.setRestart(restart);
    return loop.run();
}

} // namespace

std::optional<ReaderFailure> FetchPlaylist(const std::string& url, InterruptGate& gate,
                                           bool withCredentials, HlsPlaylist& playlist) {
    QByteArray bytes;
    if (auto failure =
            FetchBytes(url, std::nullopt, maxPlaylistBytes, gate, withCredentials, bytes))
        return failure;
    playlist = ParseHlsPlaylist(std::string_view(bytes.constData(), size_t(bytes.size())));
    if (playlist.kind == HlsPlaylist::Kind::Invalid)
        return NotAPlaylist();
    return std::nullopt;
}

std::optional<ReaderFailure> ReadHls(ReaderLink& link, InterruptGate& gate,
                                     const VideoAddress& address) {
    bool connected = false;
    while (!link.stopping()) {
        HlsChoice choice;
        std::vector<HlsVariant> variants;
        if (auto failure = choose(link, gate, address, choice, variants))
            return failure;
        const bool newestOnly = newestSegmentOnly(link.interval(), choice.media);
        choice.facts.newestSegmentOnly = newestOnly;
        if (!std::exchange(connected, true))
            link.connected(choice.facts);
        else
            link.updateFacts(choice.facts);
        // read anew when the interval changes the way of reading, or the shown size the variant
        const auto restart = [&] {
            return newestSegmentOnly(link.interval(), choice.media) != newestOnly ||
                   (!variants.empty() && chosenVariant(link, variants) != choice.variant);
        };
        std::optional<ReaderFailure> failure =
            newestOnly ? ReadNewestSegments(link, gate, address.withCredentials, choice, restart)
                       : readFollowing(link, gate, address, choice, restart);
        if (failure)
            return failure;
    }
    return std::nullopt;
}
