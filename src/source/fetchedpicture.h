#pragma once

#include "common/camdetails.h"

#include <QByteArray>
#include <QSize>
#include <cstdint>
#include <optional>

// How fetching a picture failed, for the panel's mark and the retry schedule.
enum class FetchFailure {
    Connection,    // the server could not be reached (three in a row: offline)
    Certificate,   // the server's certificate did not verify
    Timeout,       // nothing came for too long, or the next cycle was due
    Protocol,      // too large, broken framing, a redirect not followed, an address not usable
    NotPicture,    // an answer that is not a picture (an error page, "HTTP 404")
    Refused,       // the cam refused the user name or password: no more tries until they change
    PlainPassword, // Basic over plain HTTP, which the user has not agreed to for this cam
    StreamEnded,   // a stream of pictures ended or broke off: it is asked again soon
    Address,       // the address cannot be fetched at all (until it is edited)
    ProxyRefused,  // the proxy refused its user name or password: asked again at a refresh
};

// A picture a source brought, and what its change test said.
struct FetchedPicture {
    // The picture's bytes: a picture file (JPEG, PNG, GIF, ...) when `format` is empty, else a
    // coded picture of the kind `format` names, which the decoders of that kind read.
    QByteArray body;
    QByteArray format;
    QSize size;                  // the picture's own size, when the source knows it already
    int64_t announcedLength = 0; // Content-Length; 0 or less when none was announced
    // a new Last-Modified line after an earlier one; without that line, a new ETag or new bytes
    bool pictureChanged = false;
    std::optional<int64_t> lastModifiedTime; // seconds since the epoch, when one was sent
    CamDetails details;                      // the panel's texts right after this picture
    quint64 judged = 0;                      // the source's count of pictures judged, with it
};
