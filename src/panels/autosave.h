#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>

// A picture saved as JPEG into the cam folder, under the name that the save command uses too.
struct SavedPicture {
    bool ok = false;
    QString path;
    QString error;    // why it could not be saved
    QByteArray bytes; // the file as written, when ok
    QImage reloaded;  // the picture as saved (read back from the file), when ok
};

// Writes `picture` at quality 90 as the picture of cam `camName` taken at `moment`.
SavedPicture AutoSavePicture(const QImage& picture, const QByteArray& camName,
                             const QString& camFolder, const QDateTime& moment);
