#pragma once

#include <optional>
#include <string>
#include <string_view>

// The file name pictures were saved under before: the cam's name, the date and the time as
// the user's locale writes them, and ".jpg"; every blank is removed, then the first "/" twice
// and the first ":" three times (the date's and the time's separators). Whatever "/" or
// control character is left is dropped too, so the name never leaves the cam folder. Such
// names can collide ("Harbour2" on 7 Dec and "Harbour" on 27 Dec) and do not sort by time;
// they are still read.
std::string SaveFileName(std::string_view camName, std::string_view dateText,
                         std::string_view timeText);

// A local moment of a save, to the second.
struct SaveMoment {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The separator between a cam's name and the moment in a save name: a cam part never holds it.
inline constexpr char saveNameSeparator = '~';

// The cam's part of a save name: its name with "%", "/", ":", control characters and the
// separator written as "%XX" (their hexadecimal code), and in a name that is not UTF-8 every
// byte above 127 too, so it stays readable, stays in the cam folder, cannot run into the
// moment, and no two cam names make the same part. A part longer than `maxSaveNamePartBytes`
// is its start and "%%" with a digest of the whole name: with the moment, a same-second number
// and a writer's temporary suffix the file name stays within the file system's 255 bytes.
inline constexpr size_t maxSaveNamePartBytes = 200;
inline constexpr size_t shortenedHashDigits = 16;
std::string SaveNameCamPart(std::string_view camName);

// The name a picture is saved under: "Harbour~2026-12-07_07-00-00.jpg", the same for every
// locale and sorting by time; the `number`-th picture of the same second (from 2) gets
// "_<number>" before ".jpg".
std::string TimedSaveFileName(std::string_view camName, const SaveMoment& moment, int number = 1);

// The moment and the same-second number of a name TimedSaveFileName made for a cam whose part
// is `camPart`; nothing for any other name.
struct ReadSaveName {
    SaveMoment moment;
    int number = 1;
};
std::optional<ReadSaveName> ReadTimedSaveFileName(std::string_view fileName,
                                                  std::string_view camPart);
