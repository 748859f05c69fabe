// A redirect's Location against a cam's address: whatever is followed is an http or https
// address that cannot add a line to the request, never from https down to http, and its path
// holds no "." or ".." segment.
#include "net/location.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // the first line is the cam's address, the rest the Location
    const size_t newline = input.find('\n');
    const std::string_view address =
        newline == std::string_view::npos ? "http://a.example/x/y.jpg" : input.substr(0, newline);
    const std::string_view location =
        newline == std::string_view::npos ? input : input.substr(newline + 1);
    const auto base = SplitCamAddress(address);
    if (!base)
        return 0;
    const LocationResult result = ResolveLocation(*base, location);
    if (!result.ok)
        return 0;
    if (base->secure && !result.target.secure)
        abort();
    const std::string& path = result.target.camPath;
    if (path.empty() || path.front() != '/')
        abort();
    const std::string_view route = std::string_view(path).substr(0, path.find('?'));
    if (route.find("/./") != std::string_view::npos ||
        route.find("/../") != std::string_view::npos || route.ends_with("/.") ||
        route.ends_with("/.."))
        abort();
    const std::string request = BuildRequest(EscapeRequestPath(path), result.target.camHost);
    size_t lines = 0;
    for (size_t at = request.find("\r\n"); at != std::string::npos;
         at = request.find("\r\n", at + 2))
        ++lines;
    if (lines != 5 || request.find('\n') != request.find("\r\n") + 1)
        abort();
    if (!SplitCamAddress(result.target.text()))
        abort(); // what is followed can be written out and read again
    return 0;
}
