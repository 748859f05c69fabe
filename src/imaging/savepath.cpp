#include "imaging/savepath.h"

#include "common/datetimetext.h"
#include "common/localtext.h"
#include "imaging/dibsection.h"
#include "imaging/imagingerror.h"
#include "imaging/jpegwriter.h"
#include "imaging/savename.h"

#include <QFile>

QString SavePath(const QString& camFolder, const QByteArray& camName, const QDateTime& moment) {
    const std::string name = SaveFileName(camName.toStdString(),
                                          shortDateText(moment.date()).toLocal8Bit().toStdString(),
                                          longTimeText(moment.time()).toLocal8Bit().toStdString());
    return camFolder + "/" + QFile::decodeName(QByteArray::fromStdString(name));
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
