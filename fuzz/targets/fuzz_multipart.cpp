// A stream's part reader, fed what a hostile server sends, in batches the input chooses: it
// never holds more than a part's bound, every part it hands on lies within the bytes it was
// given, and once it stops it takes nothing more.
#include "net/multipart.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // the first byte picks the batch size, the second whether the boundary is sniffed
    const size_t batch = 1 + data[0] % 64;
    const std::string_view input(reinterpret_cast<const char*>(data + 2), size - 2);
    constexpr size_t maxPart = 4096;
    bool more = false;
    std::optional<std::string> boundary =
        data[1] & 1 ? SniffedStreamBoundary(input, &more) : StreamBoundary(input.substr(0, 80));
    MultipartReader reader(boundary.value_or("frame"), maxPart);
    size_t parts = 0;
    bool stopped = false;
    for (size_t at = 0; at < input.size(); at += batch) {
        const bool goesOn = reader.feed(
            input.substr(at, batch), [&](std::string_view headers, std::string_view body) {
                if (body.size() > maxPart || headers.size() > MultipartReader::maxHeaderBytes)
                    abort();
                ++parts;
            });
        if (stopped && goesOn)
            abort(); // a stream that stopped does not start again
        stopped = stopped || !goesOn;
        if (reader.held() > maxPart + MultipartReader::maxHeaderBytes + 64 * 2)
            abort();
    }
    return parts > input.size() ? 1 : 0;
}
