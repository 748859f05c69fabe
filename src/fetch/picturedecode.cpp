#include "fetch/picturedecode.h"

#include "common/tempfile.h"
#include "imaging/picturecheck.h"

#include <QFile>

DecodedPicture DecodeFetchedPicture(const QByteArray& body, int64_t announcedLength, QSize fit) {
    // A picture that is not whole, or too large, is one the loader cannot read.
    const PictureCheck check =
        CheckPicture(std::string_view(body.constData(), size_t(body.size())), announcedLength);
    if (!check.readable)
        return {};
    const QString temporary = MakeTempFileName("vbt");
    if (temporary.isEmpty())
        return {};
    DecodedPicture decoded;
    QFile file(temporary);
    if (file.open(QIODevice::WriteOnly) && file.write(body) == body.size() && file.flush()) {
        file.close();
        decoded = DecodePicture(body, fit); // the same bytes the file holds
    }
    QFile::remove(temporary);
    return decoded;
}
