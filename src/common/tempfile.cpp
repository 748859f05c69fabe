#include "common/tempfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <unistd.h>

QString MakeTempFileName(const QString& prefix) {
    // An unusable temporary folder reads as empty text here, never as "/".
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    QByteArray pattern = QFile::encodeName(folder + "/" + prefix + "XXXXXX");
    const int fd = ::mkstemp(pattern.data()); // O_EXCL, mode 0600
    if (fd < 0)
        return {};
    ::close(fd);
    return QFile::decodeName(pattern);
}
