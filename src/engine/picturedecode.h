#pragma once

#include "imaging/picturedecoder.h"

#include <QByteArray>
#include <QSize>

// How a fetched body becomes a picture: checked for completeness and for what its decode would
// cost, written to a temporary "vbt" file for as long as it is decoded, decoded (at the size
// `fit` asks for, whole when it is empty), and the file deleted again. A body that is not a
// whole picture, one too costly to decode, or one no decoder can read gives a null picture with
// the reason in `refusal`; so does a temporary folder that cannot take the file. Safe to run on
// any thread.
DecodedPicture DecodeFetchedPicture(const QByteArray& body, int64_t announcedLength, QSize fit);
