#pragma once

#include <QString>
#include <string>
#include <string_view>

// True when `path` names an existing plain, visible file.
bool FileExists(const std::string& path);
// The text after the last "/" (the whole path when there is none).
std::string FileNamePart(std::string_view path);
// True when `path` names an existing folder.
bool FolderExists(const QString& path);
