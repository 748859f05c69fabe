#pragma once

#include "net/chunked.h"
#include "net/exchange.h"
#include "net/multipart.h"

#include <optional>
#include <string>

// A stream's framing: its chunks, when it comes chunked, then its parts.
struct Exchange::Stream {
    explicit Stream(std::string boundary) : parts(std::move(boundary), maxStreamPartBytes) {}
    MultipartReader parts;
    std::optional<ChunkedDecoder> chunks;
    bool feeding = false; // parts are being handed on: the exchange may be dropped meanwhile
    bool dropped = false;
};
