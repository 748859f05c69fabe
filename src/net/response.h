#pragma once

#include "net/chunked.h"
#include "net/httphead.h"

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Memory stays bounded whatever a server sends.
inline constexpr size_t maxHeaderBytes = 64 * 1024;
inline constexpr size_t maxResponseBytes = 64 * 1024 * 1024;
// Buffers up to this size are kept for the next answer of the same cam.
inline constexpr size_t keptBufferBytes = 8 * 1024 * 1024;
// Interim answers passed over, at most, before one is final.
inline constexpr int maxInterimAnswers = 10;

// A response gathered from the socket, headers and body together. It is complete when the
// server closes, or earlier when its body is whole by its Content-Length or its final chunk.
struct ResponseState {
    // every byte received, headers and body together; once the response is complete, the
    // body alone, which the picture shares without a copy
    QByteArray responseBuffer;
    int32_t receivedBytes = 0; // all bytes until the header end is seen, body bytes after
    bool headerDone = false;
    int32_t contentLength = 0; // for progress; 0 while no length is known
    size_t headerScanFrom = 0; // where the search for the header end goes on
    int interimAnswers = 0;    // 1xx answers passed over before the final one
    size_t bodyStart = 0;      // where the body begins in responseBuffer
    ResponseHead head;
    Framing framing;
    std::optional<ChunkedDecoder> chunks;
    std::string decoded; // a chunked body, decoded
    bool complete = false;

    // The bytes received, as text to search.
    std::string_view received() const {
        return {responseBuffer.constData(), size_t(responseBuffer.size())};
    }
    // Starts a new response.
    void reset() { *this = ResponseState{}; }
    // Gathers the response into `room`: storage to use again, when no one else holds it.
    void receiveInto(QByteArray room) {
        room.resize(0); // keeps its capacity when no one else holds it
        responseBuffer = std::move(room);
    }
};

struct DataOutcome {
    bool abort = false;           // over a bound: the fetch ends here
    std::string error;            // why it ended, when it was not a bound
    std::optional<float> percent; // progress to show, when there is some
    bool complete = false;        // the body is whole: no need to wait for the close
};

// Appends a batch of received bytes. Progress is reported from the batch after the one that
// completed the headers, and only when a length is known. Interim answers (100 Continue, 102,
// 103 Early Hints) before the final one are passed over and not kept.
DataOutcome ReceiveResponseData(ResponseState& state, std::string_view bytes);

// The body length from the first header line containing "Content-Length" (exact letters):
// the text after the line's first space as a whole number, or 0 when it is not one. This is
// the reading progress has always used; the body's framing reads the field strictly.
int32_t ContentLengthOf(std::string_view headers);

// What a closed or complete response holds.
struct CompletedResponse {
    std::string_view headers; // empty when there is no header end
    std::string_view body;
    bool hasHeaderEnd = false;
};
CompletedResponse SplitResponse(std::string_view response);

// The body as its framing delivers it: decoded chunks, at most Content-Length bytes, or all
// that came. `whole` tells whether it arrived entirely.
struct ReceivedBody {
    std::string_view bytes;
    bool whole = true;
};
ReceivedBody BodyOf(const ResponseState& state);
