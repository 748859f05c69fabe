#pragma once

#include "video/libav.h"
#include "video/readerlink.h"

#include <QString>

// What a video cam tells its user, in the user's words and language.

// The name people know a codec by: "H.264", "H.265", "Motion JPEG".
QString CodecName(AVCodecID codec);
QString CodecName(const char* ffmpegName);

// A stream that could not be opened; `withCredentials` when a password was sent.
ReaderFailure OpeningFailure(int error, bool withCredentials);
// A stream that stopped while it was read; `expired` when it went silent past its deadline.
ReaderFailure ReadingFailure(int error, bool expired);
ReaderFailure NoPictureWithin(int64_t milliseconds);
ReaderFailure CannotDecode(const QString& codec);
ReaderFailure NotAPlaylist();
