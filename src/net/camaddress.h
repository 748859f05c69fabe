#pragma once

#include "common/credentials.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where a cam's picture is fetched from, split from the address the user typed.
struct CamAddress {
    bool secure = false;   // https: over TLS
    std::string camHost;   // what the user wrote before the first "/" (the Host header)
    std::string camPath;   // from the first "/" on, query included
    std::string connectTo; // the host name or address to connect to
    uint16_t port = 80;
    // "user:password@" before the host, taken out of camHost and of text()
    bool hasUserInfo = false;
    std::string user, password;

    // The address written out again: "http://host[:port]/path" or "https://...".
    std::string text() const;
};

// Splits "http://host[:port]/path" and "https://host[:port]/path"; the scheme may be written in
// any letter case, and an address without one is fetched over plain HTTP. Blanks at either end
// are not the address's; no path after the host is "/", and a "#fragment" is left out. Fails
// when the host part holds a blank or a control character, when its port is not a number from
// 1 to 65535, or when the address names another scheme.
std::optional<CamAddress> SplitCamAddress(std::string_view address);

// The address without its "user:password@", when it has one.
std::string AddressWithoutUserInfo(std::string_view address);

// Why an address cannot be fetched, in words for the user; empty when it can.

std::string AddressProblem(std::string_view address);

// The path as sent: spaces become "%20" and control characters are percent-encoded, so
// nothing from the address can add a line to the request. Already escaped text is kept.
std::string EscapeRequestPath(std::string_view path);

// The request, byte for byte. `extraHeaders` (whole lines, each ended by CR LF) go before the
// blank line; without them the request is exactly the plain one the program always sent.
std::string BuildRequest(std::string_view camPath, std::string_view camHost,
                         std::string_view extraHeaders = {});

// The last segment of the path, query included ("cam%201.jpg"), for the status bar.
std::string RequestFileName(std::string_view camPath);
