#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The status line and header fields of a response, read strictly where the program acts on
// them (status, framing, redirects, validators, Retry-After). The design's own loose readings
// of the raw header text ("image/" anywhere, the Last-Modified line, the progress length) stay
// in judgement.h and response.h.

struct ResponseHead {
    int status = 0; // 0 when there is no "HTTP/1.x NNN" status line
    std::vector<std::pair<std::string, std::string>> fields; // name as sent, value trimmed

    // The value of the first field of that name (any letter case); nothing when absent.
    std::optional<std::string_view> value(std::string_view name) const;
    // Every value of that name, in order.
    std::vector<std::string_view> values(std::string_view name) const;
};

// Reads the header block (the text before the blank line). Lines end at CR LF or a lone LF;
// a line without a colon is passed over.
ResponseHead ParseResponseHead(std::string_view headers);

// How the body of a response is delimited.
enum class BodyFraming {
    None,          // 1xx, 204 and 304, and answers to nothing: no body
    ContentLength, // exactly `length` bytes
    Chunked,       // Transfer-Encoding: chunked
    UntilClose,    // everything until the server closes
};
struct Framing {
    BodyFraming kind = BodyFraming::UntilClose;
    int64_t length = 0;
};
// Chunked wins over a Content-Length; several Content-Length fields must agree; a length that
// is not a plain number is no length.
Framing FramingOf(const ResponseHead& head);

// The seconds a 429 or 503 asks the client to wait: whole seconds or an HTTP date, counted
// from `now` (seconds since 1970). Nothing for nonsense, a negative number or a date in the
// past; at most `cap` seconds.
std::optional<int64_t> ParseRetryAfter(std::string_view value, int64_t now, int64_t cap = 3600);

// An HTTP date in any of its three forms (IMF-fixdate, RFC 850, asctime), as seconds since
// 1970 in UTC.
std::optional<int64_t> ParseHttpDate(std::string_view text);

// A validator as it may be sent back in If-None-Match or If-Modified-Since: printable text of
// a sane length, nothing that could add a line to the request.
bool IsSendableValidator(std::string_view value);

// The text with A to Z made a to z (header values, schemes and host names are compared so).
std::string AsciiLowered(std::string_view text);
