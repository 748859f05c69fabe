#pragma once

#include "video/hlsplaylist.h"
#include "video/libav.h"
#include "video/readerlink.h"

#include <QByteArray>
#include <optional>
#include <string>

// HLS by hand: a playlist or a segment fetched whole with FFmpeg's HTTP client, and the newest
// key picture of a segment found without decoding.

inline constexpr int64_t maxPlaylistBytes = 1 << 20;
inline constexpr int64_t maxSegmentBytes = 64 << 20;

// The bytes at `url` (http:// or https:// only; certificates checked), at most `limit`.
std::optional<ReaderFailure> FetchBytes(const std::string& url, std::optional<HlsByteRange> range,
                                        int64_t limit, InterruptGate& gate, bool withCredentials,
                                        QByteArray& bytes);

// The last key picture of a segment (preceded by its initialisation section, for fragmented
// MP4); nothing in `picture` when it holds none. `facts` learns the codec, the container and the
// pictures a second.
std::optional<ReaderFailure> NewestKeyPicture(const QByteArray& segment, double seconds,
                                              InterruptGate& gate, StreamFacts& facts,
                                              std::optional<WaitingPicture>& picture);
