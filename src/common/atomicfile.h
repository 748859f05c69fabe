#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Small file helpers shared by the cam list and the picture writer.
struct FileResult {
    bool ok = true;
    std::string error;   // what went wrong, for the user; empty when ok
    int errorNumber = 0; // the system's error number, when there is one

    static FileResult failure(std::string why, int number = 0) {
        return {false, std::move(why), number};
    }
};

// Whether a replaced file is forced to the disk before it takes the old one's place.
enum class Durability { Synced, Unsynced };

struct ReadResult {
    bool ok = true;
    bool missing = false; // the file does not exist (not an error for readers)
    std::string bytes;
    std::string error;
};

// Writes every byte to an open descriptor, going on after interrupted writes.
bool writeAllBytes(int fd, std::string_view bytes);

// Reads a whole file. A missing file is ok with no bytes; a file larger than maxBytes, a
// folder, a FIFO or a device (never waited for) or an unreadable file is an error.

ReadResult readWholeFile(const std::filesystem::path& path, size_t maxBytes);

// Removes what a crash during a rewrite of `path` can leave beside it: its ".<name>.XXXXXX"
// temporaries, when they are older than `age` (a younger one may be another instance's rewrite
// under way). Returns how many were removed.
int removeStaleTemporaries(const std::filesystem::path& path, std::chrono::seconds age);

// A new version of `path` written piece by piece into a temporary file beside it, which takes
// the old one's place only when committed; until then, or when committing fails, the old file
// stays as it was and the temporary is removed (also when the object goes away uncommitted).
// The new file keeps an existing file's permission bits.
class ReplacementFile {
  public:
    explicit ReplacementFile(std::filesystem::path path);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    FileResult open();
    FileResult append(std::string_view bytes);
    // Overwrites bytes already appended.
    FileResult writeAt(uint64_t offset, std::string_view bytes);
    uint64_t size() const { return m_size; }
    const std::filesystem::path& temporaryPath() const { return m_temporary; }
    FileResult commit(Durability durability);
    void discard();

  private:
    std::filesystem::path m_path;
    std::filesystem::path m_temporary;
    int m_fd = -1;
    uint64_t m_size = 0;
};

// Replaces (or creates) `path` with `bytes` so that a crash or a full disk at any moment leaves
// either the old file or the new one, whole: the bytes go to a new file in the same folder,
// are synced, and the new file is renamed over the old one; then the folder is synced.
// An existing file keeps its permission bits. Unsynced skips the syncs, for files that are
// cheap to lose but written often (pictures).
FileResult replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                 Durability durability = Durability::Synced);
