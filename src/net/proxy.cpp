#include "net/proxy.h"

#include "common/localtext.h"
#include "net/httphead.h"

#include <QCoreApplication>
#include <QHostAddress>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// A host without the brackets of an IPv6 address.
std::string bare(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return AsciiLowered(host);
}

std::optional<std::string> either(const Environment& environment, const char* lower,
                                  const char* upper) {
    if (auto value = environment(lower))
        return value;
    return environment(upper);
}

// The host as the address a socket connects to, whatever its spelling: Qt reads every form
// glibc's inet_aton reads ("127.1", "2130706433", "0x7f.1", and "0177.0.0.1" as octal, which is
// 127.0.0.1), and an IPv4-mapped IPv6 address is the IPv4 address it maps. Null for a name,
// which is never looked up here.
QHostAddress addressOf(std::string_view host) {
    QHostAddress address;
    if (!address.setAddress(QString::fromStdString(bare(host))))
        return {};
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    return address.protocol() == QHostAddress::IPv6Protocol && mapped ? QHostAddress(v4) : address;
}

// A name with its one trailing dot (the root's) dropped: "localhost." is "localhost".
std::string withoutRoot(std::string name) {
    if (name.ends_with('.'))
        name.pop_back();
    return name;
}

// Whether an address range ("192.168.0.0/16", "::1/128") holds the address.
bool inRange(std::string_view range, const QHostAddress& address) {
    const auto subnet = QHostAddress::parseSubnet(QString::fromStdString(bare(range)));
    return subnet.second >= 0 && address.isInSubnet(subnet);
}

// Whether no_proxy names the host: "*", the host itself, a domain above it, or an address range
// that holds it. As curl has it, a host given as an address is compared only with addresses, and
// a name only with names.
bool bypassed(std::string_view list, std::string_view host) {
    const QHostAddress address = addressOf(host);
    const std::string name = withoutRoot(bare(host));
    size_t at = 0;
    while (at <= list.size()) {
        const size_t comma = std::min(list.find(',', at), list.size());
        std::string_view entry = trimmed(list.substr(at, comma - at));
        at = comma + 1;
        if (entry == "*")
            return true;
        if (entry.find('/') != std::string_view::npos) {
            if (!address.isNull() && inRange(entry, address))
                return true;
            continue;
        }
        // a port after the name or the bracketed address is not looked at
        if (entry.starts_with('['))
            entry = entry.substr(0, entry.find(']') + 1);
        else if (const size_t colon = entry.rfind(':');
                 colon != std::string_view::npos && entry.find(':') == colon)
            entry = entry.substr(0, colon);
        if (!address.isNull()) {
            if (addressOf(entry) == address)
                return true;
            continue;
        }
        while (entry.starts_with('.'))
            entry.remove_prefix(1);
        const std::string domain = withoutRoot(bare(entry));
        if (domain.empty())
            continue;
        if (name == domain || (name.size() > domain.size() && name.ends_with(domain) &&
                               name[name.size() - domain.size() - 1] == '.'))
            return true;
    }
    return false;
}

} // namespace

Environment ProcessEnvironment() {
    return [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (!value || !*value)
            return std::nullopt;
        return std::string(value);
    };
}

std::string ProxyRoute::text() const {
    if (kind == Kind::Direct)
        return {};
    const bool ipv6 = host.find(':') != std::string::npos;
    return (kind == Kind::Socks5 ? "socks5://" : "http://") + (ipv6 ? "[" + host + "]" : host) +
           ":" + std::to_string(port);
}

ProxyRoute ProxyFor(bool secure, std::string_view host, const Environment& environment) {
    ProxyRoute route;
    if (const auto exempt = either(environment, "no_proxy", "NO_PROXY");
        exempt && bypassed(*exempt, host))
        return route;
    // HTTP_PROXY in capitals is not read: a CGI program's environment takes it from a request's
    // "Proxy:" header, so curl reads only the small letters
    std::optional<std::string> named =
        secure ? either(environment, "https_proxy", "HTTPS_PROXY") : environment("http_proxy");
    route.variable = secure ? "https_proxy" : "http_proxy";
    if (!named) {
        named = either(environment, "all_proxy", "ALL_PROXY");
        route.variable = "all_proxy";
    }
    if (!named)
        return route;
    std::string_view address = trimmed(*named);
    // the scheme says how the proxy is spoken to; none means plain HTTP, as curl has it
    const size_t mark = address.find("://");
    const std::string scheme =
        mark == std::string_view::npos ? "http" : AsciiLowered(address.substr(0, mark));
    if (scheme == "http") {
        route.kind = ProxyRoute::Kind::Http;
    } else if (scheme == "socks5" || scheme == "socks5h") {
        route.kind = ProxyRoute::Kind::Socks5;
    } else {
        route.kind = ProxyRoute::Kind::Http;
        route.problem =
            localBytes(QCoreApplication::translate(
                           "ProxyRoute", "the proxy in %1 is spoken to with %2://, which the "
                                         "program does not speak; only http:// and socks5:// are"),
                       {route.variable, scheme});
        return route;
    }
    if (const std::optional<AddressUserInfo> info = SplitUserInfo(address)) {
        route.credentials = info->credentials;
        address = address.substr(info->hostStart);
    } else if (mark != std::string_view::npos) {
        address.remove_prefix(mark + 3);
    }
    address = address.substr(0, address.find('/'));
    // the port after the host (after the brackets of an IPv6 address); curl's 1080 without one
    std::string_view name = address;
    route.port = 1080;
    const size_t closing = address.find(']');
    const size_t colon = address.rfind(':');
    if (colon != std::string_view::npos && (closing == std::string_view::npos || colon > closing)) {
        name = address.substr(0, colon);
        const std::string digits(address.substr(colon + 1));
        const long port = digits.empty() || digits.size() > 5 ||
                                  digits.find_first_not_of("0123456789") != std::string::npos
                              ? -1
                              : std::strtol(digits.c_str(), nullptr, 10);
        if (port < 1 || port > 65535) {
            route.problem = localBytes(
                QCoreApplication::translate("ProxyRoute", "the proxy in %1 has no usable port"),
                {route.variable});
            return route;
        }
        route.port = uint16_t(port);
    }
    route.host = bare(name);
    if (route.host.empty())
        route.problem =
            localBytes(QCoreApplication::translate("ProxyRoute", "the proxy in %1 names no host"),
                       {route.variable});
    return route;
}
