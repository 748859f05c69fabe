#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A small reader for the rich text of the help file: groups, paragraphs, line breaks, tabs,
// bold, italic, underline, font sizes, colours, \'hh and \u escapes. Control words it does not
// know are skipped, optional destinations ({\*\...}) and font tables are passed over; nothing
// in the input makes it fail. Nesting and size are bounded.

struct RtfColour {
    uint8_t red = 0, green = 0, blue = 0;
    bool automatic = false; // an empty entry of the table: the default colour
};

struct RtfRun {
    std::u32string text;
    bool bold = false, italic = false, underline = false;
    int fontSizeHalfPoints = 24;
    int colourIndex = 0; // into the colour table; 0 is the default colour
    bool operator==(const RtfRun&) const = default;
};

struct RtfParagraph {
    std::vector<RtfRun> runs;
};

struct RtfDocument {
    std::vector<RtfParagraph> paragraphs;
    std::vector<RtfColour> colours; // the colour table's entries, by their index
    bool looksLikeRtf = false;      // the text began with "{\rtf"
};

inline constexpr size_t rtfMaxInput = 4 * 1024 * 1024;
inline constexpr int rtfMaxDepth = 64;

RtfDocument ReadRtf(std::string_view input);
