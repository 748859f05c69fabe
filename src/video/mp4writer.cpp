#include "video/mp4writer.h"

#include "video/libav.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <QPainter>
#include <algorithm>

struct Mp4Writer::Parts {
    AVFormatContext* format = nullptr;
    AVIOContext* io = nullptr;
    CodecHandle codec;
    FrameHandle frame;
    PacketHandle packet;
    SwsContext* scale = nullptr;
    AVStream* stream = nullptr;
    bool headerWritten = false;

    ~Parts() {
        sws_freeContext(scale);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        avformat_free_context(format);
    }
};

namespace {

constexpr int ioBufferSize = 1 << 16;

// (FFmpeg before 7 hands the bytes without const)
int writeBytes(void* opaque, uint8_t* data, int length) {
    auto* writer = static_cast<Mp4Writer*>(opaque);
    return writer->writeAt(data, length) ? length : AVERROR(EIO);
}

int64_t seekTo(void* opaque, int64_t offset, int whence) {
    return static_cast<Mp4Writer*>(opaque)->seekTo(offset, whence);
}

} // namespace

Mp4Writer::Mp4Writer(FilmBytes bytes, QSize size, int framesPerSecond)
    : m_bytes(std::move(bytes)),
      m_size(std::max(2, size.width() & ~1), std::max(2, size.height() & ~1)),
      m_fps(std::clamp(framesPerSecond, 1, 120)), m_parts(std::make_unique<Parts>()) {}

Mp4Writer::~Mp4Writer() = default;

bool Mp4Writer::fail(std::string why) {
    if (m_error.empty())
        m_error = std::move(why);
    return false;
}

bool Mp4Writer::fail(const char* what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return fail(std::string(what) + ": " + text);
}

bool Mp4Writer::writeAt(const uint8_t* data, int length) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size_t(length));
    const uint64_t end = m_bytes.size();
    // over what is there, then on past the end
    const size_t over = size_t(std::min<uint64_t>(bytes.size(), end - std::min(end, m_position)));
    if (over > 0 && !m_bytes.patch(m_position, bytes.substr(0, over)))
        return false;
    if (over < bytes.size() && !m_bytes.append(bytes.substr(over)))
        return false;
    m_position += bytes.size();
    return true;
}

int64_t Mp4Writer::seekTo(int64_t offset, int whence) {
    const int64_t end = int64_t(m_bytes.size());
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return end;
    case SEEK_SET:
        break;
    case SEEK_CUR:
        offset += int64_t(m_position);
        break;
    case SEEK_END:
        offset += end;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (offset < 0 || offset > end)
        return AVERROR(EINVAL); // the muxer never leaves a hole
    m_position = uint64_t(offset);
    return offset;
}

