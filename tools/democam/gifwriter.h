#pragma once

#include <QByteArray>
#include <QImage>

// A GIF file of the picture (the toolkit writes none): colours rounded to a 6x7x6 palette,
// image data stored as plain LZW codes, which every reader accepts.
QByteArray EncodeGif(const QImage& picture);
