#include "net/response.h"

#include "common/localtext.h"
#include "common/numbertext.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
constexpr std::string_view headerEnd = "\r\n\r\n";

// 1xx answers other than 101 (which would switch to another protocol, never asked for here)
bool isInterim(int status) {
    return status >= 100 && status < 200 && status != 101;
}
} // namespace

namespace {

// The body's framing decides, after each batch, whether the response is whole.
void followBody(ResponseState& state, std::string_view newBodyBytes, DataOutcome& outcome) {
    switch (state.framing.kind) {
    case BodyFraming::None:
        state.complete = true;
        break;
    case BodyFraming::ContentLength:
        state.complete =
            int64_t(state.responseBuffer.size()) - int64_t(state.bodyStart) >= state.framing.length;
        break;
    case BodyFraming::Chunked:
        state.chunks->feed(newBodyBytes, state.decoded);
        if (state.chunks->failed()) {
            outcome.abort = state.chunks->bodyTooLarge();
            outcome.error =
                localBytes(QCoreApplication::translate("Response", "the server sent %1"),
                           {state.chunks->error()});
        }
        state.complete = state.chunks->done();
        break;
    case BodyFraming::UntilClose:
        break;
    }
    outcome.complete = state.complete;
}

} // namespace

DataOutcome ReceiveResponseData(ResponseState& state, std::string_view bytes) {
    DataOutcome outcome;
    if (state.complete)
        return outcome; // what comes after a whole response is not part of it
    if (size_t(state.responseBuffer.size()) + bytes.size() > maxResponseBytes) {
        outcome.abort = true;
        return outcome;
    }
    const bool headerWasDone = state.headerDone;
    state.responseBuffer.append(bytes.data(), qsizetype(bytes.size()));
    state.receivedBytes += int32_t(bytes.size());

    if (headerWasDone) {
        followBody(state, bytes, outcome);
        if (state.contentLength < 1)
            return outcome;
        const double percent = double(state.receivedBytes) / (double(state.contentLength) / 100);
        outcome.percent = float(percent);
        return outcome;
    }

    std::string_view received = state.received();
    size_t end = received.find(headerEnd, state.headerScanFrom);
    // an interim answer before the final one says nothing of it: passed over and not kept
    while (end != std::string_view::npos && end <= maxHeaderBytes &&
           isInterim(ParseResponseHead(received.substr(0, end)).status)) {
        if (++state.interimAnswers > maxInterimAnswers) {
            outcome.error = localBytes(QCoreApplication::translate(
                "Response", "the server sent more than 10 interim answers"));
            return outcome;
        }
        state.receivedBytes -= int32_t(end + headerEnd.size());
        state.responseBuffer.remove(0, qsizetype(end + headerEnd.size()));
        received = state.received();
        end = received.find(headerEnd);
    }
    if (end == std::string_view::npos) {
        if (received.size() > maxHeaderBytes)
            outcome.abort = true;
        // the next search starts where a header end split across two batches could begin
        state.headerScanFrom = received.size() >= 3 ? received.size() - 3 : 0;
        return outcome;
    }
    if (end > maxHeaderBytes) {
        outcome.abort = true;
        return outcome;
    }
    state.headerDone = true;
    // the headers and their blank line take end + 4 bytes; the rest is body
    state.receivedBytes -= int32_t(end + headerEnd.size());
    const std::string_view headers = received.substr(0, end);
    state.contentLength = ContentLengthOf(headers);
    state.head = ParseResponseHead(headers);
    state.framing = FramingOf(state.head);
    state.bodyStart = end + headerEnd.size();
    if (state.framing.kind == BodyFraming::ContentLength) {
        // room for the announced body at once, not grown batch by batch; no more than a kept
        // buffer may hold, as the length is only what the server says
        const int64_t whole = int64_t(state.bodyStart) + state.framing.length;
        const auto wanted = size_t(std::min<int64_t>(whole, int64_t(keptBufferBytes)));
        if (size_t(state.responseBuffer.capacity()) < wanted) // room for a larger one next time
            state.responseBuffer.reserve(qsizetype(std::min(wanted + wanted / 8, keptBufferBytes)));
    }
    if (state.framing.kind == BodyFraming::Chunked)
        state.chunks.emplace(maxResponseBytes);
    followBody(state, state.received().substr(state.bodyStart), outcome);
    return outcome;
}

ReceivedBody BodyOf(const ResponseState& state) {
    const std::string_view received = state.received();
    const std::string_view all = received.substr(std::min(state.bodyStart, received.size()));
    switch (state.framing.kind) {
    case BodyFraming::None:
        return {{}, true};
    case BodyFraming::ContentLength:
        return {all.substr(0, size_t(std::min<int64_t>(state.framing.length, int64_t(all.size())))),
                int64_t(all.size()) >= state.framing.length};
    case BodyFraming::Chunked:
        return {state.decoded, state.chunks && state.chunks->done()};
    case BodyFraming::UntilClose:
        return {all, true};
    }
    return {all, true};
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
