#include "imaging/picturesave.h"

#include "common/atomicfile.h"
#include "common/localtext.h"
#include "imaging/picturedecoder.h"
#include "imaging/savepath.h"

#include <QCoreApplication>
#include <QFile>

namespace {

// A JPEG this large is kept as it came: decoding and encoding it again would hold several
// hundred MB for nothing the picture gains.
constexpr qint64 largestEncodedAgain = 16 * 1000 * 1000; // pixels

SavedPicture keptAsItCame(const QByteArray& jpeg, const QString& path, QSize reloadAt) {
    SavedPicture saved;
    saved.path = path;
    const FileResult written =
        replaceFileAtomically(QFile::encodeName(path).toStdString(),
                              {jpeg.constData(), size_t(jpeg.size())}, Durability::Unsynced);
    if (!written.ok) {
        saved.error = localText(written.error);
        return saved;
    }
    saved.ok = true;
    saved.bytes = jpeg;
    if (!reloadAt.isEmpty()) {
        const QImage read = DecodePicture(jpeg, reloadAt).picture;
        saved.reloaded =
            read.isNull() || read.size() == reloadAt
                ? read
                : read.scaled(reloadAt, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return saved;
}

} // namespace

SavedPicture SavePictureAsJpeg(const PictureToSave& picture, const QString& path, QSize reloadAt) {
    if (const std::optional<QSize> size =
            picture.picture.isNull() ? JpegHeaderSize(picture.bytes) : std::nullopt;
        size && qint64(size->width()) * size->height() > largestEncodedAgain)
        return keptAsItCame(picture.bytes, path, reloadAt);
    SavedPicture saved;
    saved.path = path;
    saved.whole = picture.picture;
    if (saved.whole.isNull() && !picture.bytes.isEmpty()) {
        const DecodedPicture decoded = DecodePicture(picture.bytes);
        saved.whole = decoded.picture;
        if (saved.whole.isNull()) {
            saved.error =
                decoded.refusal.isEmpty()
                    ? QCoreApplication::translate("PictureSave", "the picture could not be read")
                    : decoded.refusal;
            return saved;
        }
    }
    saved.error = WritePictureJpeg(saved.whole, path);
    saved.ok = saved.error.isEmpty();
    if (!saved.ok || reloadAt.isEmpty())
        return saved;
    QFile written(path);
    if (written.open(QIODevice::ReadOnly)) {
        saved.bytes = written.readAll();
        const QImage read = DecodePicture(saved.bytes, reloadAt).picture;
        saved.reloaded =
            read.isNull() || read.size() == reloadAt
                ? read
                : read.scaled(reloadAt, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return saved;
}
