#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>

// A new, empty file with a unique name in the temporary folder, made exclusively and readable
// by this user only, and left open for writing.
struct TempFile {
    QString name;        // empty when none could be made
    int descriptor = -1; // the caller closes it
};
TempFile MakeTempFileName(const QString& prefix);

// Such a file, filled with `bytes`: its name, or empty text when it cannot be made or written
// whole (nothing is left behind then).
QString WriteTempFile(const QString& prefix, const QByteArray& bytes);

// Deletes such a file.
void RemoveTempFile(const QString& name);

// Deletes what a crash can leave in the temporary folder: this user's files made by
// MakeTempFileName with `prefix` that are older than `age` (a younger one may be in use).
// Returns how many went.
int RemoveStaleTempFiles(const QString& prefix, std::chrono::seconds age);
