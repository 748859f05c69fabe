#include "panels/autosave.h"

#include "imaging/savepath.h"

#include <QFile>

SavedPicture AutoSavePicture(const QImage& picture, const QByteArray& camName,
                             const QString& camFolder, const QDateTime& moment) {
    SavedPicture saved;
    saved.path = SavePath(camFolder, camName, moment);
    saved.error = WritePictureJpeg(picture, saved.path);
    saved.ok = saved.error.isEmpty();
    if (!saved.ok)
        return saved;
    QFile written(saved.path);
    if (written.open(QIODevice::ReadOnly)) {
        saved.bytes = written.readAll();
        saved.reloaded = QImage::fromData(saved.bytes);
    }
    return saved;
}