bool Mp4Writer::begin() {
    InstallVideoLog(); // the encoder's chatter goes to the log, not the terminal
    Parts& p = *m_parts;
    if (avformat_alloc_output_context2(&p.format, nullptr, "mp4", nullptr) < 0 || !p.format)
        return fail("FFmpeg cannot write MP4 files");
    // libx264 where FFmpeg has it; any H.264 encoder else
    const AVCodec* encoder = avcodec_find_encoder_by_name("libx264");
    if (!encoder)
        encoder = avcodec_find_encoder(AV_CODEC_ID_H264);
    if (!encoder)
        return fail("this FFmpeg has no H.264 encoder");
    p.codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext& codec = *p.codec;
    codec.width = m_size.width();
    codec.height = m_size.height();
    codec.pix_fmt = AV_PIX_FMT_YUV420P;
    codec.time_base = {1, m_fps};
    codec.framerate = {m_fps, 1};
    codec.gop_size = 2 * m_fps;
    codec.max_b_frames = 0; // every picture shows in the order it came, from the first
    if (p.format->oformat->flags & AVFMT_GLOBALHEADER)
        codec.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(codec.priv_data, "preset", "veryfast", 0);
    av_opt_set(codec.priv_data, "crf", "23", 0);
    if (const int code = avcodec_open2(&codec, encoder, nullptr); code < 0)
        return fail("the H.264 encoder did not open", code);
    p.stream = avformat_new_stream(p.format, nullptr);
    if (!p.stream || avcodec_parameters_from_context(p.stream->codecpar, &codec) < 0)
        return fail("the film's stream could not be made");
    p.stream->time_base = codec.time_base;
    auto* buffer = static_cast<unsigned char*>(av_malloc(ioBufferSize));
    p.io = avio_alloc_context(buffer, ioBufferSize, 1, this, nullptr, writeBytes, ::seekTo);
    if (!p.io)
        return fail("out of memory");
    p.io->seekable = AVIO_SEEKABLE_NORMAL;
    p.format->pb = p.io;
    if (const int code = avformat_write_header(p.format, nullptr); code < 0)
        return fail("the film's header could not be written", code);
    p.headerWritten = true;
    p.frame.reset(av_frame_alloc());
    p.packet.reset(av_packet_alloc());
    p.frame->format = AV_PIX_FMT_YUV420P;
    p.frame->width = codec.width;
    p.frame->height = codec.height;
    if (av_frame_get_buffer(p.frame.get(), 0) < 0)
        return fail("out of memory");
    p.scale = sws_getContext(codec.width, codec.height, AV_PIX_FMT_BGRA, codec.width, codec.height,
                             AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    return p.scale ? true : fail("the pictures cannot be converted for the film");
}

bool Mp4Writer::addPicture(const QImage& picture) {
    Parts& p = *m_parts;
    if (!p.headerWritten || !m_error.empty())
        return false;
    QImage canvas(m_size, QImage::Format_RGB32);
    if (picture.size() == m_size) {
        canvas = picture.convertToFormat(QImage::Format_RGB32);
    } else { // fitted on black, its proportions kept
        canvas.fill(Qt::black);
        const QImage scaled = picture.scaled(m_size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter(&canvas).drawImage((m_size.width() - scaled.width()) / 2,
                                    (m_size.height() - scaled.height()) / 2, scaled);
    }
    if (av_frame_make_writable(p.frame.get()) < 0)
        return fail("out of memory");
    const uint8_t* source[] = {canvas.constBits()};
    const int stride[] = {int(canvas.bytesPerLine())};
    sws_scale(p.scale, source, stride, 0, m_size.height(), p.frame->data, p.frame->linesize);
    p.frame->pts = m_frames;
    if (const int code = avcodec_send_frame(p.codec.get(), p.frame.get()); code < 0)
        return fail("a picture could not be encoded", code);
    ++m_frames;
    return drain(false);
}

bool Mp4Writer::drain(bool flush) {
    Parts& p = *m_parts;
    for (;;) {
        const int code = avcodec_receive_packet(p.codec.get(), p.packet.get());
        if (code == AVERROR(EAGAIN) || (flush && code == AVERROR_EOF))
            return true;
        if (code < 0)
            return fail("a picture could not be encoded", code);
        p.packet->duration = 1; // one picture long, the last one too
        av_packet_rescale_ts(p.packet.get(), p.codec->time_base, p.stream->time_base);
        p.packet->stream_index = p.stream->index;
        if (const int written = av_interleaved_write_frame(p.format, p.packet.get()); written < 0)
            return fail("the film could not be written", written);
    }
}

bool Mp4Writer::finish() {
    Parts& p = *m_parts;
    if (!p.headerWritten || !m_error.empty())
        return false;
    if (const int code = avcodec_send_frame(p.codec.get(), nullptr); code < 0)
        return fail("the film could not be finished", code);
    if (!drain(true))
        return false;
    if (const int code = av_write_trailer(p.format); code < 0)
        return fail("the film's index could not be written", code);
    avio_flush(p.io);
    return m_error.empty();
}
