#pragma once

#include "camlist/camrecord.h"
#include "common/atomicfile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The cam list file operations. Each reads the whole (small) file at once and never runs the
// event loop in between, so two operations can never interleave. A file that has gone missing
// reads as empty. Rewrites replace the file atomically: the old list stays whole on a failure.

inline constexpr const char* camListFileName = "00camlist.txt";
inline constexpr size_t camListMaxBytes = 64u * 1024u * 1024u;

// The file as it stands now; a missing file reads as empty.
ReadResult readCamList(const std::filesystem::path& file);
// Writes a new cam list holding one empty line.
FileResult createCamList(const std::filesystem::path& file);

// Fills `target` from the first record named exactly `name`; on no match it is left alone.
bool FindCamRecord(const std::filesystem::path& file, std::string_view name, CamRecord& target);
// Puts the record last in the file.
FileResult AppendCamRecord(const std::filesystem::path& file, const CamRecord& record);
// Removes the first record named exactly `name`. An empty name does nothing.
FileResult DeleteCamRecord(const std::filesystem::path& file, std::string_view name);
// Puts `record` in the place of `oldName` (appended when none is) in one rewrite, so no crash can
// lose both.
FileResult ReplaceCamRecord(const std::filesystem::path& file, std::string_view oldName,
                            const CamRecord& record);
