#pragma once

#include <QByteArray>
#include <string>
#include <string_view>

// An answer's body under its Content-Encoding: gzip and deflate (zlib's format, or the raw
// stream some servers send) are undone within a bound; any other coding is refused by name.
struct DecodedContent {
    bool ok = true;
    QByteArray bytes;  // the body as it was before its codings
    std::string error; // why not, in words for the user
};

// `codings` is the field's value, the codings in the order they were applied.
DecodedContent DecodeContent(std::string_view codings, const QByteArray& body, size_t maxBytes);
