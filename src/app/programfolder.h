#pragma once

#include <QString>

// True when `path` names an existing folder.
bool FolderExists(const QString& path);

// The folder of the executable, without a trailing "/": the cam list, Help.rtf and the cam
// folder live there.
QString programFolder();
