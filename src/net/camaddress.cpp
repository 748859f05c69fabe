#include "net/camaddress.h"

#include "common/localtext.h"

#include <QCoreApplication>

namespace {

bool isControlOrBlank(unsigned char c) {
    return c < 32 || c == 127 || c == ' ';
}

std::optional<uint16_t> parsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + unsigned(c - '0');
    }
    if (value == 0 || value > 65535)
        return std::nullopt;
    return uint16_t(value);
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != prefix[i])
            return false;
    }
    return true;
}

// The scheme of "scheme://...", when the address begins with one.
std::optional<std::string_view> schemeOf(std::string_view address) {
    const size_t mark = address.find("://");
    if (mark == std::string_view::npos || mark == 0)
        return std::nullopt;
    for (size_t i = 0; i < mark; ++i) {
        const char c = address[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return std::nullopt;
    }
    return address.substr(0, mark);
}

// A pasted address's blanks at either end are not its own.
std::string_view withoutBlanks(std::string_view address) {
    const size_t first = address.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return address.substr(first, address.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::string AddressWithoutUserInfo(std::string_view address) {
    const std::optional<AddressUserInfo> split = SplitUserInfo(address);
    return split && SplitCamAddress(address) ? split->addressWithout : std::string(address);
}

std::string CamAddress::text() const {

    return (secure ? "https://" : "http://") + camHost + camPath;
}

std::string AddressProblem(std::string_view address) {
    if (SplitCamAddress(address))
        return {};
    if (const auto scheme = schemeOf(address);
        scheme && !startsWithNoCase(address, "http://") && !startsWithNoCase(address, "https://"))
        return localBytes(QCoreApplication::translate(
                              "CamAddress",
                              "the address uses %1://, which is not fetched; only http:// and "
                              "https:// are"),
                          {*scheme});
    return localBytes(
        QCoreApplication::translate("CamAddress", "the address's host or port cannot be right"));
}

std::optional<CamAddress> SplitCamAddress(std::string_view typed) {
    const std::string_view address = withoutBlanks(typed);
    CamAddress split;
    std::string_view rest = address;
    if (startsWithNoCase(rest, "https://")) {
        rest.remove_prefix(8);
        split.secure = true;
        split.port = 443;
    } else if (startsWithNoCase(rest, "http://")) {
        rest.remove_prefix(7);
    } else if (schemeOf(address)) {
        return std::nullopt; // ftp://, file://, ...: not fetched
    }
    // "user:password@" before the host: the cam's credentials, never sent as a part of it
    size_t hostStart = 0;
    if (const std::optional<AddressUserInfo> info = SplitUserInfo(address)) {
        split.user = info->credentials.user.toStdString();
        split.password = info->credentials.password.toStdString();
        split.hasUserInfo = true;
        hostStart = info->hostStart - size_t(rest.data() - address.data());
    }
    // the host ends where the path, the query or the fragment begins; no path is "/", as
    // browsers and curl take it, and a fragment is the browser's, never sent
    const size_t end = rest.find_first_of("/?#", hostStart);
    split.camHost = std::string(rest.substr(hostStart, end - hostStart));
    std::string_view path = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    path = path.substr(0, path.find('#'));
    split.camPath = path.starts_with('/') ? std::string(path) : "/" + std::string(path);

    if (split.camHost.empty())
        return std::nullopt;
    for (unsigned char c : split.camHost)
        if (isControlOrBlank(c))
            return std::nullopt;

    std::string_view host = split.camHost;
    if (host.starts_with('[')) { // [v6 address] with an optional port
        const size_t close = host.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        std::string_view after = host.substr(close + 1);
        if (!after.empty()) {
            if (!after.starts_with(':'))
                return std::nullopt;
            auto port = parsePort(after.substr(1));
            if (!port)
                return std::nullopt;
            split.port = *port;
        }
        split.connectTo = std::string(host.substr(1, close - 1));
        return split;
    }
    const size_t colon = host.rfind(':');
    if (colon != std::string_view::npos) {
        auto port = parsePort(host.substr(colon + 1));
        if (!port)
            return std::nullopt;
        split.port = *port;
        host = host.substr(0, colon);
    }
    split.connectTo = std::string(host);
    return split;
}

std::string EscapeRequestPath(std::string_view path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(path.size());
    for (unsigned char c : path) {
        if (c == ' ') {
            escaped += "%20";
        } else if (c < 32 || c == 127) {
            escaped += '%';
            escaped += hex[c >> 4];
            escaped += hex[c & 15];
        } else {
            escaped += char(c);
        }
    }
    return escaped;
}

std::string BuildRequest(std::string_view camPath, std::string_view camHost,
                         std::string_view extraHeaders) {
    std::string request;
    request.reserve(camPath.size() + camHost.size() + extraHeaders.size() + 64);
    request.append("GET ").append(camPath).append(" HTTP/1.1\r\n");
    request.append("Host: ").append(camHost).append("\r\n");
    request.append("Connection: close\r\n");
    request.append("Accept: */*\r\n");
    request.append(extraHeaders);
    request.append("\r\n");
    return request;
}

std::string RequestFileName(std::string_view camPath) {
    const size_t slash = camPath.rfind('/');
    return std::string(slash == std::string_view::npos ? camPath : camPath.substr(slash + 1));
}
