// A chunked body as a hostile server may send it, in batches: the decoder never reads past
// its input, never lets the body pass its bound, and a failure is final.
#include "net/chunked.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const size_t batch = size_t(data[0] % 23) + 1; // the first byte chooses the batches
    constexpr size_t bound = 4096;
    ChunkedDecoder decoder(bound);
    std::string body;
    for (size_t at = 0; at < input.size(); at += batch) {
        const std::string_view part = input.substr(at, batch);
        const bool wasFailed = decoder.failed();
        const size_t used = decoder.feed(part, body);
        if (used > part.size())
            abort();
        if (wasFailed && used != 0)
            abort(); // a failed decoder takes nothing more
        if (body.size() > bound)
            abort();
        if (decoder.done() && used < part.size())
            break; // what follows the final chunk is not the body's
    }
    return 0;
}
