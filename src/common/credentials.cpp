#include "common/credentials.h"

#include "common/numbertext.h"

#include <cctype>

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
