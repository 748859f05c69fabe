#pragma once

#include <optional>
#include <string>
#include <string_view>

// How a complete response is judged: is it a picture, and is the picture new?

// A response is a picture when "image/" stands anywhere in its headers, in any letter case.
bool IsImageResponse(std::string_view headers);

// The whole "Last-Modified:" line (name in any letter case) as the server sent it, from the
// name to the end of the line; nothing when the headers have none.
std::optional<std::string> LastModifiedLine(std::string_view headers);

// The "Last Changed" text: the line with every "Last-Modified:" cut out, leading blank kept.
std::string LastChangedText(std::string_view lastModifiedLine);

enum class PictureNews {
    Unchanged, // the same line as before
    Changed,   // a different line, and there was one before: a new picture
    FirstSeen, // the panel's first line
};
PictureNews CompareLastModified(std::string_view stored, std::string_view received);
