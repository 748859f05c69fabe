// The HTTP response as a hostile server may send it: reception in batches, the split, the
// judgement, the Content-Length and Last-Modified readings.
#include "net/judgement.h"
#include "net/response.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // the first byte chooses the batch size, so the header end falls across batches
    const size_t batch = size ? size_t(data[0] % 17) + 1 : 1;
    ResponseState state;
    for (size_t at = 1; at < size; at += batch) {
        const DataOutcome outcome = ReceiveResponseData(state, input.substr(at, batch));
        if (outcome.abort)
            break;
        if (state.received().size() > maxResponseBytes)
            abort();
        if (!state.headerDone && state.received().size() > maxHeaderBytes + batch)
            abort();
    }
    const CompletedResponse split = SplitResponse(state.received());
    if (split.hasHeaderEnd &&
        split.headers.size() + 4 + split.body.size() != state.received().size())
        abort();
    IsImageResponse(split.headers);
    ContentLengthOf(split.headers);
    if (auto line = LastModifiedLine(split.headers)) {
        const std::string changed = LastChangedText(*line);
        if (changed.size() > line->size())
            abort();
        if (CompareLastModified(*line, *line) != PictureNews::Unchanged)
            abort();
    }
    return 0;
}
