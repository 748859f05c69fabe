#include "panels/picturedecode.h"

#include "common/tempfile.h"
#include "imaging/picturecheck.h"

DecodedPicture DecodeFetchedPicture(const QByteArray& body, int64_t announcedLength, QSize fit) {
    // A picture that is not whole, or too large, is one the loader cannot read.
    const PictureCheck check =
        CheckPicture(std::string_view(body.constData(), size_t(body.size())), announcedLength);
    if (!check.readable)
        return {};
    const QString temporary = WriteTempFile("vbt", body);
    if (temporary.isEmpty())
        return {};
    const DecodedPicture decoded = DecodePicture(body, fit); // the same bytes the file holds
    RemoveTempFile(temporary);
    return decoded;
}
