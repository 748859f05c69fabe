#include "video/hlsplaylist.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace {

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::optional<int64_t> integer(std::string_view text) {
    text = trimmed(text);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() || value < 0)
        return std::nullopt;
    return value;
}

// A number of seconds; nonsense counts as 0, and no segment lasts longer than a day.
double seconds(std::string_view text) {
    text = trimmed(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value) || value < 0)
        return 0;
    return std::min(value, 86400.0);
}

// The value of NAME in an attribute list: NAME=VALUE,OTHER="quoted, with commas".
std::optional<std::string_view> attribute(std::string_view list, std::string_view name) {
    size_t at = 0;
    while (at < list.size()) {
        const size_t equals = list.find('=', at);
        if (equals == std::string_view::npos)
            return std::nullopt;
        const std::string_view key = trimmed(list.substr(at, equals - at));
        std::string_view value;
        size_t end = 0;
        if (equals + 1 < list.size() && list[equals + 1] == '"') {
            const size_t close = list.find('"', equals + 2);
            value = list.substr(equals + 2, close == std::string_view::npos ? std::string_view::npos
                                                                            : close - equals - 2);
            end = close == std::string_view::npos ? close : list.find(',', close);
        } else {
            end = list.find(',', equals + 1);
            value = trimmed(list.substr(equals + 1, end == std::string_view::npos
                                                        ? std::string_view::npos
                                                        : end - equals - 1));
        }
        if (key == name)
            return value;
        if (end == std::string_view::npos)
            return std::nullopt;
        at = end + 1;
    }
    return std::nullopt;
}

// "length[@offset]"; without an offset the range follows the one before.
std::optional<HlsByteRange> byteRange(std::string_view text, int64_t following) {
    const size_t at = text.find('@');
    const std::optional<int64_t> length = integer(text.substr(0, at));
    const std::optional<int64_t> offset =
        at == std::string_view::npos ? std::optional(following) : integer(text.substr(at + 1));
    if (!length || !offset || *length <= 0)
        return std::nullopt;
    return HlsByteRange{*length, *offset};
}

QSize resolution(std::optional<std::string_view> text) {
    if (!text)
        return {};
    const size_t x = text->find_first_of("xX");
    const std::optional<int64_t> width = integer(text->substr(0, x));
    const std::optional<int64_t> height =
        x == std::string_view::npos ? std::nullopt : integer(text->substr(x + 1));
    if (!width || !height || *width > 1 << 20 || *height > 1 << 20)
        return {};
    return QSize(int(*width), int(*height));
}

HlsVariant variantOf(std::string_view attributes) {
    HlsVariant variant;
    variant.bandwidth = integer(attribute(attributes, "BANDWIDTH").value_or("")).value_or(0);
    variant.size = resolution(attribute(attributes, "RESOLUTION"));
    variant.codecs = std::string(attribute(attributes, "CODECS").value_or(""));
    return variant;
}

// Keeps the newest `most`, dropping the oldest half at a time (each entry moves once or so).
template <typename Item> void keepNewest(std::vector<Item>& items, size_t most) {
    if (items.size() >= 2 * most)
        items.erase(items.begin(), items.end() - std::ptrdiff_t(most));
}

} // namespace

