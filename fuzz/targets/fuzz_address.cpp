// A cam address as a user or a damaged cam list may hold it: the split and the request.
#include "net/camaddress.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view address(reinterpret_cast<const char*>(data), size);
    const auto split = SplitCamAddress(address);
    if (!split)
        return 0;
    for (unsigned char c : split->camHost)
        if (c < 32 || c == 127 || c == ' ')
            abort(); // a host that could add a line was let through
    const std::string path = EscapeRequestPath(split->camPath);
    const std::string request = BuildRequest(path, split->camHost);
    // the request has exactly its four lines and the blank one
    size_t lines = 0;
    for (size_t at = request.find("\r\n"); at != std::string::npos;
         at = request.find("\r\n", at + 2))
        ++lines;
    if (lines != 5)
        abort();
    for (size_t i = 0; i < request.size(); ++i)
        if ((request[i] == '\r' || request[i] == '\n') &&
            !(request[i] == '\r' && i + 1 < request.size() && request[i + 1] == '\n') &&
            !(request[i] == '\n' && i > 0 && request[i - 1] == '\r'))
            abort();
    RequestFileName(path);
    return 0;
}
