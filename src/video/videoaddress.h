#pragma once

#include "common/credentials.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

enum class VideoProtocol { Rtsp, Hls };
// How RTSP carries the pictures: interleaved in its own TCP connection (through any firewall), or
// as UDP packets (less delay, on networks that let them through).
enum class VideoTransport { Tcp, Udp };

// A video cam's address as FFmpeg is given it, and as people are shown it.
struct VideoAddress {
    VideoProtocol protocol = VideoProtocol::Rtsp;
    std::string url; // with the credentials as "user:password@", percent-encoded
    QString shown;   // without them
    bool withCredentials = false;
    bool secure = false; // rtsps://, https://
};

// The address (rtsp://, rtsps://, or http(s):// for a playlist) with the credentials given, or
// else the address's own "user:password@". Nothing for an address of another kind.
std::optional<VideoAddress> MakeVideoAddress(std::string_view address,
                                             const std::optional<Credentials>& credentials);

bool IsRtspAddress(std::string_view address);
// An HTTP answer that is an HLS playlist, by its type or by its first bytes.
bool IsPlaylistAnswer(std::string_view contentType, std::string_view firstBytes);

// The text with every "scheme://user:password@" cut to "scheme://": for logs and messages.
std::string WithoutUserInfo(std::string_view text);

// `url` with the "user:password@" of `base` when it names the same scheme, host and port and has
// none of its own: a playlist's segments on its own server need its password, no other server
// gets it.
std::string WithUserInfoOf(std::string_view base, std::string_view url);

// An http:// or https:// address with no blank, control character or backslash in it: what a
// playlist may name.
bool IsPlainWebAddress(std::string_view url);
