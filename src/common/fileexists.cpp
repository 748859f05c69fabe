#include "common/fileexists.h"

#include <QFileInfo>
#include <filesystem>
#include <system_error>

bool FileExists(const std::string& path) {
    std::error_code error;
    const std::string name = FileNamePart(path);
    return !name.empty() && name.front() != '.' &&
           std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

std::string FileNamePart(std::string_view path) {
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool FolderExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isDir();
}
