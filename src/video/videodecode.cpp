#include "video/videodecode.h"

#include "imaging/picturecheck.h"
#include "video/libav.h"
#include "video/videobodies.h"

#include <cstring>

namespace {

struct SwsFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

bool tooLarge(QSize size) {
    return size.width() > maxPictureSide || size.height() > maxPictureSide;
}

DecodedPicture refusedAsTooLarge(QSize size) {
    return {{}, false, size, TooLargeToShowText(), PictureBound::TooLarge};
}

// Pixels of a picture as swscale takes them.
struct Planes {
    const uint8_t* data[4] = {};
    int strides[4] = {};
    AVPixelFormat format = AV_PIX_FMT_NONE;
    QSize size;
    int colourSpace = AVCOL_SPC_UNSPECIFIED;
    int range = AVCOL_RANGE_UNSPECIFIED;
};

// The full-range "J" formats are the plain ones with another range (swscale wants it so).
AVPixelFormat withoutRange(AVPixelFormat format, bool& fullRange) {
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        fullRange = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        fullRange = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        fullRange = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        fullRange = true;
        return AV_PIX_FMT_YUV440P;
    default:
        return format;
    }
}

bool takenBySwscale(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    return descriptor &&
           !(descriptor->flags &
             (AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM)) &&
           sws_isSupportedInput(format) > 0;
}

