#include "imaging/savepath.h"

#include "common/datetimetext.h"
#include "common/localtext.h"
#include "imaging/dibsection.h"
#include "imaging/imagingerror.h"
#include "imaging/jpegwriter.h"
#include "imaging/savename.h"

#include <QFile>
#include <QFileInfo>

QString SavePath(const QString& camFolder, const QByteArray& camName, const QDateTime& moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    const std::string name =
        TimedSaveFileName(camName.toStdString(), {date.year(), date.month(), date.day(),
                                                  time.hour(), time.minute(), time.second()});
    return camFolder + "/" + QFile::decodeName(QByteArray::fromStdString(name));
}

QString FreeSavePath(const QString& path) {
    const QString stem = path.endsWith(".jpg") ? path.chopped(4) : path;
    QString free = path;
    for (int number = 2; QFileInfo::exists(free) || QFileInfo(free).isSymLink(); ++number)
        free = stem + QStringLiteral("_%1.jpg").arg(number); // a "%1" in the name stays as it is
    return free;
}

QString WritePictureJpeg(const QImage& picture, const QString& path) {
    try {
        cDIBSection dib;
        dib.CreateFromPicture(picture);
        WriteJpegFile(dib, path, 90);
    } catch (const ImagingError& error) {
        return localText(error.what());
    }
    return {};
}
