#include "engine/picturedecode.h"

#include "imaging/picturecheck.h"

#include <QCoreApplication>

DecodedPicture DecodeFetchedPicture(const QByteArray& body, int64_t announcedLength, QSize fit) {
    // A picture that is not whole, too large or too costly is one the loader cannot read.
    const PictureCheck check =
        CheckPicture(std::string_view(body.constData(), size_t(body.size())), announcedLength);
    if (!check.readable)
        return {{},
                false,
                QSize(int(check.width), int(check.height)),
                QString::fromStdString(check.why),
                check.bound};
    // decoded from memory: no temporary file stands between the answer and the picture, so a
    // full or missing temporary folder stops nothing
    DecodedPicture decoded = DecodePicture(body, fit);
    // what follows the picture's end is not the picture's
    if (check.end > 0 && check.end < size_t(body.size()))
        decoded.end = qsizetype(check.end);
    if (decoded.picture.isNull() && decoded.refusal.isEmpty())
        decoded.refusal =
            QCoreApplication::translate("PictureDecode", "the picture could not be read");
    return decoded;
}
