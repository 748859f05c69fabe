#include "common/credentials.h"

#include "common/numbertext.h"

#include <cctype>

namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The port an address of the scheme goes to when it names none; empty for another scheme.
std::string schemePort(const std::string& scheme) {
    if (scheme == "http")
        return "80";
    if (scheme == "https")
        return "443";
    if (scheme == "rtsp")
        return "554";
    return scheme == "rtsps" ? "322" : "";
}

} // namespace

CredentialStore::~CredentialStore() = default;

std::string percentDecoded(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 &&
            hexDigitValue(text[i + 2]) >= 0) {
            out += char(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<AddressUserInfo> SplitUserInfo(std::string_view address) {
    // a scheme is letters (then letters, digits, "+", "-", ".") before the first "/": a "://"
    // further on belongs to the path or the query
    size_t scheme = address.find("://");
    if (scheme != std::string_view::npos &&
        (scheme == 0 || scheme > address.find('/') ||
         !std::isalpha(static_cast<unsigned char>(address[0])) ||
         address.substr(0, scheme).find_first_not_of(
             "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRST"
             "UVWXYZ0123456789+-.") != std::string_view::npos))
        scheme = std::string_view::npos;
    const size_t start = scheme == std::string_view::npos ? 0 : scheme + 3;
    const size_t slash = address.find('/', start);
    const std::string_view authority = address.substr(
        start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
    const size_t at = authority.rfind('@');
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view userInfo = authority.substr(0, at);
    const size_t colon = userInfo.find(':');
    AddressUserInfo split;
    split.credentials.user = QString::fromStdString(percentDecoded(userInfo.substr(0, colon)));
    if (colon != std::string_view::npos)
        split.credentials.password =
            QString::fromStdString(percentDecoded(userInfo.substr(colon + 1)));
    split.hostStart = start + at + 1;
    split.addressWithout =
        std::string(address.substr(0, start)) + std::string(address.substr(split.hostStart));
    return split;
}

QByteArray CredentialOrigin(std::string_view address) {
    const size_t first = address.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    address = address.substr(first, address.find_last_not_of(" \t") - first + 1);
    const std::optional<AddressUserInfo> info = SplitUserInfo(address);
    const std::string without = info ? info->addressWithout : std::string(address);
    std::string_view rest = without;
    std::string scheme = "http";
    if (const size_t mark = rest.find("://");
        mark != std::string_view::npos && mark > 0 && mark < rest.find('/')) {
        scheme = lowered(rest.substr(0, mark));
        rest.remove_prefix(mark + 3);
    }
    const std::string hostPort = lowered(rest.substr(0, rest.find_first_of("/?#")));
    std::string_view host = hostPort;
    std::string port = schemePort(scheme);
    const size_t close = host.rfind(']'); // [v6 address]
    if (const size_t colon = host.rfind(':');
        colon != std::string_view::npos && (close == std::string_view::npos || colon > close)) {
        const std::string_view digits = host.substr(colon + 1);
        if (!digits.empty()) {
            if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
                return {};
            port = std::to_string(std::stoul(std::string(digits)));
        }
        host = host.substr(0, colon);
    }
    if (host.empty() || port.empty())
        return {};
    return QByteArray::fromStdString(scheme + "://" + std::string(host) + ":" + port);
}
