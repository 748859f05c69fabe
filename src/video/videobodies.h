#pragma once

#include <QByteArray>
#include <QSize>
#include <optional>
#include <string>

// The bodies a video source hands on (FetchedPicture::body). Each begins with a head that says
// what it holds, so a decode worker decodes it alone. Numbers are little-endian.
//
// A key picture, format "video/<codec>" ("video/h264", "video/hevc"): "WCV1K"; the codec's
// FFmpeg name (one byte of length, the name); width and height (int32 each, 0 when not known);
// the decoder's extra data (uint32 length, the bytes); the coded picture (uint32 length, the
// bytes).
//
// A decoded picture, format "video/raw": "WCV1R"; the pixel format's FFmpeg name (one byte of
// length, the name); width, height, colour space and colour range (int32 each, FFmpeg's
// numbers); the width and height of the stream's own pictures, when this one was made smaller
// for the panel (int32 each); zeros to byte 64; then the planes one after another, their rows as
// narrow as they can be (what av_image_copy_to_buffer writes with an alignment of 1).

inline const QByteArray rawPictureFormat = QByteArrayLiteral("video/raw");
inline constexpr int rawHeadBytes = 64;

QByteArray KeyPictureFormat(const std::string& codec);
// A format a video source hands on ("video/..."): the decode workers give it to
// DecodeVideoPicture.
bool IsVideoPictureFormat(const QByteArray& format);

struct KeyPicture {
    std::string codec;
    QSize size;
    QByteArray extradata;
    QByteArray picture;
};
QByteArray WriteKeyPicture(const KeyPicture& key);
std::optional<KeyPicture> ReadKeyPicture(const QByteArray& body);

struct RawPictureHead {
    std::string pixelFormat;
    QSize size;
    int colourSpace = 2; // unspecified
    int range = 0;       // unspecified
    QSize fullSize;      // the stream's own size, when this picture was made smaller
};
// The head alone, rawHeadBytes long: the planes follow it.
QByteArray WriteRawHead(const RawPictureHead& head);
std::optional<RawPictureHead> ReadRawHead(const QByteArray& body);
