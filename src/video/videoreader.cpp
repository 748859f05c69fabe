#include "video/videoreader.h"

#include "video/accessunits.h"
#include "video/hlsreader.h"
#include "video/libav.h"
#include "video/packetloop.h"
#include "video/videosource.h"
#include "video/videostream.h"
#include "video/videotexts.h"

namespace {

std::optional<ReaderFailure> readRtsp(ReaderLink& link, InterruptGate& gate,
                                      const VideoAddress& address, VideoTransport transport) {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "rtsp_transport", transport == VideoTransport::Udp ? "udp" : "tcp", 0);
    av_dict_set(&options, "allowed_media_types", "video", 0); // no sound is set up
    av_dict_set(&options, "timeout", "10000000", 0);          // microseconds
    av_dict_set(&options, "protocol_whitelist", "rtsp,rtsps,tcp,udp,rtp,tls", 0);
    OpenedStream opened;
    std::optional<ReaderFailure> failure =
        OpenStream(address.url, nullptr, &options, gate, address.withCredentials, opened);
    av_dict_free(&options);
    if (failure)
        return failure;
    if (opened.video < 0)
        return ReaderFailure{VideoSource::tr("the stream holds no video"),
                             FetchFailure::NotPicture};
    StreamFacts facts;
    facts.codec = CodecName(opened.input->streams[opened.video]->codecpar->codec_id);
    link.connected(facts);
    PacketLoop loop(link, gate, opened.input.get(), opened.video, facts);
    if (AccessUnits::serves(opened.input->streams[opened.video]->codecpar->codec_id)) {
        // before the first packet is read, which would make FFmpeg's parser
        opened.input->flags |= AVFMT_FLAG_NOPARSE;
        loop.gatherAccessUnits();
    }
    return loop.run();
}

} // namespace

void RunVideoReader(ReaderLink& link, const VideoAddress& address, VideoTransport transport) {
    InstallVideoLog();
    InterruptGate gate(link.stopFlag());
    std::optional<ReaderFailure> failure = address.protocol == VideoProtocol::Rtsp
                                               ? readRtsp(link, gate, address, transport)
                                               : ReadHls(link, gate, address);
    link.finished(link.stopping() ? std::nullopt : failure);
}
