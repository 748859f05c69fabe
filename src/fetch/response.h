#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A response gathered from the socket, headers and body together, until the server closes.
struct ResponseState {
    std::string responseBuffer;
    int32_t receivedBytes = 0; // all bytes until the header end is seen, body bytes after
    bool headerDone = false;
    int32_t contentLength = 0; // 0 while no length is known
    size_t headerScanFrom = 0; // where the search for the header end goes on

    void reset() { *this = ResponseState{}; }
};

// Memory stays bounded whatever a server sends.
inline constexpr size_t maxHeaderBytes = 64 * 1024;
inline constexpr size_t maxResponseBytes = 64 * 1024 * 1024;

struct DataOutcome {
    bool abort = false;           // over a bound: the fetch ends here
    std::optional<float> percent; // progress to show, when there is some
};

// Appends a batch of received bytes. Progress is reported from the batch after the one that
// completed the headers, and only when a length is known.
DataOutcome ReceiveResponseData(ResponseState& state, std::string_view bytes);

// The body length from the first header line containing "Content-Length" (exact letters):
// the text after the line's first space as a whole number, or 0 when it is not one.
int32_t ContentLengthOf(std::string_view headers);

// What a closed response holds.
struct CompletedResponse {
    std::string_view headers; // empty when there is no header end
    std::string_view body;
    bool hasHeaderEnd = false;
};
CompletedResponse SplitResponse(std::string_view response);
