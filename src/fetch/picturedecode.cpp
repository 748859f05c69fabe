#include "fetch/picturedecode.h"

#include "common/tempfile.h"
#include "imaging/picturecheck.h"
#include "imaging/pictureloader.h"

#include <QFile>

QImage DecodeFetchedPicture(const QByteArray& body, int64_t announcedLength, QSize shownAt) {
    // A picture that is not whole, or too large, is one the loader cannot read.
    const PictureCheck check =
        CheckPicture(std::string_view(body.constData(), size_t(body.size())), announcedLength);
    if (!check.readable)
        return {};
    const QString temporary = MakeTempFileName("vbt");
    if (temporary.isEmpty())
        return {};
    QImage picture;
    QFile file(temporary);
    if (file.open(QIODevice::WriteOnly) && file.write(body) == body.size() && file.flush()) {
        file.close();
        picture = LoadPictureFile(temporary, shownAt);
    }
    QFile::remove(temporary);
    return picture;
}
