#include "imaging/picturecheck.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

uint32_t bigEndian16(std::string_view b, size_t at) {
    return (uint32_t(uint8_t(b[at])) << 8) | uint8_t(b[at + 1]);
}
uint32_t bigEndian32(std::string_view b, size_t at) {
    return (bigEndian16(b, at) << 16) | bigEndian16(b, at + 2);
}
uint32_t littleEndian16(std::string_view b, size_t at) {
    return uint8_t(b[at]) | (uint32_t(uint8_t(b[at + 1])) << 8);
}
uint32_t littleEndian32(std::string_view b, size_t at) {
    return littleEndian16(b, at) | (littleEndian16(b, at + 2) << 16);
}

PictureCheck unreadable(PictureCheck check, std::string why) {
    check.readable = false;
    check.why = std::move(why);
    return check;
}

// `why` is marked with QT_TRANSLATE_NOOP in this context.
PictureCheck unreadableBecause(PictureCheck check, const char* why) {
    return unreadable(std::move(check),
                      QCoreApplication::translate("PictureCheck", why).toStdString());
}

PictureCheck tooLarge(PictureCheck check) {
    check.bound = PictureBound::TooLarge;
    return unreadable(std::move(check), TooLargeToShowText().toStdString());
}

bool isStartOfFrame(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the markers from the start of image to the end of image.
PictureCheck checkJpeg(std::string_view b) {
    PictureCheck check;
    check.format = PictureFormat::Jpeg;
    size_t at = 2;
    int scans = 0;
    while (at < b.size()) {
        if (uint8_t(b[at]) != 0xFF)
            return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a damaged JPEG"));
        while (at < b.size() && uint8_t(b[at]) == 0xFF)
            ++at; // fill bytes
        if (at >= b.size())
            break;
        const uint8_t marker = uint8_t(b[at++]);
        if (marker == 0xD9) { // end of image
            check.scans = scans;
            check.end = at;
            if (check.width * check.height * std::max(scans, 1) > maxDecodeWork) {
                check.bound = PictureBound::TooCostly;
                //: %1 x %2 is the picture's size in pixels, %3 the count of its scans
                return unreadable(
                    check, QCoreApplication::translate(
                               "PictureCheck", "a picture too costly to decode (%1 x %2, %3 scans)")
                               .arg(check.width)
                               .arg(check.height)
                               .arg(scans)
                               .toStdString());
            }
            return check;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (at + 2 > b.size())
            break;
        const size_t length = bigEndian16(b, at);
        if (length < 2)
            return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a damaged JPEG"));
        if (at + length > b.size())
            break;
        if (isStartOfFrame(marker) && length >= 7) {
            check.height = bigEndian16(b, at + 3);
            check.width = bigEndian16(b, at + 5);
            if (check.width > maxPictureSide || check.height > maxPictureSide)
                return tooLarge(check);
        }
        at += length;
        if (marker != 0xDA)
            continue;
        if (++scans > maxJpegScans)
            return unreadableBecause(check,
                                     QT_TRANSLATE_NOOP("PictureCheck", "a JPEG of too many scans"));
        // entropy-coded data runs to the next marker that is not a restart or a stuffed 0xFF
        while (at + 1 < b.size()) {
            // only an 0xFF can begin a marker: jump from one to the next
            const void* mark = std::memchr(b.data() + at, 0xFF, b.size() - at - 1);
            if (!mark) {
                at = b.size() - 1;
                break;
            }
            at = size_t(static_cast<const char*>(mark) - b.data());
            const uint8_t next = uint8_t(b[at + 1]);
            if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7))
                break;
            ++at;
        }
        if (at + 1 >= b.size())
            break;
    }
    return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a JPEG without its end"));
}

bool skipSubBlocks(std::string_view b, size_t& at) {
    while (at < b.size()) {
        const size_t size = uint8_t(b[at++]);
        if (size == 0)
            return true;
        at += size;
    }
    return false;
}

PictureCheck checkGif(std::string_view b) {
    PictureCheck check;
    check.format = PictureFormat::Gif;
    if (b.size() < 13)
        return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a GIF without its end"));
    check.width = littleEndian16(b, 6);
    check.height = littleEndian16(b, 8);
    if (check.width > maxPictureSide || check.height > maxPictureSide)
        return tooLarge(check);
    size_t at = 13;
    const uint8_t packed = uint8_t(b[10]);
    if (packed & 0x80)
        at += 3u * (2u << (packed & 7));
    while (at < b.size()) {
        const uint8_t block = uint8_t(b[at++]);
        if (block == 0x3B) { // trailer
            check.end = at;
            return check;
        }
        if (block == 0x21) {
            ++at; // label
            if (!skipSubBlocks(b, at))
                break;
        } else if (block == 0x2C) {
            if (at + 9 > b.size())
                break;
            const int64_t width = littleEndian16(b, at + 4), height = littleEndian16(b, at + 6);
            if (width > maxPictureSide || height > maxPictureSide)
                return tooLarge(check);
            const uint8_t local = uint8_t(b[at + 8]);
            at += 9;
            if (local & 0x80)
                at += 3u * (2u << (local & 7));
            ++at; // code size
            if (!skipSubBlocks(b, at))
                break;
        } else {
            return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a damaged GIF"));
        }
    }
    return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a GIF without its end"));
}

