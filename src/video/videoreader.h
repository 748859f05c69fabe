#pragma once

#include "video/readerlink.h"
#include "video/videoaddress.h"

// One attempt at a video cam, run on its own reading thread: connect, hand on pictures while the
// stream lasts, and tell the link how it ended (nothing when the cam was stopped).
void RunVideoReader(ReaderLink& link, const VideoAddress& address, VideoTransport transport);
