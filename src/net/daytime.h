#pragma once

#include <optional>
#include <string_view>

// A daytime answer ("60652 24-12-07 07:30:00 00 0 0 123.4 UTC(NIST) *"): the date and time
// fields, when the answer is whole and they can be read.
struct DaytimeAnswer {
    int year, month, day;
    int hour, minute, second;
};

// Two-digit years 00 to 29 are this century's, 30 to 99 the last's. An answer that does not
// end its line, has fewer than three fields, or holds an impossible date or time gives nothing.
std::optional<DaytimeAnswer> ParseDaytimeAnswer(std::string_view text);
