#include "imaging/picturesave.h"

#include "imaging/picturedecoder.h"
#include "imaging/savepath.h"

#include <QCoreApplication>
#include <QFile>

SavedPicture SavePictureAsJpeg(const PictureToSave& picture, const QString& path, QSize reloadAt) {
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
