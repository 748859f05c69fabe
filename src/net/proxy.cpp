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

// Whether an address range ("192.168.0.0/16", "::1/128") holds the host; as curl has it, only a
// host given as an address is in a range, a name never is.
bool inRange(std::string_view range, const std::string& host) {
    const QHostAddress address(QString::fromStdString(host));
    if (address.isNull())
        return false;
    const auto subnet = QHostAddress::parseSubnet(QString::fromStdString(bare(range)));
    return subnet.second >= 0 && address.isInSubnet(subnet);
}

// Whether no_proxy names the host: "*", the host itself, a domain above it, or an address range
// that holds it.
bool bypassed(std::string_view list, const std::string& host) {
    size_t at = 0;
    while (at <= list.size()) {
        const size_t comma = std::min(list.find(',', at), list.size());
        std::string_view entry = trimmed(list.substr(at, comma - at));
        at = comma + 1;
        if (entry == "*")
            return true;
        if (entry.find('/') != std::string_view::npos) {
            if (inRange(entry, host))
                return true;
            continue;
        }
        // a port after the name is not looked at
        if (const size_t colon = entry.rfind(':'); colon != std::string_view::npos &&
                                                   entry.find(']') == std::string_view::npos &&
                                                   entry.find(':') == colon)
            entry = entry.substr(0, colon);
        while (entry.starts_with('.'))
            entry.remove_prefix(1);
        const std::string name = bare(entry);
        if (name.empty())
            continue;
        if (host == name || (host.size() > name.size() && host.ends_with(name) &&
                             host[host.size() - name.size() - 1] == '.'))
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
        exempt && bypassed(*exempt, bare(host)))
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
