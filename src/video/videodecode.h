#pragma once

#include "imaging/picturedecoder.h"

#include <QByteArray>
#include <QSize>

// Decodes a picture a video source handed on (a FetchedPicture whose format begins "video/"),
// for the decode workers: a key picture through libavcodec (each thread keeps its last decoder
// for the next picture of the same stream), a raw picture as it is; both scaled by swscale straight
// to the size that covers `fitAtLeast` (the whole picture when it is empty), never larger than the
// picture, as a Format_RGB32 picture. Pictures more than maxPictureSide pixels a side are refused
// as too large; a body that cannot be decoded gives a null picture. Safe to call from any number of
// threads at once.
DecodedPicture DecodeVideoPicture(const QByteArray& format, const QByteArray& body,
                                  QSize fitAtLeast = {});

// A key picture decoded once (to 1 x 1), keeping no decoder: the reading threads learn the
// stream's size by it, and that its pictures decode at all.
DecodedPicture ProbeVideoPicture(const QByteArray& format, const QByteArray& body);

// The size a `full` picture is scaled to so that it covers `fitAtLeast`, its shape kept, no
// larger than itself; the picture's own size when the fit is empty.
QSize VideoScaleSize(QSize full, QSize fitAtLeast);
