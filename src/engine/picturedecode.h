#pragma once

#include "imaging/picturedecoder.h"

#include <QByteArray>
#include <QSize>

// How a fetched body becomes a picture: checked for completeness and for what its decode would
// cost, then decoded from memory (at the size `fit` asks for, whole when it is empty). A body
// that is not a whole picture, one too costly to decode, or one no decoder can read gives a null
// picture with the reason in `refusal`. Safe to run on any thread.
DecodedPicture DecodeFetchedPicture(const QByteArray& body, int64_t announcedLength, QSize fit);
