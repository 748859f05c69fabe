#pragma once

#include "net/camaddress.h"

#include <string>
#include <string_view>

// Where a redirect leads: the Location of a 301, 302, 303, 307 or 308, resolved against the
// address that answered it (absolute, "//host/...", "/path", "?query" or a relative path with
// "." and ".." segments). Only http and https are followed, and never from https down to http.
struct LocationResult {
    bool ok = false;
    CamAddress target;
    std::string error; // why it is not followed, in words for the user
};

LocationResult ResolveLocation(const CamAddress& base, std::string_view location);

// The path with its "." and ".." segments taken out (RFC 3986, 5.2.4); a query stays as it is.
std::string RemoveDotSegments(std::string_view path);

// Whether a status code asks to look elsewhere.
bool IsRedirectStatus(int status);
