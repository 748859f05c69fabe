#include "common/tempfile.h"

#include "common/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

TempFile MakeTempFileName(const QString& prefix) {
    // An unusable temporary folder reads as no file here, never as "/".
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    QByteArray pattern = QFile::encodeName(folder + "/" + prefix + "XXXXXX");
    // O_EXCL, mode 0600; not handed on to programs started meanwhile (a browser opened from
    // the program would keep the deleted file's space for as long as it runs)
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return {};
    return {QFile::decodeName(pattern), fd};
}

QString WriteTempFile(const QString& prefix, const QByteArray& bytes) {
    // Written through the descriptor that made it: opening the file again to write would
    // truncate it, and ext4 puts a truncated file's blocks on disk when it is closed.
    const TempFile file = MakeTempFileName(prefix);
    if (file.descriptor < 0)
        return {};
    const bool written =
        writeAllBytes(file.descriptor, std::string_view(bytes.constData(), size_t(bytes.size())));
    // an interrupted close has closed the file all the same, with every byte in it
    if ((::close(file.descriptor) != 0 && errno != EINTR) || !written) {
        RemoveTempFile(file.name);
        return {};
    }
    return file.name;
}

void RemoveTempFile(const QString& name) {
    ::unlink(QFile::encodeName(name).constData()); // a picture a second: no file engine for it
}

int RemoveStaleTempFiles(const QString& prefix, std::chrono::seconds age) {
    const QString folder = QDir::tempPath();
    const QByteArray start = QFile::encodeName(prefix);
    const auto oldest = std::chrono::system_clock::now() - age;
    int removed = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(QFile::encodeName(folder).toStdString()), error)) {
        const std::string name = entry.path().filename().string();
        // the prefix and the six characters mkostemp chose
        if (name.size() != size_t(start.size()) + 6 || !name.starts_with(start.toStdString()) ||
            !std::all_of(name.begin() + start.size(), name.end(),
                         [](unsigned char c) { return std::isalnum(c) != 0; }))
            continue;
        struct stat status {};
        if (::lstat(entry.path().c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != ::getuid() ||
            std::chrono::system_clock::from_time_t(status.st_mtime) >= oldest)
            continue;
        if (::unlink(entry.path().c_str()) == 0)
            ++removed;
    }
    return removed;
}
