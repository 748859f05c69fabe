#pragma once

#include <string>
#include <string_view>

// The file name a picture is saved under in the cam folder: the cam's name, the date and the
// time as the user's locale writes them, and ".jpg"; every blank is removed, then the first
// "/" twice and the first ":" three times (the date's and the time's separators). Whatever "/"
// or control character is left is dropped too, so the name never leaves the cam folder.
std::string SaveFileName(std::string_view camName, std::string_view dateText,
                         std::string_view timeText);