HlsPlaylist ParseHlsPlaylist(std::string_view text) {
    HlsPlaylist playlist;
    if (startsWith(text, "\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::optional<HlsVariant> variant;
    std::optional<HlsSegment> segment;
    HlsSegment next; // what the tags so far say of the next segment
    int64_t rangeEnd = 0;
    bool first = true, media = false;
    for (size_t at = 0; at <= text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = trimmed(text.substr(at, end - at));
        at = end + 1;
        if (line.empty())
            continue;
        if (std::exchange(first, false) && line != "#EXTM3U")
            return {};
        const size_t colon = line.find(':');
        const std::string_view tag = line.substr(0, colon);
        const std::string_view value =
            colon == std::string_view::npos ? "" : line.substr(colon + 1);
        if (tag == "#EXT-X-STREAM-INF") {
            variant = variantOf(value);
        } else if (tag == "#EXT-X-TARGETDURATION") {
            playlist.targetSeconds = seconds(value);
            media = true;
        } else if (tag == "#EXT-X-MEDIA-SEQUENCE" && playlist.segments.empty() && !segment) {
            // before the first segment only: the numbers only go up
            next.sequence = std::min<int64_t>(integer(value).value_or(0), INT64_MAX / 2);
        } else if (tag == "#EXTINF") {
            next.seconds = seconds(value.substr(0, value.find(',')));
            segment = next;
            media = true;
        } else if (tag == "#EXT-X-BYTERANGE") {
            next.range = byteRange(value, rangeEnd);
        } else if (tag == "#EXT-X-MAP") {
            next.initUri = std::string(attribute(value, "URI").value_or(""));
            const auto range = attribute(value, "BYTERANGE");
            next.initRange = range ? byteRange(*range, 0) : std::nullopt;
        } else if (tag == "#EXT-X-KEY") {
            playlist.encrypted = attribute(value, "METHOD").value_or("NONE") != "NONE";
        } else if (tag == "#EXT-X-ENDLIST") {
            playlist.ended = true;
        } else if (line[0] != '#') {
            if (variant) {
                variant->uri = std::string(line);
                playlist.variants.push_back(std::move(*variant));
                keepNewest(playlist.variants, maxHlsVariants);
                variant.reset();
            } else if (segment) {
                segment->uri = std::string(line);
                segment->range = next.range;
                rangeEnd = next.range ? next.range->offset + next.range->length : 0;
                playlist.segments.push_back(std::move(*segment));
                keepNewest(playlist.segments, maxHlsSegments);
                segment.reset();
                next.range.reset();
                ++next.sequence;
            }
        }
    }
    if (playlist.variants.size() > maxHlsVariants)
        playlist.variants.resize(maxHlsVariants);
    if (playlist.segments.size() > maxHlsSegments)
        playlist.segments.erase(playlist.segments.begin(),
                                playlist.segments.end() - std::ptrdiff_t(maxHlsSegments));
    playlist.kind = !playlist.variants.empty() ? HlsPlaylist::Kind::Master
                    : media                    ? HlsPlaylist::Kind::Media
                                               : HlsPlaylist::Kind::Invalid;
    return playlist;
}

namespace {

bool carriesVideo(const HlsVariant& variant) {
    if (!variant.size.isEmpty() || variant.codecs.empty())
        return true;
    std::string codecs = variant.codecs;
    std::transform(codecs.begin(), codecs.end(), codecs.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    static constexpr std::array<std::string_view, 12> video{"avc1", "avc3", "hvc1", "hev1",
                                                            "vvc1", "vvi1", "av01", "vp09",
                                                            "vp08", "mp4v", "dvh1", "dvhe"};
    return std::any_of(video.begin(), video.end(), [&](std::string_view name) {
        return codecs.find(name) != std::string::npos;
    });
}

int64_t pixels(QSize size) {
    return int64_t(size.width()) * size.height();
}

} // namespace

int ChooseHlsVariant(const std::vector<HlsVariant>& variants, QSize shown, bool whole) {
    std::vector<int> candidates;
    for (size_t i = 0; i < variants.size(); ++i)
        if (carriesVideo(variants[i]))
            candidates.push_back(int(i));
    if (candidates.empty())
        for (size_t i = 0; i < variants.size(); ++i)
            candidates.push_back(int(i));
    std::vector<int> sized;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(sized),
                 [&](int i) { return !variants[size_t(i)].size.isEmpty(); });
    const auto larger = [&](int a, int b) {
        const HlsVariant &first = variants[size_t(a)], &second = variants[size_t(b)];
        return std::pair(pixels(first.size), first.bandwidth) >
               std::pair(pixels(second.size), second.bandwidth);
    };
    if (sized.empty()) {
        const auto best = std::max_element(candidates.begin(), candidates.end(), [&](int a, int b) {
            return variants[size_t(a)].bandwidth < variants[size_t(b)].bandwidth;
        });
        return best == candidates.end() ? -1 : *best;
    }
    std::sort(sized.begin(), sized.end(), larger);
    if (whole || shown.isEmpty())
        return sized.front();
    int chosen = sized.front();
    for (const int i : sized) // from the largest down: the last that covers is the smallest
        if (variants[size_t(i)].size.width() >= shown.width() &&
            variants[size_t(i)].size.height() >= shown.height())
            chosen = i;
    return chosen;
}

std::string ResolveHlsUri(std::string_view base, std::string_view reference) {
    reference = trimmed(reference);
    const size_t colon = reference.find(':');
    if (colon != std::string_view::npos && colon > 0 &&
        std::isalpha(static_cast<unsigned char>(reference[0])) &&
        reference.substr(0, colon).find_first_of("/?#") == std::string_view::npos)
        return std::string(reference); // absolute
    const size_t scheme = base.find("://");
    if (scheme == std::string_view::npos)
        return std::string(reference);
    if (startsWith(reference, "//"))
        return std::string(base.substr(0, scheme + 1)) + std::string(reference);
    const size_t pathStart = std::min(base.find_first_of("/?#", scheme + 3), base.size());
    const std::string origin(base.substr(0, pathStart));
    if (startsWith(reference, "/"))
        return origin + std::string(reference);
    std::string_view path = base.substr(pathStart);
    path = path.substr(0, path.find_first_of("?#"));
    if (path.empty())
        path = "/";
    if (reference.empty())
        return std::string(base);
    if (startsWith(reference, "?") || startsWith(reference, "#"))
        return origin + std::string(path) + std::string(reference);
    return origin + std::string(path.substr(0, path.rfind('/') + 1)) + std::string(reference);
}
