#include "video/videodecode.h"

#include "imaging/picturecheck.h"
#include "video/libav.h"
#include "video/videobodies.h"
#include "video/videoscale.h"

#include <cstring>
#include <string>

namespace {

bool tooLarge(QSize size) {
    return size.width() > maxPictureSide || size.height() > maxPictureSide;
}

DecodedPicture refusedAsTooLarge(QSize size) {
    return {{}, false, size, TooLargeToShowText(), PictureBound::TooLarge};
}

DecodedPicture finish(const Planes& planes, QSize fullSize, QSize fitAtLeast) {
    // a picture made smaller before (by its decoder, by the reading thread) is not enlarged
    const QSize target = VideoScaleSize(planes.size, VideoScaleSize(fullSize, fitAtLeast));
    const QImage picture = ScaledPicture(planes, target);
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

CodecHandle openDecoder(const AVCodec* codec, const KeyPicture& key, int lowres) {
    CodecHandle context(avcodec_alloc_context3(codec));
    if (!context)
        return {};
    context->thread_count = 1; // the decode workers are the threads
    context->max_pixels = int64_t(maxPictureSide) * maxPictureSide;
    context->width = key.size.width();
    context->height = key.size.height();
    context->lowres = lowres;
    if (!key.extradata.isEmpty()) {
        const auto size = size_t(key.extradata.size());
        context->extradata = static_cast<uint8_t*>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!context->extradata)
            return {};
        std::memcpy(context->extradata, key.extradata.constData(), size);
        context->extradata_size = int(size);
    }
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return {};
    return context;
}

// A decode worker keeps its last decoder for the next key picture of the same stream: opening
// one costs a sixth of the decoding.
struct KeptDecoder {
    std::string codec;
    QByteArray extradata;
    int lowres = 0;
    CodecHandle context;
};

FrameHandle decodeKey(const KeyPicture& key, QSize fitAtLeast, bool keep) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get_by_name(key.codec.c_str());
    const AVCodec* codec = descriptor ? avcodec_find_decoder(descriptor->id) : nullptr;
    if (!codec || descriptor->type != AVMEDIA_TYPE_VIDEO)
        return {};
    const int lowres = lowResolution(codec, key.size, fitAtLeast);
    thread_local KeptDecoder kept;
    CodecHandle fresh;
    AVCodecContext* context = nullptr;
    if (keep && kept.context && kept.codec == key.codec && kept.extradata == key.extradata &&
        kept.lowres == lowres) {
        context = kept.context.get();
        avcodec_flush_buffers(context);
    } else if ((fresh = openDecoder(codec, key, lowres))) {
        context = fresh.get();
    } else {
        return {};
    }
    // A key picture is decoded for itself alone: no other picture is predicted from it, so
    // its loop filter (a tenth of the work) can be left out when it is shown at half its size
    // or less, where the blocks it smooths are averaged away.
    const QSize shown = VideoScaleSize(key.size, fitAtLeast);
    context->skip_loop_filter = !key.size.isEmpty() && shown.width() * 2 <= key.size.width() &&
                                        shown.height() * 2 <= key.size.height()
                                    ? AVDISCARD_ALL
                                    : AVDISCARD_DEFAULT;
    PacketHandle packet(av_packet_alloc());
    FrameHandle frame(av_frame_alloc());
    bool decoded = packet && frame && av_new_packet(packet.get(), int(key.picture.size())) >= 0;
    if (decoded) {
        std::memcpy(packet->data, key.picture.constData(), size_t(key.picture.size()));
        // a decoder that holds pictures back for reordering gives them up when drained
        decoded = avcodec_send_packet(context, packet.get()) >= 0 &&
                  avcodec_send_packet(context, nullptr) >= 0 &&
                  avcodec_receive_frame(context, frame.get()) >= 0 && frame->width > 0 &&
                  frame->height > 0;
    }
    if (!decoded) {
        if (context == kept.context.get())
            kept.context.reset(); // whatever state it is in, it is not kept
        return {};
    }
    if (keep && fresh)
        kept = {key.codec, key.extradata, lowres, std::move(fresh)};
    return frame;
}

DecodedPicture decodeKeyPicture(const QByteArray& body, QSize fitAtLeast, bool keep) {
    const std::optional<KeyPicture> key = ReadKeyPicture(body);
    if (!key)
        return {};
    if (tooLarge(key->size))
        return refusedAsTooLarge(key->size);
    const FrameHandle frame = decodeKey(*key, fitAtLeast, keep);
    if (!frame)
        return {};
    const Planes planes = PlanesOf(frame.get());
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
    const QSize fullSize = head->fullSize.isValid() ? head->fullSize : head->size;
    if (tooLarge(head->size) || tooLarge(fullSize))
        return refusedAsTooLarge(fullSize);
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
    return finish(planes, fullSize, fitAtLeast);
}

} // namespace

DecodedPicture DecodeVideoPicture(const QByteArray& format, const QByteArray& body,
                                  QSize fitAtLeast) {
    InstallVideoLog();
    if (format == rawPictureFormat)
        return decodeRawPicture(body, fitAtLeast);
    if (IsVideoPictureFormat(format))
        return decodeKeyPicture(body, fitAtLeast, true);
    return {};
}

DecodedPicture ProbeVideoPicture(const QByteArray& format, const QByteArray& body) {
    InstallVideoLog();
    if (format == rawPictureFormat || !IsVideoPictureFormat(format))
        return {};
    return decodeKeyPicture(body, QSize(1, 1), false);
}
