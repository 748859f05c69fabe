#include "video/videoscale.h"

#include "video/videodecode.h"

#include <memory>

namespace {

struct SwsFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
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

// Each thread keeps its scaler while the sizes and formats stay the same.
SwsContext* scaler(const Planes& planes, AVPixelFormat from, QSize target, AVPixelFormat to,
                   bool fullRange) {
    thread_local std::unique_ptr<SwsContext, SwsFreer> cached;
    cached.reset(sws_getCachedContext(cached.release(), planes.size.width(), planes.size.height(),
                                      from, target.width(), target.height(), to, SWS_AREA, nullptr,
                                      nullptr, nullptr));
    if (!cached)
        return nullptr;
    const int space = planes.colourSpace == AVCOL_SPC_UNSPECIFIED ||
                              planes.colourSpace == AVCOL_SPC_RGB || planes.colourSpace > 14
                          ? SWS_CS_DEFAULT
                          : planes.colourSpace;
    const int* coefficients = sws_getCoefficients(space);
    sws_setColorspaceDetails(cached.get(), coefficients, fullRange ? 1 : 0, coefficients,
                             to == AV_PIX_FMT_BGRA || fullRange ? 1 : 0, 0, 1 << 16, 1 << 16);
    return cached.get();
}

} // namespace

Planes PlanesOf(const AVFrame* frame) {
    Planes planes;
    for (int i = 0; i < 4; ++i) {
        planes.data[i] = frame->data[i];
        planes.strides[i] = frame->linesize[i];
    }
    planes.format = AVPixelFormat(frame->format);
    planes.size = QSize(frame->width, frame->height);
    planes.colourSpace = frame->colorspace;
    planes.range = frame->color_range;
    return planes;
}

QImage ScaledPicture(const Planes& planes, QSize target) {
    bool fullRange = planes.range == AVCOL_RANGE_JPEG;
    const AVPixelFormat format = withoutRange(planes.format, fullRange);
    if (!takenBySwscale(format) || target.isEmpty())
        return {};
    SwsContext* context = scaler(planes, format, target, AV_PIX_FMT_BGRA, fullRange);
    // BGRA in memory is QImage's RGB32 (0xffRRGGBB) on this little-endian machine, opaque
    QImage picture(target, QImage::Format_RGB32);
    if (!context || picture.isNull())
        return {};
    uint8_t* destination[4] = {picture.bits(), nullptr, nullptr, nullptr};
    const int strides[4] = {int(picture.bytesPerLine()), 0, 0, 0};
    if (sws_scale(context, planes.data, planes.strides, 0, planes.size.height(), destination,
                  strides) <= 0)
        return {};
    return picture;
}

QByteArray ReducedPlanes(const Planes& planes, QSize target, int room, AVPixelFormat* format,
                         int* range) {
    bool fullRange = planes.range == AVCOL_RANGE_JPEG;
    *format = withoutRange(planes.format, fullRange);
    *range = fullRange ? AVCOL_RANGE_JPEG : planes.range;
    if (!takenBySwscale(*format) || sws_isSupportedOutput(*format) <= 0 || target.isEmpty())
        return {};
    const int bytes = av_image_get_buffer_size(*format, target.width(), target.height(), 1);
    SwsContext* context = scaler(planes, *format, target, *format, fullRange);
    if (bytes <= 0 || !context)
        return {};
    QByteArray reduced(room + bytes, '\0');
    uint8_t* destination[4] = {};
    int strides[4] = {};
    av_image_fill_arrays(destination, strides, reinterpret_cast<uint8_t*>(reduced.data()) + room,
                         *format, target.width(), target.height(), 1);
    if (sws_scale(context, planes.data, planes.strides, 0, planes.size.height(), destination,
                  strides) <= 0)
        return {};
    return reduced;
}

QSize VideoScaleSize(QSize full, QSize fitAtLeast) {
    if (fitAtLeast.isEmpty() || full.isEmpty())
        return full;
    const QSize covering = full.scaled(fitAtLeast, Qt::KeepAspectRatioByExpanding);
    if (covering.width() >= full.width() || covering.height() >= full.height())
        return full;
    return covering.expandedTo(QSize(1, 1));
}
