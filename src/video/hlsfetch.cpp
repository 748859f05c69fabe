#include "video/hlsfetch.h"

#include "video/videoaddress.h"
#include "video/videosource.h"
#include "video/videostream.h"
#include "video/videotexts.h"

#include <cstring>

namespace {

// A segment held in memory, read by FFmpeg as if it were a file.
struct MemoryInput {
    const QByteArray* bytes;
    int64_t at = 0;
};

int readMemory(void* opaque, uint8_t* buffer, int size) {
    auto* input = static_cast<MemoryInput*>(opaque);
    const int64_t left = input->bytes->size() - input->at;
    if (left <= 0)
        return AVERROR_EOF;
    const int count = int(std::min<int64_t>(left, size));
    std::memcpy(buffer, input->bytes->constData() + input->at, size_t(count));
    input->at += count;
    return count;
}

int64_t seekMemory(void* opaque, int64_t offset, int whence) {
    auto* input = static_cast<MemoryInput*>(opaque);
    const int64_t size = input->bytes->size();
    if (whence & AVSEEK_SIZE)
        return size;
    whence &= ~AVSEEK_FORCE;
    const int64_t to = whence == SEEK_SET   ? offset
                       : whence == SEEK_CUR ? input->at + offset
                       : whence == SEEK_END ? size + offset
                                            : -1;
    if (to < 0 || to > size)
        return AVERROR(EINVAL);
    return input->at = to;
}

struct IoFreer {
    void operator()(AVIOContext* io) const {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

} // namespace

std::optional<ReaderFailure> FetchBytes(const std::string& url, std::optional<HlsByteRange> range,
                                        int64_t limit, InterruptGate& gate, bool withCredentials,
                                        QByteArray& bytes) {
    if (!IsPlainWebAddress(url))
        return ReaderFailure{
            VideoSource::tr("the playlist names an address that is not on the web"),
            FetchFailure::Protocol};
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "http,https,tcp,tls", 0);
    av_dict_set(&options, "tls_verify", "1", 0);
    av_dict_set(&options, "rw_timeout", "10000000", 0);
    if (range) {
        av_dict_set_int(&options, "offset", range->offset, 0);
        av_dict_set_int(&options, "end_offset", range->offset + range->length, 0);
    }
    AVIOInterruptCB callback = gate.callback();
    AVIOContext* io = nullptr;
    gate.allow(10000);
    const int error = avio_open2(&io, url.c_str(), AVIO_FLAG_READ, &callback, &options);
    av_dict_free(&options);
    if (error < 0)
        return OpeningFailure(gate.expired() ? AVERROR_EXIT : error, withCredentials);
    bytes.clear();
    std::optional<ReaderFailure> failure;
    unsigned char chunk[32768];
    for (;;) {
        gate.allow(10000);
        const int got = avio_read(io, chunk, int(sizeof chunk));
        if (got == AVERROR_EOF)
            break;
        if (got < 0) {
            failure =
                gate.stopped() ? std::nullopt : std::optional(ReadingFailure(got, gate.expired()));
            break;
        }
        if (bytes.size() + got > limit) {
            failure =
                ReaderFailure{VideoSource::tr("the playlist names a segment too large to read"),
                              FetchFailure::Protocol};
            break;
        }
        bytes.append(reinterpret_cast<const char*>(chunk), got);
    }
    avio_closep(&io);
    if (gate.stopped())
        return ReaderFailure{QString(), FetchFailure::Connection}; // not told: the cam stopped
    return failure;
}

std::optional<ReaderFailure> NewestKeyPicture(const QByteArray& segment, double seconds,
                                              InterruptGate& gate, StreamFacts& facts,
                                              std::optional<WaitingPicture>& picture) {
    MemoryInput memory{&segment};
    constexpr int bufferSize = 32768;
    auto* buffer = static_cast<uint8_t*>(av_malloc(bufferSize));
    if (!buffer)
        return std::nullopt;
    const std::unique_ptr<AVIOContext, IoFreer> io(
        avio_alloc_context(buffer, bufferSize, 0, &memory, &readMemory, nullptr, &seekMemory));
    if (!io) {
        av_free(buffer);
        return std::nullopt;
    }
    AVFormatContext* input = avformat_alloc_context();
    if (!input)
        return std::nullopt;
    input->pb = io.get();
    input->flags |= AVFMT_FLAG_CUSTOM_IO;
    input->interrupt_callback = gate.callback();
    if (avformat_open_input(&input, nullptr, nullptr, nullptr) < 0)
        return std::nullopt; // not a segment FFmpeg can read: the next may be
    const FormatHandle opened(input);
    const int video = ChooseVideoStream(input);
    if (video < 0)
        return std::nullopt;
    const AVCodecParameters* parameters = input->streams[video]->codecpar;
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(parameters->codec_id);
    facts.codec = CodecName(parameters->codec_id);
    if (!descriptor || !avcodec_find_decoder(parameters->codec_id))
        return CannotDecode(facts.codec);
    facts.fragmentedMp4 = std::strstr(input->iformat->name, "mp4") != nullptr;
    QByteArray extradata(reinterpret_cast<const char*>(parameters->extradata),
                         parameters->extradata ? parameters->extradata_size : 0);
    const PacketHandle packet(av_packet_alloc());
    QByteArray newest; // the last key picture, its packets of the same time gathered
    int64_t newestPts = AV_NOPTS_VALUE;
    bool gathering = false;
    int pictures = 0;
    while (packet && av_read_frame(input, packet.get()) >= 0) {
        if (packet->stream_index == video) {
            ++pictures;
            if (std::optional<QByteArray> fresh = NewExtradata(packet.get()))
                extradata = *fresh;
            const bool key = packet->flags & AV_PKT_FLAG_KEY;
            const auto bytes =
                QByteArray::fromRawData(reinterpret_cast<const char*>(packet->data), packet->size);
            if (gathering &&
                ((packet->pts == newestPts && newestPts != AV_NOPTS_VALUE) ||
                 (key && (packet->pts == AV_NOPTS_VALUE || newestPts == AV_NOPTS_VALUE)))) {
                newest += bytes;
            } else if (key) {
                newest = QByteArray(bytes.constData(), bytes.size());
                newestPts = packet->pts;
            }
            gathering = key || (gathering && packet->pts == newestPts);
        }
        av_packet_unref(packet.get());
    }
    if (seconds > 0)
        facts.picturesPerSecond = pictures / seconds;
    if (!newest.isEmpty()) {
        const QSize size(parameters->width, parameters->height);
        picture =
            KeyPictureOf(descriptor->name, size.isEmpty() ? facts.size : size, extradata, newest);
    }
    return std::nullopt;
}
