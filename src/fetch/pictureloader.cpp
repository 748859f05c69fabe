#include "pictureloader.h"

#include "picturecheck.h"

#include <QImageReader>

QImage LoadPictureFile(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize declared = reader.size();
    if (declared.width() > maxPictureSide || declared.height() > maxPictureSide)
        return {};
    QImage picture = reader.read();
    if (picture.width() > maxPictureSide || picture.height() > maxPictureSide)
        return {};
    return picture;
}
