#pragma once

#include <QSize>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An HLS playlist as a server sends it (outside input: read with care, kept bounded). A master
// playlist lists variants of one stream; a media playlist lists its segments, the newest last.

struct HlsByteRange {
    int64_t length = 0;
    int64_t offset = 0;
};

struct HlsVariant {
    std::string uri;
    int64_t bandwidth = 0;
    QSize size; // RESOLUTION, when given
    std::string codecs;
};

struct HlsSegment {
    std::string uri;
    double seconds = 0;
    int64_t sequence = 0;
    std::optional<HlsByteRange> range;
    std::string initUri; // EXT-X-MAP: the fragmented MP4's initialisation section
    std::optional<HlsByteRange> initRange;
};

struct HlsPlaylist {
    enum class Kind { Invalid, Master, Media };
    Kind kind = Kind::Invalid;
    std::vector<HlsVariant> variants;
    std::vector<HlsSegment> segments; // the newest ones, at most maxSegments
    double targetSeconds = 0;
    bool ended = false;     // EXT-X-ENDLIST: nothing more will come
    bool encrypted = false; // segments need a key to be read
};

inline constexpr size_t maxHlsVariants = 64;
inline constexpr size_t maxHlsSegments = 256;

HlsPlaylist ParseHlsPlaylist(std::string_view text);

// The variant to read when its pictures are shown at `shown` (and wanted whole, for the viewer or
// saving, when `whole`): the smallest that covers the shown size, else the largest; the largest
// when wanted whole. Sizes not given count as unknown: such variants go by bandwidth, and only
// when none gives a size. Variants that say they carry no video are passed over. -1 when none.
int ChooseHlsVariant(const std::vector<HlsVariant>& variants, QSize shown, bool whole);

// `reference` read relative to the address `base`, as a browser would (no dot segments undone).
std::string ResolveHlsUri(std::string_view base, std::string_view reference);
