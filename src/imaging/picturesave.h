#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// A picture to save: its decoded picture, or else the bytes it is decoded from.
struct PictureToSave {
    QImage picture;
    QByteArray bytes;
    bool isEmpty() const { return picture.isNull() && bytes.isEmpty(); }
};

// What saving a picture came to.
struct SavedPicture {
    bool ok = false;
    QString path;
    QString error;    // why it could not be saved
    QByteArray bytes; // the file as written, when ok
    QImage whole;     // the picture that was written
    QImage reloaded;  // the file read back, scaled to the size asked for, when ok
};

// Writes the picture to `path` as a JPEG of quality 90 (decoding its bytes whole first when it
// has no picture), then reads the file back and decodes it at `reloadAt` (nothing when that is
// empty). A JPEG of more than 16 million pixels is written as it came (no `whole` then). Takes as
// long as decoding and encoding a whole picture: run it off the window's thread. Safe to run on any
// thread.
SavedPicture SavePictureAsJpeg(const PictureToSave& picture, const QString& path,
                               QSize reloadAt = {});
