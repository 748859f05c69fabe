#pragma once

#include <QImage>

// A generated picture with what a webcam photo has: smooth sky, hard edges, fine texture and
// noise, so the encoder meets realistic work.
QImage makePhotoLikePicture(int width, int height, unsigned seed);
