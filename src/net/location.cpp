#include "net/location.h"

#include "common/localtext.h"

#include <QCoreApplication>

namespace {

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// "scheme:" at the start of a reference: letters first, then letters, digits, "+", "-", ".".
std::string schemeOf(std::string_view reference) {
    const size_t colon = reference.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return {};
    std::string scheme;
    for (size_t i = 0; i < colon; ++i) {
        const char c = reference[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return {}; // a "/" or "?" comes first: a path, not a scheme
        scheme += lower(c);
    }
    return scheme;
}

// `why` is marked with QT_TRANSLATE_NOOP in this context; "%1" is `value`.
LocationResult refused(const char* why, std::string_view value = {}) {
    LocationResult result;
    result.error = localBytes(QCoreApplication::translate("Location", why), {value});
    return result;
}

LocationResult fromAbsolute(const CamAddress& base, std::string_view url) {
    std::string text(url);
    // "https://host" and "https://host?x" have the empty path "/"
    const size_t authority = text.find("://") + 3;
    const size_t end = text.find_first_of("/?", authority);
    if (end == std::string::npos)
        text += '/';
    else if (text[end] == '?')
        text.insert(end, "/");
    const std::optional<CamAddress> target = SplitCamAddress(text);
    if (!target)
        return refused(
            QT_TRANSLATE_NOOP("Location", "a redirect to an address that cannot be right"));
    if (base.secure && !target->secure)
        return refused(QT_TRANSLATE_NOOP("Location", "a redirect from https:// down to http://"));
    LocationResult result;
    result.ok = true;
    result.target = *target;
    result.target.camPath = RemoveDotSegments(result.target.camPath);
    return result;
}

} // namespace

bool IsRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::string RemoveDotSegments(std::string_view path) {
    const size_t query = path.find('?');
    std::string_view input = path.substr(0, query);
    std::string output;
    while (!input.empty()) {
        if (input.starts_with("../"))
            input.remove_prefix(3);
        else if (input.starts_with("./"))
            input.remove_prefix(2);
        else if (input.starts_with("/./"))
            input.remove_prefix(2);
        else if (input == "/.")
            input = "/";
        else if (input.starts_with("/../") || input == "/..") {
            input = input.size() == 3 ? std::string_view("/") : input.substr(3);
            const size_t last = output.rfind('/');
            output.erase(last == std::string::npos ? 0 : last);
        } else if (input == "." || input == "..") {
            input = {};
        } else {
            const size_t next = input.find('/', input.front() == '/' ? 1 : 0);
            const size_t take = next == std::string_view::npos ? input.size() : next;
            output.append(input.substr(0, take));
            input.remove_prefix(take);
        }
    }
    if (output.empty() || output.front() != '/')
        output.insert(0, "/");
    if (query != std::string_view::npos)
        output.append(path.substr(query));
    return output;
}

LocationResult ResolveLocation(const CamAddress& base, std::string_view location) {
    while (!location.empty() && (location.front() == ' ' || location.front() == '\t'))
        location.remove_prefix(1);
    while (!location.empty() && (location.back() == ' ' || location.back() == '\t'))
        location.remove_suffix(1);
    if (location.empty())
        return refused(QT_TRANSLATE_NOOP("Location", "a redirect without an address"));
    for (unsigned char c : location)
        if (isControl(c))
            return refused(QT_TRANSLATE_NOOP(
                "Location", "a redirect to an address holding control characters"));
    location = location.substr(0, location.find('#')); // a fragment is never sent

    const std::string scheme = schemeOf(location);
    if (!scheme.empty()) {
        if (scheme != "http" && scheme != "https")
            return refused(
                QT_TRANSLATE_NOOP("Location", "a redirect to a %1: address, which is not fetched"),
                scheme);
        if (location.substr(scheme.size(), 3) != "://")
            return refused(
                QT_TRANSLATE_NOOP("Location", "a redirect to an address that cannot be right"));
        return fromAbsolute(base, location);
    }
    if (location.starts_with("//"))
        return fromAbsolute(base, (base.secure ? "https:" : "http:") + std::string(location));

    std::string path;
    if (location.front() == '/') {
        path = location;
    } else if (location.front() == '?') {
        path = base.camPath.substr(0, base.camPath.find('?')) + std::string(location);
    } else {
        const std::string basePath = base.camPath.substr(0, base.camPath.find('?'));
        path = basePath.substr(0, basePath.rfind('/') + 1) + std::string(location);
    }
    LocationResult result;
    result.ok = true;
    result.target = base;
    result.target.camPath = RemoveDotSegments(path);
    return result;
}
