#include "imaging/jpegwriter.h"

#include "common/atomicfile.h"
#include "common/localtext.h"
#include "common/version.h"
#include "imaging/dibsection.h"
#include "imaging/imagingerror.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

namespace {

std::string errorSource() {
    return std::string(version::executableName) + ".mIntelJPEGLibrary";
}

[[noreturn]] void raise(const QString& description) {
    throw ImagingError(jpegWriterError, errorSource(), localBytes(description));
}

struct CompressorDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Compressor = std::unique_ptr<void, CompressorDeleter>;

// Owns the bytes TurboJPEG made.
struct JpegBytes {
    unsigned char* data = nullptr;
    unsigned long size = 0;
    JpegBytes() = default;
    JpegBytes(const JpegBytes&) = delete;
    JpegBytes& operator=(const JpegBytes&) = delete;
    ~JpegBytes() { tjFree(data); }
};

// Compresses the rows where they lie: bottom-up, blue-green-red, BytesPerScanLine apart.
// Returns 0 or the encoder's failure code.
int compress(tjhandle compressor, const cDIBSection& dib, int32_t quality, JpegBytes& out) {
    if (!dib.DIBSectionBitsPtr() || dib.Width() <= 0 || dib.Height() <= 0)
        return -2;
    if (tjCompress2(compressor, dib.DIBSectionBitsPtr(), dib.Width(), dib.BytesPerScanLine(),
                    dib.Height(), TJPF_BGR, &out.data, &out.size, TJSAMP_420, quality,
                    TJFLAG_BOTTOMUP) != 0)
        return tjGetErrorCode(compressor) == TJERR_FATAL ? -3 : -4;
    return 0;
}

} // namespace

QByteArray encodeJpeg(const cDIBSection& dib, int32_t quality, int& errorCode) {
    Compressor compressor(tjInitCompress());
    if (!compressor) {
        errorCode = -1;
        return {};
    }
    JpegBytes jpeg;
    errorCode = compress(compressor.get(), dib, quality, jpeg);
    return errorCode ? QByteArray()
                     : QByteArray(reinterpret_cast<const char*>(jpeg.data), qsizetype(jpeg.size));
}

bool WriteJpegFile(cDIBSection& dib, const QString& path, int32_t quality) {
    Compressor compressor(tjInitCompress());
    if (!compressor)
        raise(
            QCoreApplication::translate("JpegWriter", "Failed to initialise the IJL library: -1"));
    const QByteArray nativePath = QFile::encodeName(path);

    // An existing file is replaced only when it may be written, and keeps its times and mode.
    // (This system keeps no settable creation time: access and modification times are kept.)
    struct stat old {};
    const bool existed = ::stat(nativePath.constData(), &old) == 0;
    if (existed && ::faccessat(AT_FDCWD, nativePath.constData(), W_OK, AT_EACCESS) != 0)
        throw ImagingError(
            ImagingError::fileAccess, errorSource(),
            localBytes(QCoreApplication::translate("JpegWriter", "Path/File access error")));

    JpegBytes jpeg;
    if (const int code = compress(compressor.get(), dib, quality, jpeg))
        raise(QCoreApplication::translate("JpegWriter", "Failed to save to JPG %1").arg(code));

    // A new file beside the target, renamed over it only once written: a failure leaves an
    // old picture whole.
    const FileResult written =
        replaceFileAtomically(std::filesystem::path(nativePath.toStdString()),
                              std::string_view(reinterpret_cast<const char*>(jpeg.data), jpeg.size),
                              Durability::Unsynced);
    if (!written.ok)
        raise(QCoreApplication::translate("JpegWriter", "Failed to save to JPG %1")
                  .arg(written.errorNumber));

    if (existed) {
        const struct timespec times[2] = {old.st_atim, old.st_mtim};
        ::utimensat(AT_FDCWD, nativePath.constData(), times, 0);
    }
    return true;
}
