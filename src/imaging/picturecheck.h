#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// Tells, before any decoding, whether a received body can be a whole picture: the body is as
// long as announced, a JPEG reaches its end marker, a GIF its trailer, a PNG its last chunk,
// and the declared size is within bounds. Formats it does not know are left to the loader.

inline constexpr int maxPictureSide = 8192;
inline constexpr int maxJpegScans = 500;
// What a decode may cost, counted as pixels times the JPEG's scans (a progressive JPEG goes
// over the whole picture once a scan): sixteen scans of the largest picture.
inline constexpr int64_t maxDecodeWork = int64_t(maxPictureSide) * maxPictureSide * 16;

enum class PictureFormat { Unknown, Jpeg, Gif, Png, Bmp, WebP };

// Where a picture that could be read goes past what the program takes.
enum class PictureBound { None, TooLarge, TooCostly };

// "a picture too large to show", in the user's language.
QString TooLargeToShowText();

struct PictureCheck {
    bool readable = true;
    PictureFormat format = PictureFormat::Unknown;
    int64_t width = 0, height = 0; // as declared; 0 when not known
    int scans = 0;                 // a JPEG's scans
    size_t end = 0;  // where a whole JPEG, GIF or PNG ends (what follows is not the picture's)
    std::string why; // why it is not readable
    PictureBound bound = PictureBound::None;
};

// `contentLength` is the announced body length, 0 or less when none was announced.
PictureCheck CheckPicture(std::string_view body, int64_t contentLength);

// The kind of picture the bytes begin like, by their signature alone.
PictureFormat SniffPicture(std::string_view body);

// A picture of a kind known by its signature, whole and within bounds.
bool IsWholeKnownPicture(std::string_view body);
