// Content-Encoding as a hostile server may send it: the first line names the codings, the rest
// is the body. Undoing them never passes the bound, whatever the body inflates to.
#include "net/contentcoding.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t lineEnd = input.find('\n');
    if (lineEnd == std::string_view::npos)
        return 0;
    const QByteArray body(input.data() + lineEnd + 1, qsizetype(input.size() - lineEnd - 1));
    constexpr size_t bound = 1 << 20;
    const DecodedContent decoded = DecodeContent(input.substr(0, lineEnd), body, bound);
    if (decoded.ok && size_t(decoded.bytes.size()) > bound)
        abort();
    if (!decoded.ok && decoded.error.empty())
        abort(); // a refusal says why
    return 0;
}
