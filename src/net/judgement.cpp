#include "net/judgement.h"

namespace {

constexpr std::string_view lastModifiedName = "last-modified:";

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Position of `needle` (lower case) in `text`, compared without regard to ASCII letter case.
size_t findNoCase(std::string_view text, std::string_view needle, size_t from = 0) {
    if (needle.size() > text.size())
        return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && lower(text[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::string_view::npos;
}

} // namespace

bool IsImageResponse(std::string_view headers) {
    return findNoCase(headers, "image/") != std::string_view::npos;
}

std::optional<std::string> LastModifiedLine(std::string_view headers) {
    const size_t at = findNoCase(headers, lastModifiedName);
    if (at == std::string_view::npos)
        return std::nullopt;
    const size_t end = headers.find("\r\n", at);
    return std::string(headers.substr(at, end == std::string_view::npos ? end : end - at));
}

std::string LastChangedText(std::string_view line) {
    std::string text;
    size_t kept = 0;
    for (size_t at = findNoCase(line, lastModifiedName); at != std::string_view::npos;
         at = findNoCase(line, lastModifiedName, kept)) {
        text.append(line.substr(kept, at - kept));
        kept = at + lastModifiedName.size();
    }
    text.append(line.substr(kept));
    return text;
}

PictureNews CompareLastModified(std::string_view stored, std::string_view received) {
    if (received == stored)
        return PictureNews::Unchanged;
    return stored.empty() ? PictureNews::FirstSeen : PictureNews::Changed;
}
