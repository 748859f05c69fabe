#include "imaging/picturedecoder.h"

#include "imaging/picturecheck.h"

#include <QBuffer>
#include <QImageReader>
#include <memory>
#include <turbojpeg.h>

namespace {

struct DecompressorDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// One decompressor for each decoding thread, made when first needed.
tjhandle decompressor() {
    thread_local std::unique_ptr<void, DecompressorDeleter> handle(tjInitDecompress());
    return handle.get();
}

bool covers(QSize size, QSize wanted) {
    return size.width() >= wanted.width() && size.height() >= wanted.height();
}

DecodedPicture decodeJpeg(const QByteArray& bytes, QSize fitAtLeast, bool& rejected) {
    rejected = true;
    tjhandle handle = decompressor();
    if (!handle)
        return {};
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<unsigned long>(bytes.size());
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colourSpace) != 0)
        return {};
    if (width <= 0 || height <= 0 || width > maxPictureSide || height > maxPictureSide) {
        rejected = false; // readable, but too large to be shown: nobody else should try
        return {{}, false, QSize(width, height), TooLargeToShowText(), PictureBound::TooLarge};
    }
    if (colourSpace == TJCS_CMYK || colourSpace == TJCS_YCCK)
        return {}; // TurboJPEG makes no RGB of these
    const QSize target = JpegDecodeSize(width, height, fitAtLeast);
    // BGRX in memory is QImage's RGB32 (0xffRRGGBB) on this little-endian machine; the
    // unused byte comes out as 0xFF
    QImage picture(target, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    if (tjDecompress2(handle, data, size, picture.bits(), target.width(),
                      int(picture.bytesPerLine()), target.height(), TJPF_BGRX,
                      TJFLAG_NOREALLOC | TJFLAG_LIMITSCANS) != 0 &&
        tjGetErrorCode(handle) == TJERR_FATAL)
        return {};
    rejected = false;
    return {picture, target == QSize(width, height), QSize(width, height), {}};
}

DecodedPicture decodeWithReader(const QByteArray& bytes, QSize fitAtLeast) {
    // the largest picture shown is larger than Qt reads by default
    static const bool limitRaised = [] {
        QImageReader::setAllocationLimit(int(int64_t(maxPictureSide) * maxPictureSide * 4 >> 20) +
                                         16);
        return true;
    }();
    Q_UNUSED(limitRaised);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize declared = reader.size();
    if (declared.width() > maxPictureSide || declared.height() > maxPictureSide)
        return {{}, false, declared, TooLargeToShowText(), PictureBound::TooLarge};
    bool whole = true;
    if (!fitAtLeast.isEmpty() && declared.isValid() && declared.width() > fitAtLeast.width() &&
        declared.height() > fitAtLeast.height()) {
        reader.setScaledSize(declared.scaled(fitAtLeast, Qt::KeepAspectRatioByExpanding));
        whole = false;
    }
    const QImage picture = reader.read();
    if (picture.width() > maxPictureSide || picture.height() > maxPictureSide)
        return {{}, false, picture.size(), TooLargeToShowText(), PictureBound::TooLarge};
    return {
        picture, whole && !picture.isNull(), declared.isValid() ? declared : picture.size(), {}};
}

} // namespace

QSize JpegDecodeSize(int width, int height, QSize fitAtLeast) {
    const QSize full(width, height);
    if (fitAtLeast.isEmpty())
        return full;
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    QSize best = full;
    for (int i = 0; i < count; ++i) {
        const tjscalingfactor f = factors[i];
        if (f.num > f.denom)
            continue; // never larger than the picture itself
        const QSize scaled(TJSCALED(width, f), TJSCALED(height, f));
        if (covers(scaled, fitAtLeast) &&
            scaled.width() * qint64(scaled.height()) < best.width() * qint64(best.height()))
            best = scaled;
    }
    return best;
}

void AllowLargestPictures() {
    static const bool raised = [] {
        QImageReader::setAllocationLimit(int((int64_t(maxPictureSide) * maxPictureSide * 4) >> 20) +
                                         16);
        return true;
    }();
    Q_UNUSED(raised);
}

DecodedPicture DecodePicture(const QByteArray& bytes, QSize fitAtLeast) {
    if (SniffPicture(std::string_view(bytes.constData(), size_t(bytes.size()))) ==
        PictureFormat::Jpeg) {
        bool rejected = false;
        DecodedPicture decoded = decodeJpeg(bytes, fitAtLeast, rejected);
        if (!rejected)
            return decoded;
    }
    return decodeWithReader(bytes, fitAtLeast);
}

std::optional<QSize> JpegHeaderSize(const QByteArray& bytes) {
    tjhandle handle = decompressor();
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (!handle || !bytes.startsWith("\xFF\xD8") ||
        tjDecompressHeader3(handle, reinterpret_cast<const unsigned char*>(bytes.constData()),
                            static_cast<unsigned long>(bytes.size()), &width, &height,
                            &subsampling, &colourSpace) != 0)
        return std::nullopt;
    return QSize(width, height);
}
