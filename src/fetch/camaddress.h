#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where a cam's picture is fetched from, split from the address the user typed.
struct CamAddress {
    std::string camHost;   // what the user wrote before the first "/" (the Host header)
    std::string camPath;   // from the first "/" on, query included
    std::string connectTo; // the host name or address to connect to
    uint16_t port = 80;
};

// Splits "http://host[:port]/path" (the "http://" is optional; no other scheme is known).
// Fails when there is no "/" after the host, when the host part holds a blank or a control
// character, or when its port is not a number from 1 to 65535.
std::optional<CamAddress> SplitCamAddress(std::string_view address);

// The path as sent: spaces become "%20" and control characters are percent-encoded, so
// nothing from the address can add a line to the request. Already escaped text is kept.
std::string EscapeRequestPath(std::string_view path);

// The request, byte for byte.
std::string BuildRequest(std::string_view camPath, std::string_view camHost);

// The last segment of the path, query included ("cam%201.jpg"), for the status bar.
std::string RequestFileName(std::string_view camPath);
