#include "common/atomicfile.h"

#include "common/localtext.h"

#include <QCoreApplication>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// `what` is a text marked with QT_TRANSLATE_NOOP in this context, "%1" the path, "%2" the
// system's reason. The error number is read before anything else can change it.
std::string describeErrno(const char* what, const std::filesystem::path& path) {
    const std::string reason = std::strerror(errno);
    return localBytes(QCoreApplication::translate("AtomicFile", what), {path.string(), reason});
}

FileResult failureFromErrno(const char* what, const std::filesystem::path& path) {
    const int number = errno;
    return FileResult::failure(describeErrno(what, path), number);
}

std::string couldNotWrite(const std::filesystem::path& path) {
    return localBytes(QCoreApplication::translate("AtomicFile", "Could not write %1"),
                      {path.string()});
}

void syncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

mode_t defaultFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

ReadResult readWholeFile(const std::filesystem::path& path, size_t maxBytes) {
    ReadResult result;
    // not blocking: opening a FIFO (or a link to one) for reading would wait for a writer
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);

    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            result.missing = true;
            return result;
        }
        result.ok = false;
        result.error =
            describeErrno(QT_TRANSLATE_NOOP("AtomicFile", "Could not open %1: %2"), path);
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode)) {
        ::close(fd);
        result.ok = false;
        result.error = localBytes(QCoreApplication::translate("AtomicFile", "%1 is not a file"),
                                  {path.string()});
        return result;
    }
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.ok = false;
            result.error =
                describeErrno(QT_TRANSLATE_NOOP("AtomicFile", "Could not read %1: %2"), path);
            break;
        }
        if (n == 0)
            break;
        if (result.bytes.size() + size_t(n) > maxBytes) {
            result.ok = false;
            result.error = localBytes(QCoreApplication::translate("AtomicFile", "%1 is too large"),
                                      {path.string()});
            break;
        }
        result.bytes.append(chunk, size_t(n));
    }
    ::close(fd);
    if (!result.ok)
        result.bytes.clear();
    return result;
}

ReplacementFile::ReplacementFile(std::filesystem::path path) : m_path(std::move(path)) {}

ReplacementFile::~ReplacementFile() {
    discard();
}

FileResult ReplacementFile::open() {
    const std::filesystem::path folder = m_path.parent_path();
    std::string pattern = (folder / ("." + m_path.filename().string() + ".XXXXXX")).string();
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC); // no program started meanwhile inherits it
    if (m_fd < 0)
        return failureFromErrno(QT_TRANSLATE_NOOP("AtomicFile", "Could not write in %1: %2"),
                                folder.empty() ? "." : folder);
    m_temporary = pattern;
    struct stat old {};
    const mode_t mode =
        ::stat(m_path.c_str(), &old) == 0 ? (old.st_mode & 07777) : defaultFileMode();
    if (::fchmod(m_fd, mode) != 0)
        return failureFromErrno(QT_TRANSLATE_NOOP("AtomicFile", "Could not write %1: %2"), m_path);
    return {};
}

FileResult ReplacementFile::append(std::string_view bytes) {
    if (m_fd < 0 || !writeAllBytes(m_fd, bytes))
        return failureFromErrno(QT_TRANSLATE_NOOP("AtomicFile", "Could not write %1: %2"), m_path);
    m_size += bytes.size();
    return {};
}

FileResult ReplacementFile::writeAt(uint64_t offset, std::string_view bytes) {
    size_t done = 0;
    while (m_fd >= 0 && done < bytes.size()) {
        const ssize_t n =
            ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failureFromErrno(QT_TRANSLATE_NOOP("AtomicFile", "Could not write %1: %2"),
                                    m_path);
        done += size_t(n);
    }
    if (m_fd < 0)
        return FileResult::failure(couldNotWrite(m_path));
    return {};
}

FileResult ReplacementFile::commit(Durability durability) {
    const bool synced = durability == Durability::Synced;
    FileResult result;
    if (m_fd < 0)
        return FileResult::failure(couldNotWrite(m_path));
    if (synced && ::fsync(m_fd) != 0)
        result =
            failureFromErrno(QT_TRANSLATE_NOOP("AtomicFile", "Could not write %1: %2"), m_path);
    if (::close(m_fd) != 0 && result.ok)
        result =
            failureFromErrno(QT_TRANSLATE_NOOP("AtomicFile", "Could not write %1: %2"), m_path);
    m_fd = -1;
    if (result.ok && ::rename(m_temporary.c_str(), m_path.c_str()) != 0)
        result =
            failureFromErrno(QT_TRANSLATE_NOOP("AtomicFile", "Could not replace %1: %2"), m_path);
    if (!result.ok) {
        discard();
        return result;
    }
    m_temporary.clear();
    if (synced)
        syncFolder(m_path.parent_path());
    return result;
}

void ReplacementFile::discard() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

FileResult replaceFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                 Durability durability) {
    ReplacementFile file(path);
    FileResult result = file.open();
    if (result.ok)
        result = file.append(bytes);
    return result.ok ? file.commit(durability) : result;
}

int removeStaleTemporaries(const std::filesystem::path& path, std::chrono::seconds age) {
    const std::string prefix = "." + path.filename().string() + ".";
    const auto isTemporaryName = [&prefix](const std::string& name) {
        if (name.size() != prefix.size() + 6 || !name.starts_with(prefix))
            return false;
        return std::all_of(name.begin() + std::ptrdiff_t(prefix.size()), name.end(),
                           [](unsigned char c) { return std::isalnum(c) != 0; });
    };
    std::error_code error;
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    const auto oldest = std::filesystem::file_time_type::clock::now() - age;
    int removed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (!isTemporaryName(entry.path().filename().string()) || !entry.is_regular_file(error))
            continue;
        const auto written = entry.last_write_time(error);
        if (!error && written < oldest && std::filesystem::remove(entry.path(), error))
            ++removed;
    }
    return removed;
}

bool writeAllBytes(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}
