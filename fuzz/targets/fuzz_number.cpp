// Refresh intervals and Content-Length values as people and servers write them.
#include "common/numbertext.h"
#include "net/response.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto number = parseNumber(text); number && !std::isfinite(*number))
        abort();
    parseLong(text);
    ContentLengthOf(text);
    if (auto number = parseNumber(text))
        formatGeneral(*number, 15);
    return 0;
}
