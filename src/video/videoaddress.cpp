#include "video/videoaddress.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <cctype>

namespace {

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && lowered(text.substr(0, prefix.size())) == prefix;
}

std::string percentEncoded(const QString& text) {
    return QByteArray(text.toUtf8().toPercentEncoding()).toStdString();
}

// Where the authority after "://" at `from` ends.
size_t authorityEnd(std::string_view text, size_t from) {
    size_t end = from;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) &&
           std::string_view("/?#\"'<>").find(text[end]) == std::string_view::npos)
        ++end;
    return end;
}

// An address as FFmpeg reads it has no blanks, controls or backslashes: its authority ends at
// the first "/", "?" or "#" only.
bool plainAddress(std::string_view url) {
    return std::none_of(url.begin(), url.end(),
                        [](unsigned char c) { return c <= ' ' || c == 0x7f || c == '\\'; });
}

// "scheme://host:port" of an absolute address, without user information; empty when none.
std::string origin(std::string_view url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string_view::npos || !plainAddress(url))
        return {};
    const size_t end = std::min(url.find_first_of("/?#", scheme + 3), url.size());
    std::string_view authority = url.substr(scheme + 3, end - scheme - 3);
    if (const size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    return lowered(url.substr(0, scheme)) + "://" + lowered(authority);
}

} // namespace

bool IsRtspAddress(std::string_view address) {
    address = trimmed(address);
    return startsWith(address, "rtsp://") || startsWith(address, "rtsps://");
}

bool IsPlaylistAnswer(std::string_view contentType, std::string_view firstBytes) {
    std::string type = lowered(trimmed(contentType.substr(0, contentType.find(';'))));
    static constexpr std::array<std::string_view, 4> playlistTypes{
        "application/vnd.apple.mpegurl", "application/x-mpegurl", "audio/mpegurl",
        "audio/x-mpegurl"};
    if (std::find(playlistTypes.begin(), playlistTypes.end(), type) != playlistTypes.end())
        return true;
    if (firstBytes.substr(0, 3) == "\xEF\xBB\xBF")
        firstBytes.remove_prefix(3);
    // an M3U of songs begins alike: a video playlist has tags of HLS's own
    return trimmed(firstBytes).substr(0, 7) == "#EXTM3U" &&
           firstBytes.find("#EXT-X-") != std::string_view::npos;
}

std::optional<VideoAddress> MakeVideoAddress(std::string_view address,
                                             const std::optional<Credentials>& credentials) {
    address = trimmed(address);
    VideoAddress made;
    if (IsRtspAddress(address))
        made.protocol = VideoProtocol::Rtsp;
    else if (startsWith(address, "http://") || startsWith(address, "https://"))
        made.protocol = VideoProtocol::Hls;
    else
        return std::nullopt;
    made.secure = startsWith(address, "rtsps://") || startsWith(address, "https://");
    std::string without(address);
    std::optional<Credentials> used = credentials;
    if (const auto split = SplitUserInfo(address)) {
        without = split->addressWithout;
        if (!used)
            used = split->credentials;
    }
    made.shown = QString::fromUtf8(without.data(), qsizetype(without.size()));
    made.url = without;
    if (used && !used->isEmpty()) {
        const size_t host = without.find("://") + 3;
        made.url = without.substr(0, host) + percentEncoded(used->user) + ":" +
                   percentEncoded(used->password) + "@" + without.substr(host);
        made.withCredentials = true;
    }
    return made;
}

std::string WithoutUserInfo(std::string_view text) {
    std::string out;
    size_t from = 0;
    for (size_t scheme = text.find("://"); scheme != std::string_view::npos;
         scheme = text.find("://", from)) {
        const size_t start = scheme + 3;
        const size_t end = authorityEnd(text, start);
        const size_t at = text.substr(start, end - start).rfind('@');
        out += text.substr(from, start - from);
        from = at == std::string_view::npos ? start : start + at + 1;
    }
    out += text.substr(from);
    return out;
}

std::string WithUserInfoOf(std::string_view base, std::string_view url) {
    const size_t scheme = base.find("://");
    if (scheme == std::string_view::npos || origin(url).empty() || origin(base) != origin(url))
        return std::string(url);
    const size_t end = std::min(base.find_first_of("/?#", scheme + 3), base.size());
    const size_t at = base.substr(scheme + 3, end - scheme - 3).rfind('@');
    const size_t urlStart = url.find("://") + 3;
    const size_t urlEnd = std::min(url.find_first_of("/?#", urlStart), url.size());
    if (at == std::string_view::npos ||
        url.substr(urlStart, urlEnd - urlStart).find('@') != std::string_view::npos)
        return std::string(url);
    return std::string(url.substr(0, urlStart)) + std::string(base.substr(scheme + 3, at + 1)) +
           std::string(url.substr(urlStart));
}

bool IsPlainWebAddress(std::string_view url) {
    const std::string scheme = lowered(url.substr(0, url.find("://")));
    return url.find("://") != std::string_view::npos && (scheme == "http" || scheme == "https") &&
           plainAddress(url);
}
