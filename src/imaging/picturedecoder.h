#pragma once

#include "imaging/picturecheck.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <optional>
#include <QString>

// Turns a picture file's bytes into a picture, no larger than needed.
//
// A JPEG is decoded by TurboJPEG at the smallest of its scaling factors (1/8, 1/4, 3/8, 1/2,
// ...) that still covers `fitAtLeast`, straight into a Format_RGB32 picture with no further
// conversion; one TurboJPEG cannot read (a CMYK JPEG, say) goes to QImageReader. Other formats
// are read by QImageReader, scaled while reading where it can. An empty `fitAtLeast` asks for
// the whole picture. Pictures declaring more than 8192 pixels a side give a null picture, as
// does anything unreadable.
struct DecodedPicture {
    QImage picture;
    bool whole = false; // decoded at its full size
    QSize fullSize;     // the picture's own size, when it could be read
    QString refusal;    // why a picture that could be read was not decoded
    PictureBound bound = PictureBound::None;
    qsizetype end = 0; // where the picture's own bytes end, when bytes follow it; 0 otherwise
};

DecodedPicture DecodePicture(const QByteArray& bytes, QSize fitAtLeast = {});

// Lets Qt's picture readers make pictures as large as the largest shown (more than Qt reads by
// default). Decoding does it itself; call it before decodes begin on other threads, as it
// changes a setting every reader shares.
void AllowLargestPictures();

// A JPEG's own size as its header says, without decoding it; nothing for what is no JPEG.
std::optional<QSize> JpegHeaderSize(const QByteArray& bytes);

// The size TurboJPEG decodes a `width` x `height` JPEG to when it must cover `fitAtLeast`.
QSize JpegDecodeSize(int width, int height, QSize fitAtLeast);
