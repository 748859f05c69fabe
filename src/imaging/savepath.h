#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>

// Where a picture of the cam `camName` saved at `moment` goes: the cam folder and the name
// TimedSaveFileName makes of the moment, to the second. Used by the save command and by
// auto-save alike.
QString SavePath(const QString& camFolder, const QByteArray& camName, const QDateTime& moment);

// `path`, or when a file is there already, the same name with the next same-second number
// ("_2", "_3", ...): a save never overwrites a picture. Asked on the thread that writes, right
// before it writes.
QString FreeSavePath(const QString& path);

// Writes `picture` to `path` as a JPEG of quality 90, through the 24-bit bitmap and the JPEG
// writer. Empty text when it was written, otherwise why not.
QString WritePictureJpeg(const QImage& picture, const QString& path);
