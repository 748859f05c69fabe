#include "common/tempfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray& bytes) {
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        next += written;
        left -= written;
    }
    return true;
}

} // namespace

TempFile MakeTempFileName(const QString& prefix) {
    // An unusable temporary folder reads as no file here, never as "/".
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    QByteArray pattern = QFile::encodeName(folder + "/" + prefix + "XXXXXX");
    const int fd = ::mkstemp(pattern.data()); // O_EXCL, mode 0600
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
    const bool written = writeAll(file.descriptor, bytes);
    if (::close(file.descriptor) != 0 || !written) {
        QFile::remove(file.name);
        return {};
    }
    return file.name;
}