PictureCheck checkPng(std::string_view b) {
    PictureCheck check;
    check.format = PictureFormat::Png;
    size_t at = 8;
    bool first = true;
    while (at + 8 <= b.size()) {
        const uint32_t length = bigEndian32(b, at);
        const std::string_view type = b.substr(at + 4, 4);
        if (length > 0x7FFFFFFFu)
            return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a damaged PNG"));
        if (first) {
            if (type != "IHDR" || length < 8 || at + 16 > b.size())
                return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a damaged PNG"));
            check.width = bigEndian32(b, at + 8);
            check.height = bigEndian32(b, at + 12);
            if (check.width > maxPictureSide || check.height > maxPictureSide)
                return tooLarge(check);
            first = false;
        }
        if (uint64_t(at) + 12 + length > b.size())
            break;
        if (type == "IEND") {
            check.end = at + 12 + size_t(length);
            return check;
        }
        at += 12 + size_t(length);
    }
    return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a PNG without its end"));
}

PictureCheck checkBmp(std::string_view b) {
    PictureCheck check;
    check.format = PictureFormat::Bmp;
    if (b.size() < 26)
        return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a BMP without its end"));
    if (littleEndian32(b, 2) > b.size())
        return unreadableBecause(check, QT_TRANSLATE_NOOP("PictureCheck", "a BMP without its end"));
    check.width = int32_t(littleEndian32(b, 18));
    const int32_t height = int32_t(littleEndian32(b, 22));
    check.height = height < 0 ? -int64_t(height) : height;
    if (check.width > maxPictureSide || check.height > maxPictureSide || check.width < 0)
        return tooLarge(check);
    return check;
}

// RIFF, the size of what follows, "WEBP": whole when the size covers the rest.
PictureCheck checkWebP(std::string_view b) {
    PictureCheck check;
    check.format = PictureFormat::WebP;
    if (b.size() < 12 || uint64_t(littleEndian32(b, 4)) + 8 > b.size())
        return unreadableBecause(check,
                                 QT_TRANSLATE_NOOP("PictureCheck", "a WebP without its end"));
    return check;
}

} // namespace

QString TooLargeToShowText() {
    return QCoreApplication::translate("PictureCheck", "a picture too large to show");
}

PictureFormat SniffPicture(std::string_view body) {
    if (body.size() >= 3 && uint8_t(body[0]) == 0xFF && uint8_t(body[1]) == 0xD8 &&
        uint8_t(body[2]) == 0xFF)
        return PictureFormat::Jpeg;
    if (body.starts_with("GIF87a") || body.starts_with("GIF89a"))
        return PictureFormat::Gif;
    if (body.starts_with("\x89PNG\r\n\x1a\n"))
        return PictureFormat::Png;
    if (body.size() >= 26 && body.starts_with("BM"))
        return PictureFormat::Bmp;
    if (body.size() >= 12 && body.starts_with("RIFF") && body.substr(8, 4) == "WEBP")
        return PictureFormat::WebP;
    return PictureFormat::Unknown;
}

PictureCheck CheckPicture(std::string_view body, int64_t contentLength) {
    if (contentLength > 0 && int64_t(body.size()) < contentLength)
        return unreadableBecause(
            PictureCheck{}, QT_TRANSLATE_NOOP("PictureCheck", "a picture shorter than announced"));
    if (body.size() >= 3 && uint8_t(body[0]) == 0xFF && uint8_t(body[1]) == 0xD8)
        return checkJpeg(body);
    if (body.starts_with("GIF87a") || body.starts_with("GIF89a"))
        return checkGif(body);
    if (body.starts_with("\x89PNG\r\n\x1a\n"))
        return checkPng(body);
    if (body.starts_with("BM"))
        return checkBmp(body);
    if (SniffPicture(body) == PictureFormat::WebP)
        return checkWebP(body);
    return {};
}

bool IsWholeKnownPicture(std::string_view body) {
    return SniffPicture(body) != PictureFormat::Unknown && CheckPicture(body, 0).readable;
}
