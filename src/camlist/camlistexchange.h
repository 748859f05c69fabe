#pragma once

#include "camlist/camrecord.h"
#include "common/atomicfile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Cam lists passed between users: written in the cam list's own format, read back leniently
// (lines may end in CR LF, LF or CR; a UTF-8 byte-order mark is skipped) and merged by name.

// The records of the named cams (every cam when `names` is empty), in list order, as a cam list
// file of their own; `written` (when given) counts them.
std::string ExportedCamList(std::string_view listText, const std::vector<std::string>& names,
                            int* written = nullptr);

struct CamListImport {
    bool readable = true; // false: not a cam list at all (binary, another encoding, no record)
    std::string merged;   // the list with the new cams after its own records
    std::vector<std::string> addedNames;
    int duplicates = 0;    // already in the list, or twice in the file
    int malformed = 0;     // cut short, an empty field, a control character, a refresh not a number
    bool tooLarge = false; // the list with them would pass the cam list's size bound
};

// The list `listText` with the cams of `incoming` whose names it does not hold yet.
CamListImport MergeCamList(std::string_view listText, std::string_view incoming);

// The same on files: the export is written whole or not at all; the import rewrites the list
// once, and changes nothing when the file cannot be read or holds no cam.
FileResult ExportCamListFile(const std::filesystem::path& list,
                             const std::vector<std::string>& names,
                             const std::filesystem::path& target, int* written = nullptr);

struct CamListImportReport {
    FileResult result; // failed: nothing was changed, `result.error` says why
    int added = 0, duplicates = 0, malformed = 0;
    std::vector<std::string> addedNames;

    std::string merged; // the list to write; empty when nothing is to be written
};

// The cams of the file `source` merged into the list `listText`, not yet written.
CamListImportReport MergeCamListFile(std::string_view listText,
                                     const std::filesystem::path& source);
CamListImportReport ImportCamListFile(const std::filesystem::path& list,
                                      const std::filesystem::path& source);
