#pragma once

#include "video/hlsplaylist.h"
#include "video/libav.h"
#include "video/readerlink.h"
#include "video/videoaddress.h"

#include <functional>
#include <optional>
#include <string>

// A live HLS stream on its reading thread. The playlist is read here: of a master playlist the
// variant that serves the shown size. When the interval is at least a segment long, only the
// newest segment is fetched at each interval and its last key picture handed on; otherwise
// FFmpeg's HLS reader follows the stream and its pictures go at their own pace.
std::optional<ReaderFailure> ReadHls(ReaderLink& link, InterruptGate& gate,
                                     const VideoAddress& address);

// The media playlist chosen, and what it says of the stream.
struct HlsChoice {
    std::string mediaUrl;
    HlsPlaylist media;
    int variant = -1; // of the master playlist, when there is one
    StreamFacts facts;
};

// Fetches the newest segment at each interval, until the cam stops, a fetch fails, or
// `restart` says the stream is to be read anew.
std::optional<ReaderFailure> ReadNewestSegments(ReaderLink& link, InterruptGate& gate,
                                                bool withCredentials, const HlsChoice& choice,
                                                const std::function<bool()>& restart);

// Fetches and reads a playlist; a text that is none is a failure.
std::optional<ReaderFailure> FetchPlaylist(const std::string& url, InterruptGate& gate,
                                           bool withCredentials, HlsPlaylist& playlist);
