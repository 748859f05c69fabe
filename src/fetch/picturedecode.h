#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// How a fetched body becomes a picture: written to a temporary "vbt" file, read by the picture
// loader, the file deleted again. A body that is not a whole picture, or one the loader cannot
// read, gives a null picture, and so does a temporary folder that cannot take the file.
//
// `shownAt` asks for a picture no larger than needed for that size (the panel's); an empty
// size asks for the whole picture.
QImage DecodeFetchedPicture(const QByteArray& body, int64_t announcedLength, QSize shownAt);
