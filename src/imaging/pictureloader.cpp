#include "imaging/pictureloader.h"

#include "imaging/picturecheck.h"

#include <QImageReader>

QImage LoadPictureFile(const QString& path, QSize shownAt) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize declared = reader.size();
    if (declared.width() > maxPictureSide || declared.height() > maxPictureSide)
        return {};
    if (shownAt.isValid() && !shownAt.isEmpty() && declared.isValid() &&
        declared.width() > shownAt.width() && declared.height() > shownAt.height())
        reader.setScaledSize(shownAt);
    QImage picture = reader.read();
    if (picture.width() > maxPictureSide || picture.height() > maxPictureSide)
        return {};
    return picture;
}
