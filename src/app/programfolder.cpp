#include "programfolder.h"

#include <QCoreApplication>
#include <QFileInfo>

bool FolderExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isDir();
}

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}
