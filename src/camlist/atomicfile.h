#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Small file helpers shared by the cam list and the picture writer.
struct FileResult {
    bool ok = true;
    std::string error; // what went wrong, for the user; empty when ok

    static FileResult failure(std::string why) { return {false, std::move(why)}; }
};

struct ReadResult {
    bool ok = true;
    bool missing = false; // the file does not exist (not an error for readers)
    std::string bytes;
    std::string error;
};

// Reads a whole file. A missing file is ok with no bytes; a file larger than maxBytes, a
// folder or an unreadable file is an error.
ReadResult readWholeFile(const std::filesystem::path& path, size_t maxBytes);

// Replaces (or creates) `path` with `bytes` so that a crash or a full disk at any moment leaves
// either the old file or the new one, whole: the bytes go to a new file in the same folder,
// are synced, and the new file is renamed over the old one; then the folder is synced.
// An existing file keeps its permission bits.
FileResult replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);
