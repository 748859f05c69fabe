// What a panel does when the server has closed the connection: judge the response, show the
// picture, tell a new picture from an unchanged one, and save new pictures when asked to.
#include "campanel.h"

#include "datetimetext.h"
#include "dibsection.h"
#include "imagecontrol.h"
#include "imagingerror.h"
#include "jpegwriter.h"
#include "judgement.h"
#include "localtext.h"
#include "panelhost.h"
#include "picturecheck.h"
#include "pictureloader.h"
#include "savepath.h"
#include "tempfile.h"

#include <QDateTime>
#include <QFile>

void CamPanel::wsCam_Close() {
    imgRefresh->hide();
    const CompletedResponse split = SplitResponse(response.responseBuffer);
    const std::string headers(split.headers);
    response.responseBuffer = std::string(split.body); // from here on the buffer holds the body

    if (IsImageResponse(headers)) {
        noteLastModified(headers);
        showResponsePicture(headers, response.responseBuffer);
    } else {
        host.lockDrawing(true);
        imgCam->setPicture(host.notFoundPicture());
        imgRefresh->hide();
        host.lockDrawing(false);
    }
    if (Index == host.selectedCam())
        host.writeDetails(*this);
}

void CamPanel::noteLastModified(std::string_view headers) {
    const std::optional<std::string> line = LastModifiedLine(headers);
    if (!line) {
        pictureChanged = false;
        return;
    }
    txtUpdated = QByteArray::fromStdString(LastChangedText(*line));
    const PictureNews news = CompareLastModified(lastModified, *line);
    pictureChanged = news == PictureNews::Changed;
    if (news == PictureNews::Unchanged)
        return;
    lastModified = *line;
    const QDateTime now = QDateTime::currentDateTime();
    txtRefreshed = shortDateText(now.date()) + " " + longTimeText(now.time());
}

void CamPanel::showResponsePicture(std::string_view headers, std::string_view body) {
    // A picture that is not whole, or too large, is one the loader cannot read: the panel
    // keeps its previous picture.
    const PictureCheck check = CheckPicture(body, ContentLengthOf(headers));
    QImage picture;
    const QString temporary = check.readable ? MakeTempFileName("vbt") : QString();
    if (!temporary.isEmpty()) {
        QFile file(temporary);
        if (file.open(QIODevice::WriteOnly) &&
            file.write(body.data(), qint64(body.size())) == qint64(body.size()) && file.flush()) {
            file.close();
            // The whole picture is needed only by the viewer and for saving; the panel itself
            // shows it small, and keeps the bytes for whoever asks for it whole later.
            const bool wanted =
                Index == host.selectedCam() || (host.autoSaveOn() && pictureChanged);
            picture = LoadPictureFile(temporary, wanted ? QSize() : imgCam->size());
        }
        QFile::remove(temporary);
    }

    host.lockDrawing(true);
    if (!picture.isNull())
        imgCam->setCompactPicture(picture, QByteArray(body.data(), qsizetype(body.size())));
    imgRefresh->hide();
    if (!picture.isNull() && Index == host.selectedCam())
        host.showSelectedPicture(picture);
    if (host.autoSaveOn() && pictureChanged)
        autoSave(picture.isNull() ? imgCam->picture() : picture); // the whole picture here
    host.lockDrawing(false);
    if (!picture.isNull())
        emit pictureLoaded();
}

void CamPanel::autoSave(const QImage& picture) {
    const QString path = SavePath(host.camFolder(), caption, QDateTime::currentDateTime());
    const QString time = longTimeText(QTime::currentTime());
    try {
        cDIBSection dib;
        dib.CreateFromPicture(picture);
        WriteJpegFile(dib, path, 90);
    } catch (const ImagingError& error) {
        if (Index == host.selectedCam())
            host.setStatusText(QString("%1 the new picture could not be saved as %2: %3")
                                   .arg(time, path, localText(error.what())));
        return;
    }
    // the panel shows the picture as it was saved
    QFile written(path);
    if (written.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = written.readAll();
        const QImage saved = QImage::fromData(bytes);
        if (!saved.isNull())
            imgCam->setCompactPicture(saved, bytes);
    }
    if (Index == host.selectedCam())
        host.setStatusText(time + " new picture saved as " + path);
}
