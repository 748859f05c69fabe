#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>

// Where a picture of the cam `camName` saved at `moment` goes: the cam folder and the name
// SaveFileName makes from the locale's short date and long time. Used by the save command
// and by auto-save alike.
QString SavePath(const QString& camFolder, const QByteArray& camName, const QDateTime& moment);

// Writes `picture` to `path` as a JPEG of quality 90, through the 24-bit bitmap and the JPEG
// writer. Empty text when it was written, otherwise why not.
QString WritePictureJpeg(const QImage& picture, const QString& path);