QImage scaled(const Planes& planes, QSize target) {
    bool fullRange = planes.range == AVCOL_RANGE_JPEG;
    const AVPixelFormat format = withoutRange(planes.format, fullRange);
    if (!takenBySwscale(format))
        return {};
    // each decoding thread keeps its scaler while the sizes and formats stay the same
    thread_local std::unique_ptr<SwsContext, SwsFreer> cached;
    cached.reset(sws_getCachedContext(cached.release(), planes.size.width(), planes.size.height(),
                                      format, target.width(), target.height(), AV_PIX_FMT_BGRA,
                                      SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!cached)
        return {};
    const int space = planes.colourSpace == AVCOL_SPC_UNSPECIFIED ||
                              planes.colourSpace == AVCOL_SPC_RGB || planes.colourSpace > 14
                          ? SWS_CS_DEFAULT
                          : planes.colourSpace;
    sws_setColorspaceDetails(cached.get(), sws_getCoefficients(space), fullRange ? 1 : 0,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    // BGRA in memory is QImage's RGB32 (0xffRRGGBB) on this little-endian machine, opaque
    QImage picture(target, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    uint8_t* destination[4] = {picture.bits(), nullptr, nullptr, nullptr};
    const int destinationStrides[4] = {int(picture.bytesPerLine()), 0, 0, 0};
    if (sws_scale(cached.get(), planes.data, planes.strides, 0, planes.size.height(), destination,
                  destinationStrides) <= 0)
        return {};
    return picture;
}

DecodedPicture finish(const Planes& planes, QSize fullSize, QSize fitAtLeast) {
    const QSize target = VideoScaleSize(planes.size, VideoScaleSize(fullSize, fitAtLeast));
    const QImage picture = scaled(planes, target);
    return {picture, !picture.isNull() && target == fullSize, fullSize, {}};
}

// The largest reduction a decoder can make by itself (JPEG's 1/2, 1/4, 1/8) that still covers
// the fit.
int lowResolution(const AVCodec* codec, QSize size, QSize fitAtLeast) {
    int chosen = 0;
    if (fitAtLeast.isEmpty() || size.isEmpty())
        return 0;
    for (int step = 1; step <= codec->max_lowres; ++step)
        if ((size.width() >> step) >= fitAtLeast.width() &&
            (size.height() >> step) >= fitAtLeast.height())
            chosen = step;
    return chosen;
}

FrameHandle decodeKey(const KeyPicture& key, QSize fitAtLeast) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get_by_name(key.codec.c_str());
    const AVCodec* codec = descriptor ? avcodec_find_decoder(descriptor->id) : nullptr;
    if (!codec || descriptor->type != AVMEDIA_TYPE_VIDEO)
        return {};
    CodecHandle context(avcodec_alloc_context3(codec));
    if (!context)
        return {};
    context->thread_count = 1; // the decode workers are the threads
    context->max_pixels = int64_t(maxPictureSide) * maxPictureSide;
    context->width = key.size.width();
    context->height = key.size.height();
    context->lowres = lowResolution(codec, key.size, fitAtLeast);
    if (!key.extradata.isEmpty()) {
        const auto size = size_t(key.extradata.size());
        context->extradata = static_cast<uint8_t*>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!context->extradata)
            return {};
        std::memcpy(context->extradata, key.extradata.constData(), size);
        context->extradata_size = int(size);
    }
    PacketHandle packet(av_packet_alloc());
    FrameHandle frame(av_frame_alloc());
    if (!packet || !frame || avcodec_open2(context.get(), codec, nullptr) < 0 ||
        av_new_packet(packet.get(), int(key.picture.size())) < 0)
        return {};
    std::memcpy(packet->data, key.picture.constData(), size_t(key.picture.size()));
    packet->flags |= AV_PKT_FLAG_KEY;
    // a decoder that holds pictures back for reordering gives them up when flushed
    if (avcodec_send_packet(context.get(), packet.get()) < 0)
        return {};
    avcodec_send_packet(context.get(), nullptr);
    if (avcodec_receive_frame(context.get(), frame.get()) < 0 || frame->width <= 0 ||
        frame->height <= 0)
        return {};
    return frame;
}

DecodedPicture decodeKeyPicture(const QByteArray& body, QSize fitAtLeast) {
    const std::optional<KeyPicture> key = ReadKeyPicture(body);
    if (!key)
        return {};
    if (tooLarge(key->size))
        return refusedAsTooLarge(key->size);
    const FrameHandle frame = decodeKey(*key, fitAtLeast);
    if (!frame)
        return {};
    Planes planes;
    for (int i = 0; i < 4; ++i) {
        planes.data[i] = frame->data[i];
        planes.strides[i] = frame->linesize[i];
    }
    planes.format = AVPixelFormat(frame->format);
    planes.size = QSize(frame->width, frame->height);
    planes.colourSpace = frame->colorspace;
    planes.range = frame->color_range;
    // a picture decoded reduced is still as large as its stream says
    const QSize fullSize = planes.size.width() < key->size.width() ? key->size : planes.size;
    if (tooLarge(fullSize))
        return refusedAsTooLarge(fullSize);
    return finish(planes, fullSize, fitAtLeast);
}

DecodedPicture decodeRawPicture(const QByteArray& body, QSize fitAtLeast) {
    const std::optional<RawPictureHead> head = ReadRawHead(body);
    if (!head)
        return {};
    if (tooLarge(head->size))
        return refusedAsTooLarge(head->size);
    Planes planes;
    planes.format = av_get_pix_fmt(head->pixelFormat.c_str());
    planes.size = head->size;
    planes.colourSpace = head->colourSpace;
    planes.range = head->range;
    const int width = head->size.width(), height = head->size.height();
    if (planes.format == AV_PIX_FMT_NONE ||
        av_image_get_buffer_size(planes.format, width, height, 1) != body.size() - rawHeadBytes)
        return {};
    uint8_t* data[4] = {};
    const auto* pixels = reinterpret_cast<const uint8_t*>(body.constData()) + rawHeadBytes;
    if (av_image_fill_arrays(data, planes.strides, pixels, planes.format, width, height, 1) < 0)
        return {};
    for (int i = 0; i < 4; ++i)
        planes.data[i] = data[i];
    return finish(planes, head->size, fitAtLeast);
}

} // namespace

QSize VideoScaleSize(QSize full, QSize fitAtLeast) {
    if (fitAtLeast.isEmpty() || full.isEmpty())
        return full;
    const QSize covering = full.scaled(fitAtLeast, Qt::KeepAspectRatioByExpanding);
    if (covering.width() >= full.width() || covering.height() >= full.height())
        return full;
    return covering.expandedTo(QSize(1, 1));
}

DecodedPicture DecodeVideoPicture(const QByteArray& format, const QByteArray& body,
                                  QSize fitAtLeast) {
    InstallVideoLog();
    if (format == rawPictureFormat)
        return decodeRawPicture(body, fitAtLeast);
    if (IsVideoPictureFormat(format))
        return decodeKeyPicture(body, fitAtLeast);
    return {};
}
