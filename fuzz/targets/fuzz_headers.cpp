// The header fields the program now acts on: the status line, the body's framing, Retry-After
// and HTTP dates, and the validators it may send back.
#include "net/httphead.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view headers(reinterpret_cast<const char*>(data), size);
    const ResponseHead head = ParseResponseHead(headers);
    if (head.status != 0 && (head.status < 100 || head.status > 599))
        abort();
    const Framing framing = FramingOf(head);
    if (framing.kind == BodyFraming::ContentLength && framing.length < 0)
        abort();
    for (const auto& [name, value] : head.fields) {
        if (name.empty() || name.find(':') != std::string::npos)
            abort();
        if (IsSendableValidator(value))
            for (unsigned char c : value)
                if (c < 0x20 || c == 0x7F)
                    abort();
        const int64_t now = 1796000000;
        if (const auto wait = ParseRetryAfter(value, now); wait && (*wait < 0 || *wait > 3600))
            abort();
        ParseHttpDate(value);
    }
    return 0;
}
