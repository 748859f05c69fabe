#include "video/videostream.h"

#include "video/videobodies.h"
#include "video/videodecode.h"
#include "video/videoscale.h"
#include "video/videotexts.h"

#include <cstring>

std::optional<ReaderFailure> OpenStream(const std::string& url, const AVInputFormat* format,
                                        AVDictionary** options, InterruptGate& gate,
                                        bool withCredentials, OpenedStream& opened) {
    AVFormatContext* input = avformat_alloc_context();
    if (!input)
        return OpeningFailure(AVERROR(ENOMEM), withCredentials);
    input->interrupt_callback = gate.callback();
    gate.allow(10000);
    // freed by FFmpeg when the opening fails
    const int error = avformat_open_input(&input, url.c_str(), format, options);
    if (error < 0)
        return OpeningFailure(gate.expired() ? AVERROR_EXIT : error, withCredentials);
    opened.input.reset(input);
    opened.video = ChooseVideoStream(input);
    return std::nullopt;
}

int ChooseVideoStream(AVFormatContext* input) {
    int video = -1;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* stream = input->streams[i];
        if (video < 0 && stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            video = int(i);
        else
            stream->discard = AVDISCARD_ALL;
    }
    return video;
}

WaitingPicture KeyPictureOf(const std::string& codec, QSize size, const QByteArray& extradata,
                            const QByteArray& picture) {
    return {WriteKeyPicture({codec, size, extradata, picture}), KeyPictureFormat(codec), size};
}

WaitingPicture RawPictureOf(const AVFrame* frame, QSize fitAtLeast) {
    RawPictureHead head;
    head.fullSize = QSize(frame->width, frame->height);
    head.size = VideoScaleSize(head.fullSize, fitAtLeast);
    head.colourSpace = frame->colorspace;
    QByteArray body;
    AVPixelFormat format = AVPixelFormat(frame->format);
    if (head.size != head.fullSize) // made smaller here: no copy of the whole is kept waiting
        body = ReducedPlanes(PlanesOf(frame), head.size, rawHeadBytes, &format, &head.range);
    if (body.isEmpty()) {
        format = AVPixelFormat(frame->format);
        head.size = head.fullSize;
        head.range = frame->color_range;
        const int bytes = av_image_get_buffer_size(format, frame->width, frame->height, 1);
        if (bytes <= 0)
            return {};
        body = QByteArray(rawHeadBytes + bytes, Qt::Uninitialized);
        if (av_image_copy_to_buffer(reinterpret_cast<uint8_t*>(body.data()) + rawHeadBytes, bytes,
                                    frame->data, frame->linesize, format, frame->width,
                                    frame->height, 1) < 0)
            return {};
    }
    const char* name = av_get_pix_fmt_name(format);
    if (!name)
        return {};
    head.pixelFormat = name;
    const QByteArray written = WriteRawHead(head);
    std::memcpy(body.data(), written.constData(), rawHeadBytes);
    return {body, rawPictureFormat, head.fullSize};
}

std::optional<QByteArray> NewExtradata(const AVPacket* packet) {
    size_t size = 0;
    const uint8_t* data = av_packet_get_side_data(packet, AV_PKT_DATA_NEW_EXTRADATA, &size);
    if (!data || size == 0)
        return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
