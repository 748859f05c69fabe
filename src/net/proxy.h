#pragma once

#include "common/credentials.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// How a cam's server is reached: directly, or through the proxy the environment names, as curl
// reads it: http_proxy for http://, https_proxy for https://, all_proxy for both (in either
// letter case, but http_proxy only in small letters), unless no_proxy names the host ("*", a host,
// a domain and every host in it, or an address range such as 192.168.0.0/16 that holds a host
// given as an address). Addresses are compared as the socket reads them, whatever the spelling;
// names without their root dot, and never looked up.
struct ProxyRoute {
    enum class Kind { Direct, Http, Socks5 };
    Kind kind = Kind::Direct;
    std::string host;
    uint16_t port = 0;
    std::optional<Credentials> credentials; // from the proxy's address
    std::string variable;                   // the environment variable that named it
    std::string problem;                    // why the named proxy cannot be used; empty when it can

    // "http://host:port" or "socks5://host:port", without credentials; empty when direct.
    std::string text() const;
};

// A variable of the environment, when it is set and not empty.
using Environment = std::function<std::optional<std::string>(const char* name)>;
Environment ProcessEnvironment();

ProxyRoute ProxyFor(bool secure, std::string_view host, const Environment& environment);
