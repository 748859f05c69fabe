#include "fetch/response.h"

#include "common/numbertext.h"

namespace {
constexpr std::string_view headerEnd = "\r\n\r\n";
}

DataOutcome ReceiveResponseData(ResponseState& state, std::string_view bytes) {
    DataOutcome outcome;
    if (state.responseBuffer.size() + bytes.size() > maxResponseBytes) {
        outcome.abort = true;
        return outcome;
    }
    const bool headerWasDone = state.headerDone;
    state.responseBuffer.append(bytes);
    state.receivedBytes += int32_t(bytes.size());

    if (headerWasDone) {
        if (state.contentLength < 1)
            return outcome;
        const double percent = double(state.receivedBytes) / (double(state.contentLength) / 100);
        outcome.percent = float(percent);
        return outcome;
    }

    const size_t end = state.responseBuffer.find(headerEnd, state.headerScanFrom);
    if (end == std::string::npos) {
        if (state.responseBuffer.size() > maxHeaderBytes)
            outcome.abort = true;
        // the next search starts where a header end split across two batches could begin
        state.headerScanFrom =
            state.responseBuffer.size() >= 3 ? state.responseBuffer.size() - 3 : 0;
        return outcome;
    }
    if (end > maxHeaderBytes) {
        outcome.abort = true;
        return outcome;
    }
    state.headerDone = true;
    // the headers and their blank line take end + 4 bytes; the rest is body
    state.receivedBytes -= int32_t(end + headerEnd.size());
    state.contentLength = ContentLengthOf(std::string_view(state.responseBuffer).substr(0, end));
    return outcome;
}

int32_t ContentLengthOf(std::string_view headers) {
    size_t start = 0;
    while (start <= headers.size()) {
        size_t stop = headers.find("\r\n", start);
        if (stop == std::string_view::npos)
            stop = headers.size();
        const std::string_view line = headers.substr(start, stop - start);
        if (line.find("Content-Length") != std::string_view::npos) {
            const size_t space = line.find(' ');
            const std::string_view value =
                space == std::string_view::npos ? line : line.substr(space + 1);
            return parseLong(value).value_or(0);
        }
        start = stop + 2;
    }
    return 0;
}

CompletedResponse SplitResponse(std::string_view response) {
    CompletedResponse split;
    const size_t end = response.find(headerEnd);
    if (end == std::string_view::npos) {
        split.body = response;
        return split;
    }
    split.hasHeaderEnd = true;
    split.headers = response.substr(0, end);
    split.body = response.substr(end + headerEnd.size());
    return split;
}
