#pragma once

#include "video/libav.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

// Pictures scaled by swscale, for the decode workers and the reading threads alike. Smaller
// pictures are made by averaging areas: the right filter to shrink, and among the cheapest.

// Pixels of a picture as swscale takes them.
struct Planes {
    const uint8_t* data[4] = {};
    int strides[4] = {};
    AVPixelFormat format = AV_PIX_FMT_NONE;
    QSize size;
    int colourSpace = AVCOL_SPC_UNSPECIFIED;
    int range = AVCOL_RANGE_UNSPECIFIED;
};

Planes PlanesOf(const AVFrame* frame);

// The picture at `target` as a Format_RGB32 picture; null when it cannot be made.
QImage ScaledPicture(const Planes& planes, QSize target);

// The picture at `target` in a pixel format of its own kind (`format`, `range` say which), its
// planes one after another with rows as narrow as they can be, after `room` bytes left for a
// head. Empty when it cannot be made.
QByteArray ReducedPlanes(const Planes& planes, QSize target, int room, AVPixelFormat* format,
                         int* range);
