#pragma once

#include <QString>

// A new, empty file with a unique name beginning with `prefix` in the temporary folder, made
// exclusively and readable by this user only. Empty text when none can be made.
QString MakeTempFileName(const QString& prefix);
